#include "engine/Animation.h"

#include "engine/Sprite.h"

namespace mw {

void Animation::setSprite(Sprite* sprite) {
    m_sprite = sprite;
    m_index = 0;
    m_slowdownCount = sprite != nullptr ? sprite->getSlowdown() : 0;
}

void Animation::setIndex(int index) {
    if (m_sprite == nullptr || index < 0 || index >= m_sprite->getFrameCount() ||
        m_slowdownCount == -1)
        return;
    m_index = index;
    m_slowdownCount = 0;
}

int Animation::draw(Vector position) {
    if (m_sprite == nullptr)
        return -1;
    m_sprite->draw(m_index, position);
    if (m_slowdownCount == -1)
        return 0;
    // Counted wider: a slowdown of INT_MAX would overflow the count.
    const long long next = static_cast<long long>(m_slowdownCount) + 1;
    if (next < m_sprite->getSlowdown()) {
        m_slowdownCount = static_cast<int>(next);
    } else {
        m_slowdownCount = 0;
        ++m_index;
        if (m_index >= m_sprite->getFrameCount())
            m_index = 0;
    }
    return 0;
}

Box Animation::getBox() const {
    if (m_sprite == nullptr)
        return Box(Vector(-0.5f, -0.5f), 0.99f, 0.99f);
    const float width = static_cast<float>(m_sprite->getWidth());
    const float height = static_cast<float>(m_sprite->getHeight());
    return Box(Vector(-width / 2.0f, -height / 2.0f), width, height);
}

} // namespace mw
