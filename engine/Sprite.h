#pragma once

#include "engine/Color.h"
#include "engine/Frame.h"
#include "engine/Vector.h"

#include <memory>
#include <string>

namespace mw {

/// A labelled sequence of frames, all drawn in one colour. The frame array is
/// sized once by the constructor and never grows. The resource manager makes
/// sprites from files (@ref sprite_format) and owns them.
class Sprite {
public:
    /// An empty sprite with room for this many frames (none for 0 or less).
    explicit Sprite(int maxFrameCount);

    /// Width of the frames in cells.
    int getWidth() const { return m_width; }
    /// Sets the width of the frames in cells.
    void setWidth(int width) { m_width = width; }
    /// Height of the frames in cells.
    int getHeight() const { return m_height; }
    /// Sets the height of the frames in cells.
    void setHeight(int height) { m_height = height; }
    /// The room for frames given to the constructor.
    int getMaxFrameCount() const { return m_maxFrameCount; }
    /// Frames added so far.
    int getFrameCount() const { return m_frameCount; }
    /// The colour every character is drawn in (a Color), white until set.
    int getColor() const { return m_color; }
    /// Sets the colour (a Color).
    void setColor(int color) { m_color = color; }
    /// Frames of the game loop each frame of the sprite stays on screen; -1
    /// holds an animation on frame 0.
    int getSlowdown() const { return m_slowdown; }
    /// Sets the slowdown.
    void setSlowdown(int slowdown) { m_slowdown = slowdown; }
    /// The name the sprite is found by.
    const std::string& getLabel() const { return m_label; }
    /// Sets the name the sprite is found by.
    void setLabel(const std::string& label) { m_label = label; }

    /// Copies the frame in; a full sprite drops it, without a log line.
    void pushFrame(const Frame& frame);
    /// Frame index, for 0 <= index < frame count; anything else is undefined.
    const Frame& getFrame(int index) const { return m_frames[index]; }

    /// Draws frame number frame centred on position (column width / 2 and row
    /// height / 2 of the frame on it), every cell opaque. Returns -1, drawing
    /// nothing, for a frame number out of range or an empty frame; 0 otherwise.
    int draw(int frame, Vector position) const;

private:
    int m_width = 0;
    int m_height = 0;
    int m_maxFrameCount;
    int m_frameCount = 0;
    int m_color = COLOR_WHITE;
    int m_slowdown = 1;
    std::unique_ptr<Frame[]> m_frames;
    std::string m_label;
};

} // namespace mw
