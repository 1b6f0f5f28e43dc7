#pragma once

#include "engine/Event.h"
#include "engine/Vector.h"

namespace mw {

inline const std::string COLLISION_EVENT = "mw::collision";

class Object;

// Object 1 was moving towards the position when it met object 2's box.
class EventCollision : public Event {
public:
    EventCollision();
    EventCollision(Object* object1, Object* object2, Vector position);

    Object* getObject1() const { return m_object1; }
    void setObject1(Object* object) { m_object1 = object; }
    Object* getObject2() const { return m_object2; }
    void setObject2(Object* object) { m_object2 = object; }
    Vector getPosition() const { return m_position; }
    void setPosition(Vector position) { m_position = position; }

private:
    Vector m_position;
    Object* m_object1 = nullptr;
    Object* m_object2 = nullptr;
};

} // namespace mw
