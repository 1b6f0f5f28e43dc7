#pragma once

#include "engine/EventKeyboard.h"

#include <array>
#include <vector>

namespace mw {

// Advances the engine one frame at a time exactly as the game loop does, with
// keyboard input scripted instead of read from the window and no sleeping.
// Queued presses and releases are sent first, in the order given, then one
// held event per held key in the input manager's poll order.
class FrameDriver {
public:
    // Queues a key going down; it counts as held from this frame on.
    void press(Key key);
    // Queues a key going up.
    void release(Key key);
    // Press and release between two frames: no held event is sent.
    void tap(Key key);
    bool isHeld(Key key) const;

    // Runs count frames.
    void advance(int count = 1);

private:
    struct Pending {
        Key key;
        KeyboardAction action;
    };
    void sendInput();

    std::vector<Pending> m_pending;
    std::array<bool, KEY_COUNT> m_held{};
};

} // namespace mw
