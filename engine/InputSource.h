#pragma once

namespace mw {

/// Where a frame's keyboard and mouse events come from. By default the game
/// manager reads the window (InputManager::getInput()); a game's test puts a
/// source of its own in its place (GameManager::setInputSource(), FrameDriver)
/// and plays frames without a window or its focus.
class InputSource {
public:
    virtual ~InputSource() = default;

    /// Broadcasts this frame's input events to the world; called once a frame,
    /// after the step event and before the world's update.
    virtual void getInput() = 0;
};

} // namespace mw
