#include "engine/Sprite.h"

#include "engine/DisplayManager.h"

namespace mw {

Sprite::Sprite(int maxFrameCount)
    : m_maxFrameCount(maxFrameCount < 0 ? 0 : maxFrameCount),
      m_frames(std::make_unique<Frame[]>(m_maxFrameCount)) {}

void Sprite::pushFrame(const Frame& frame) {
    if (m_frameCount < m_maxFrameCount)
        m_frames[m_frameCount++] = frame;
}

int Sprite::draw(int frameNumber, Vector position) const {
    if (frameNumber < 0 || frameNumber >= m_frameCount)
        return -1;
    const Frame& frame = m_frames[frameNumber];
    if (frame.getString().empty())
        return -1;
    const int xOffset = frame.getWidth() / 2;
    const int yOffset = frame.getHeight() / 2;
    DisplayManager& display = DisplayManager::getInstance();
    for (int row = 0; row < frame.getHeight(); ++row) {
        for (int column = 0; column < frame.getWidth(); ++column) {
            const Vector cell(position.getX() + column - xOffset, position.getY() + row - yOffset);
            display.drawCh(cell, frame.charAt(row, column), static_cast<Color>(m_color));
        }
    }
    return 0;
}

} // namespace mw
