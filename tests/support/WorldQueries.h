#pragma once

// Readers of what the world holds, as a player would read the screen.
#include "engine/WorldManager.h"
#include "game/TextDisplay.h"

#include <algorithm>
#include <ranges>
#include <string>
#include <vector>

namespace gametest {

// The world's objects of run-time class T, in world order.
template <typename T> std::vector<T*> objectsOf() {
    std::vector<T*> found;
    const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
    for (int i = 0; i < all.getCount(); ++i)
        if (T* object = dynamic_cast<T*>(all[i]))
            found.push_back(object);
    return found;
}

template <typename T> T* firstOf() {
    const std::vector<T*> found = objectsOf<T>();
    return found.empty() ? nullptr : found.front();
}

// The texts of the world's TextDisplays, and the types of its objects, in world order.
inline std::vector<std::string> messages() {
    const auto texts = objectsOf<TextDisplay>() | std::views::transform(&TextDisplay::getText);
    return {texts.begin(), texts.end()};
}

inline std::vector<std::string> worldTypes() {
    const auto types = objectsOf<mw::Object>() | std::views::transform(&mw::Object::getType);
    return {types.begin(), types.end()};
}

inline bool showsMessage(const std::string& text) {
    return std::ranges::count(messages(), text) > 0;
}

} // namespace gametest
