#pragma once

#include "engine/Animation.h"
#include "engine/Box.h"
#include "engine/Vector.h"

#include <string>

namespace mw {

class Event;

enum Solidness {
    BLOCKING = 0,   // collides, and refuses moves onto other blocking objects
    PASSABLE = 1,   // collides, never refuses a move
    INTANGIBLE = 2, // never collides
};

// Base of everything in the world. The constructor enters the object into the
// world and the destructor takes it out; while the game runs, objects end only
// through WorldManager::markForDelete().
class Object {
public:
    Object();
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // 1 when the event was handled, 0 when not.
    virtual int eventHandler(const Event& event);
    // Draws the animation at the position: -1 without a sprite, 0 otherwise.
    virtual int draw();

    int getId() const { return m_id; }
    void setType(const std::string& type) { m_type = type; }
    std::string getType() const { return m_type; }
    void setPosition(Vector position) { m_position = position; }
    Vector getPosition() const { return m_position; }
    void setAltitude(int altitude) { m_altitude = altitude; }
    int getAltitude() const { return m_altitude; }
    void setDirection(Vector direction) { m_direction = direction; }
    Vector getDirection() const { return m_direction; }
    void setSpeed(float speed) { m_speed = speed; }
    float getSpeed() const { return m_speed; }
    Vector getVelocity() const;
    void setSolidness(Solidness solidness) { m_solidness = solidness; }
    Solidness getSolidness() const { return m_solidness; }
    bool isSolid() const { return m_solidness == BLOCKING || m_solidness == PASSABLE; }
    void setBox(Box box) { m_box = box; }
    Box getBox() const { return m_box; }

    // Takes the sprite with this label: -1 (and nothing changes) when no sprite has it.
    int setSprite(const std::string& label);
    const Animation& getAnimation() const { return m_animation; }
    // The label of the sprite shown, empty without one.
    std::string getSpriteLabel() const;

private:
    int m_id;
    std::string m_type;
    Vector m_position;
    int m_altitude = 2;
    Vector m_direction;
    float m_speed = 0.0f;
    Solidness m_solidness = BLOCKING;
    Animation m_animation;
    Box m_box{Vector(-0.5f, -0.5f), 0.99f, 0.99f};
};

} // namespace mw
