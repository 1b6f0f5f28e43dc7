#pragma once

#include "engine/EventKeyboard.h"
#include "engine/InputSource.h"

#include <array>
#include <utility>
#include <vector>

namespace mw {

/// Plays a game frame by frame without a window, for its tests: keys are fed
/// by hand, and advance() runs GameManager::runFrame(), the frame of the game
/// loop itself, without sleeping. While a driver lives it is the game
/// manager's input source; the window is not read.
///
/// Each frame's input is the presses and releases fed since the last frame,
/// in the order they were fed, then a KEY_HELD event for each key held, in
/// the order the window's held keys are sent (InputManager::heldPollOrder()).
///
///     mw::FrameDriver driver;
///     driver.press(mw::KEY_UP_ARROW);
///     driver.advance(20); // twenty frames with the key down
///     driver.release(mw::KEY_UP_ARROW);
///     driver.tap(mw::KEY_SPACE);
///     driver.advance();
class FrameDriver : public InputSource {
public:
    /// Becomes the game manager's input source.
    FrameDriver();
    /// Gives the input back to the source before it (the window, usually).
    ~FrameDriver() override;
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    /// The key goes down in the next frame and is held from then on.
    void press(Key key) { queue(key, KEY_PRESSED); }
    /// The key comes up in the next frame.
    void release(Key key) { queue(key, KEY_RELEASED); }
    /// The key goes down and up in the next frame: never held.
    void tap(Key key) {
        press(key);
        release(key);
    }
    /// Whether the key is held.
    bool isHeld(Key key) const { return key != KEY_UNDEFINED && m_held[key]; }

    /// Runs this many frames (GameManager::runFrame()).
    void advance(int count = 1);

    /// This frame's key events, as the window's would come; runFrame() calls it.
    void getInput() override;

private:
    void queue(Key key, KeyboardAction action) {
        m_pending.emplace_back(key, action);
        if (key != KEY_UNDEFINED)
            m_held[key] = action == KEY_PRESSED;
    }

    InputSource* m_previous;
    std::vector<std::pair<Key, KeyboardAction>> m_pending;
    std::array<bool, KEY_COUNT> m_held{};
};

} // namespace mw
