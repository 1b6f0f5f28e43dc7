#pragma once

#include "engine/Manager.h"
#include "engine/ObjectList.h"
#include "engine/Vector.h"

#include <initializer_list>
#include <string>

namespace mw {

class Object;

/// Keeps every object of the world, moves them by their velocity with collision
/// and out-of-world checks, deletes marked objects at the end of the update and
/// draws everything by altitude. The world spans the display: 0 to 80 across
/// and 0 to 24 down, edges included.
class WorldManager : public Manager {
public:
    /// The highest drawing layer; objects are drawn from altitude 0 to this.
    static constexpr int MAX_ALTITUDE = 4;

    /// The one world manager.
    static WorldManager& getInstance();

    /// Empties the world and logs "WorldManager::startUp() - WM was started up";
    /// always returns 0.
    int startUp() override;
    /// Deletes every remaining object, in list order; logs nothing.
    void shutDown() override;

    /// Appends the object; Object's constructor calls it. Returns -1 when the
    /// world already holds 1000 objects (the object stays out), 0 otherwise;
    /// logs nothing.
    int insertObject(Object* object);
    /// Takes the object out; Object's destructor calls it. Returns -1 when it
    /// is not in the world, 0 otherwise. An object marked for deletion that
    /// is deleted by hand is taken off the deletion list, so that the world
    /// does not delete it again, with the log line "WorldManager::removeObject()
    /// - An object of type 'TYPE' marked for deletion was deleted by hand".
    int removeObject(Object* object);
    /// The object is deleted at the end of the next update(); until then it
    /// still receives events and collides. Marking twice is harmless. Returns
    /// -1 when 1000 objects are already marked (the object lives on), 0
    /// otherwise. An object already deleted is not marked: -1,
    /// with the log line "WorldManager::markForDelete() - Not an object of the
    /// world (deleted already?)". Deleting an object by hand twice, or one not
    /// made with new, cannot be detected: it ends the program.
    int markForDelete(Object* object);
    /// Changes the scene: marks every object for deletion but those named,
    /// which stay. The marked objects still get the rest of this frame's
    /// events and collide until the end of its update(), then are deleted;
    /// objects made after the call are not marked.
    void clearWorld(std::initializer_list<const Object*> keep = {});

    /// A snapshot of every object, in the order they entered the world.
    ObjectList getAllObjects() const { return m_objects; }
    /// The objects whose type is exactly this, in world order (at most 1000).
    ObjectList objectsOfType(const std::string& type) const;

    /// Moves every object by its velocity (moveObject()), objects made
    /// meanwhile included, then deletes the marked objects.
    void update();
    /// Moves the object to where. A solid object first meets the solid objects
    /// whose boxes would touch its box there: each pair gets an EventCollision,
    /// the mover first. Returns -1, and the object stays, when the mover and one
    /// of them are both BLOCKING; otherwise moves it, sends it an EventOut if
    /// the move takes it out of the world, and returns 0. Logs nothing.
    int moveObject(Object* object, Vector where);
    /// The solid objects, other than this one, whose boxes meet the object's
    /// box placed at where; boxes that only touch count.
    ObjectList getCollisions(const Object* object, Vector where) const;
    /// Has every object draw itself, altitude 0 first and MAX_ALTITUDE last.
    void draw();

private:
    WorldManager();

    friend class Object;
    /// Object's constructor records an object that a full world left out: it
    /// may still be marked for deletion.
    void leaveOut(Object* object) { m_leftOut.insert(object); }

    ObjectList m_objects;
    ObjectList m_deletions;
    ObjectList m_leftOut;
    /// The object update() is deleting, and its place in the deletion list.
    const Object* m_deleting = nullptr;
    int m_deletionIndex = 0;
};

} // namespace mw
