#pragma once

#include "support/TestAccess.h"

#include <array>
#include <utility>
#include <vector>

namespace mw {

// Runs frames as the game loop does, without sleeping: the queued presses and releases
// in their order, then a held event for each held key in the input manager's poll order.
class FrameDriver {
public:
    void press(Key key) { queue(key, KEY_PRESSED); }    // held from this frame on
    void release(Key key) { queue(key, KEY_RELEASED); } // no longer held
    // Pressed and released: never held.
    void tap(Key key) {
        press(key);
        release(key);
    }
    bool isHeld(Key key) const { return key != KEY_UNDEFINED && m_held[key]; }
    void advance(int count = 1) {
        const InputManager& input = InputManager::getInstance();
        for (int i = 0; i < count; ++i)
            TestAccess::runFrame([&] {
                for (const auto& [key, action] : std::exchange(m_pending, {}))
                    input.onEvent(EventKeyboard(key, action));
                for (const Key key : TestAccess::heldPollOrder())
                    if (m_held[key])
                        input.onEvent(EventKeyboard(key, KEY_HELD));
            });
    }

private:
    void queue(Key key, KeyboardAction action) {
        m_pending.emplace_back(key, action);
        if (key != KEY_UNDEFINED)
            m_held[key] = action == KEY_PRESSED;
    }
    std::vector<std::pair<Key, KeyboardAction>> m_pending;
    std::array<bool, KEY_COUNT> m_held{};
};

} // namespace mw
