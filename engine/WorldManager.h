#pragma once

#include "engine/Manager.h"
#include "engine/ObjectList.h"
#include "engine/Vector.h"

#include <string>

namespace mw {

class Object;

// Keeps every object of the world, moves them by their velocity with collision
// and out-of-world checks, deletes marked objects at the end of the update and
// draws everything by altitude.
class WorldManager : public Manager {
public:
    static constexpr int MAX_ALTITUDE = 4;

    static WorldManager& getInstance();

    int startUp() override;
    // Deletes every remaining object.
    void shutDown() override;

    int insertObject(Object* object);
    int removeObject(Object* object);
    // The object is deleted at the end of the next update(); marking twice is harmless.
    int markForDelete(Object* object);

    ObjectList getAllObjects() const { return m_objects; }
    ObjectList objectsOfType(const std::string& type) const;

    void update();
    // 0 when moved, -1 when a blocking object refused the move.
    int moveObject(Object* object, Vector where);
    ObjectList getCollisions(const Object* object, Vector where) const;
    void draw();

private:
    WorldManager();

    ObjectList m_objects;
    ObjectList m_deletions;
};

} // namespace mw
