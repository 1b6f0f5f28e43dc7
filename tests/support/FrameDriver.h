#pragma once

#include "engine/EventKeyboard.h"

#include <array>
#include <vector>

namespace mw {

// Runs frames as the game loop does, without sleeping: the queued presses and releases
// in their order, then a held event for each held key in the input manager's poll order.
class FrameDriver {
public:
    void press(Key key) { queue(key, KEY_PRESSED); }    // held from this frame on
    void release(Key key) { queue(key, KEY_RELEASED); } // no longer held
    void tap(Key key);                                  // pressed and released: never held
    bool isHeld(Key key) const { return key != KEY_UNDEFINED && m_held[key]; }
    void advance(int count = 1);

private:
    void queue(Key key, KeyboardAction action);
    std::vector<std::pair<Key, KeyboardAction>> m_pending;
    std::array<bool, KEY_COUNT> m_held{};
};

} // namespace mw
