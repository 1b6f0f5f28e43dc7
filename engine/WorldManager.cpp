#include "engine/WorldManager.h"

#include "engine/DisplayManager.h"
#include "engine/EventCollision.h"
#include "engine/EventOut.h"
#include "engine/LogManager.h"
#include "engine/Object.h"

#include <algorithm>

namespace mw {

namespace {

bool contains(const ObjectList& list, const Object* object) {
    return std::find(list.begin(), list.end(), object) != list.end();
}

bool overlaps(float a, float aExtent, float b, float bExtent) {
    return (b >= a && b <= a + aExtent) || (a >= b && a <= b + bExtent);
}

bool isOutside(Vector position) {
    const auto& display = DisplayManager::getInstance();
    const float horizontal = static_cast<float>(display.getHorizontal());
    const float vertical = static_cast<float>(display.getVertical());
    return position.getX() > horizontal || position.getX() < 0 || position.getY() > vertical ||
           position.getY() < 0;
}

} // namespace

WorldManager::WorldManager() {
    setType("WorldManager");
}

WorldManager& WorldManager::getInstance() {
    static WorldManager instance;
    return instance;
}

int WorldManager::startUp() {
    m_objects.clear();
    m_deletions.clear();
    m_leftOut.clear();
    LogManager::getInstance().writeLog("WorldManager::startUp() - WM was started up");
    setStarted(true);
    return 0;
}

void WorldManager::shutDown() {
    const ObjectList remaining = m_objects;
    for (int i = 0; i < remaining.getCount(); ++i)
        delete remaining[i];
    m_deletions.clear();
    setStarted(false);
}

int WorldManager::insertObject(Object* object) {
    return m_objects.insert(object);
}

int WorldManager::removeObject(Object* object) {
    m_leftOut.remove(object);
    if (object != m_deleting) {
        for (int i = 0; i < m_deletions.getCount(); ++i) {
            if (m_deletions[i] != object)
                continue;
            LogManager::getInstance().writeLog("WorldManager::removeObject() - An object of type "
                                               "'%s' marked for deletion was deleted by hand",
                                               object->getType().c_str());
            m_deletions.remove(object);
            if (i <= m_deletionIndex)
                --m_deletionIndex;
            break;
        }
    }
    return m_objects.remove(object);
}

int WorldManager::markForDelete(Object* object) {
    if (contains(m_deletions, object))
        return 0;
    if (!contains(m_objects, object) && !contains(m_leftOut, object)) {
        LogManager::getInstance().writeLog(
            "WorldManager::markForDelete() - Not an object of the world (deleted already?)");
        return -1;
    }
    return m_deletions.insert(object);
}

void WorldManager::clearWorld(std::initializer_list<const Object*> keep) {
    for (Object* object : getAllObjects()) {
        if (std::find(keep.begin(), keep.end(), object) == keep.end())
            markForDelete(object);
    }
}

ObjectList WorldManager::objectsOfType(const std::string& type) const {
    ObjectList found;
    for (int i = 0; i < m_objects.getCount(); ++i) {
        if (m_objects[i]->getType() == type)
            found.insert(m_objects[i]);
    }
    return found;
}

void WorldManager::update() {
    for (int i = 0; i < m_objects.getCount(); ++i) {
        Object* object = m_objects[i];
        const Vector position = object->getPosition();
        const Vector direction = object->getDirection();
        const float speed = object->getSpeed();
        const Vector target(speed * direction.getX() + position.getX(),
                            speed * direction.getY() + position.getY());
        if (target.getX() != position.getX() || target.getY() != position.getY())
            moveObject(object, target);
    }
    // A destructor may mark further objects; they go in the same pass. One
    // that deletes a marked object by hand takes it off the list
    // (removeObject()), moving the index back.
    for (m_deletionIndex = 0; m_deletionIndex < m_deletions.getCount(); ++m_deletionIndex) {
        Object* object = m_deletions[m_deletionIndex];
        m_deleting = object;
        delete object;
    }
    m_deleting = nullptr;
    m_deletions.clear();
}

int WorldManager::moveObject(Object* object, Vector where) {
    if (object->isSolid()) {
        const ObjectList collisions = getCollisions(object, where);
        bool mayMove = true;
        for (int i = 0; i < collisions.getCount(); ++i) {
            Object* other = collisions[i];
            const EventCollision collision(object, other, where);
            object->eventHandler(collision);
            other->eventHandler(collision);
            if (object->getSolidness() == BLOCKING && other->getSolidness() == BLOCKING)
                mayMove = false;
        }
        if (!mayMove)
            return -1;
    }
    const Vector old = object->getPosition();
    object->setPosition(where);
    if (!isOutside(old) && isOutside(where))
        object->eventHandler(EventOut());
    return 0;
}

ObjectList WorldManager::getCollisions(const Object* object, Vector where) const {
    const Box mine = object->getBox();
    const Vector a = mine.getCorner() + where;
    ObjectList found;
    const int count = m_objects.getCount();
    for (int i = 0; i < count; ++i) {
        Object* other = m_objects[i];
        if (other == object)
            continue;
        const Box theirs = other->getBox();
        const Vector b = theirs.getCorner() + other->getPosition();
        if (overlaps(a.getX(), mine.getHorizontal(), b.getX(), theirs.getHorizontal()) &&
            overlaps(a.getY(), mine.getVertical(), b.getY(), theirs.getVertical()) &&
            other->isSolid())
            found.insert(other);
    }
    return found;
}

void WorldManager::draw() {
    for (int altitude = 0; altitude <= MAX_ALTITUDE; ++altitude) {
        for (int i = 0; i < m_objects.getCount(); ++i) {
            if (m_objects[i]->getAltitude() == altitude)
                m_objects[i]->draw();
        }
    }
}

} // namespace mw
