#include "engine/Object.h"

#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"

namespace mw {

namespace {
int nextObjectId = 0;
}

Object::Object() : m_id(nextObjectId++) {
    WorldManager::getInstance().insertObject(this);
}

Object::~Object() {
    WorldManager::getInstance().removeObject(this);
}

int Object::eventHandler(const Event&) {
    return 0;
}

int Object::draw() {
    return m_animation.draw(m_position);
}

Vector Object::getVelocity() const {
    return {m_direction.getX() * m_speed, m_direction.getY() * m_speed};
}

int Object::setSprite(const std::string& label) {
    Sprite* sprite = ResourceManager::getInstance().getSprite(label);
    if (sprite == nullptr)
        return -1;
    m_animation.setSprite(sprite);
    m_box = m_animation.getBox();
    return 0;
}

std::string Object::getSpriteLabel() const {
    const Sprite* sprite = m_animation.getSprite();
    return sprite == nullptr ? std::string() : sprite->getLabel();
}

} // namespace mw
