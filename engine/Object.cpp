#include "engine/Object.h"

#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"

#include <cstdio>
#include <set>

namespace mw {

namespace {
int nextObjectId = 0;

// The unknown sprite labels already logged: a game that asks for one every
// frame gets one line, not a line a frame.
constexpr std::size_t MAX_REPORTED_LABELS = 100;
std::set<std::string> reportedLabels;
} // namespace

Object::Object() : m_id(nextObjectId++) {
    WorldManager& world = WorldManager::getInstance();
    if (!world.isStarted()) {
        // The log is not open either, most likely.
        std::fprintf(stderr,
                     "Object %d was made before the world started: GameManager::startUp() "
                     "empties the world, so make objects after it.\n",
                     m_id);
        LogManager::getInstance().writeLog(
            "Object::Object() - Object %d was made before the world started", m_id);
    }
    if (world.insertObject(this) != 0)
        world.leaveOut(this);
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
    if (sprite == nullptr) {
        if (reportedLabels.size() >= MAX_REPORTED_LABELS || !reportedLabels.insert(label).second)
            return -1;
        LogManager::getInstance().writeLog(
            "Object::setSprite() - No sprite has the label '%s' (object %d of type '%s')",
            label.c_str(), m_id, m_type.c_str());
        return -1;
    }
    m_animation.setSprite(sprite);
    m_box = m_animation.getBox();
    return 0;
}

std::string Object::getSpriteLabel() const {
    const Sprite* sprite = m_animation.getSprite();
    return sprite == nullptr ? std::string() : sprite->getLabel();
}

} // namespace mw
