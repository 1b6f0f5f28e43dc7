#pragma once

#include "engine/Color.h"
#include "engine/Frame.h"
#include "engine/Vector.h"

#include <memory>
#include <string>

namespace mw {

// A labelled sequence of frames, all drawn in one colour. The frame array is
// sized once by the constructor and never grows.
class Sprite {
public:
    explicit Sprite(int maxFrameCount);

    int getWidth() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    int getHeight() const { return m_height; }
    void setHeight(int height) { m_height = height; }
    int getMaxFrameCount() const { return m_maxFrameCount; }
    int getFrameCount() const { return m_frameCount; }
    int getColor() const { return m_color; }
    void setColor(int color) { m_color = color; }
    int getSlowdown() const { return m_slowdown; }
    void setSlowdown(int slowdown) { m_slowdown = slowdown; }
    const std::string& getLabel() const { return m_label; }
    void setLabel(const std::string& label) { m_label = label; }

    // Copies the frame in; a full sprite drops it.
    void pushFrame(const Frame& frame);
    // Frame i for 0 <= i < frame count.
    const Frame& getFrame(int index) const { return m_frames[index]; }

    // Draws frame number frame centred on position: -1 for a frame number out
    // of range or an empty frame, 0 otherwise.
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
