#pragma once

#include "engine/Event.h"
#include "engine/Vector.h"

namespace mw {

/// The type of EventCollision.
inline const std::string COLLISION_EVENT = "mw::collision";

class Object;

/// Object 1 was moving towards the position when it met object 2's box. The
/// world manager sends it to the mover first, then to the other object; the
/// objects are not owned by the event.
class EventCollision : public Event {
public:
    /// No objects, position (0, 0).
    EventCollision();
    /// The mover, the object it met and the position the mover was going to.
    EventCollision(Object* object1, Object* object2, Vector position);

    /// The object that was moving.
    Object* getObject1() const { return m_object1; }
    /// Sets the object that was moving.
    void setObject1(Object* object) { m_object1 = object; }
    /// The object whose box the mover met.
    Object* getObject2() const { return m_object2; }
    /// Sets the object whose box the mover met.
    void setObject2(Object* object) { m_object2 = object; }
    /// Of the two objects, the one that is not self: the object a receiver
    /// met. nullptr when self is neither.
    Object* getOther(const Object* self) const {
        return self == m_object1 ? m_object2 : self == m_object2 ? m_object1 : nullptr;
    }
    /// The position the mover was going to.
    Vector getPosition() const { return m_position; }
    /// Sets the position the mover was going to.
    void setPosition(Vector position) { m_position = position; }

private:
    Vector m_position;
    Object* m_object1 = nullptr;
    Object* m_object2 = nullptr;
};

} // namespace mw
