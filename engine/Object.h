#pragma once

#include "engine/Animation.h"
#include "engine/Box.h"
#include "engine/Vector.h"

#include <string>

namespace mw {

class Event;

/// How an object takes part in collisions.
enum Solidness {
    BLOCKING = 0,   ///< Collides, and refuses moves onto other blocking objects.
    PASSABLE = 1,   ///< Collides, never refuses a move.
    INTANGIBLE = 2, ///< Never collides.
};

/// Base of everything in the world. The constructor enters the object into the
/// world and the destructor takes it out; while the game runs, objects end only
/// through WorldManager::markForDelete(). Create objects with new, after
/// GameManager::startUp(); the world owns them and deletes them (a marked object
/// at the end of the frame's update, every other one at shut-down). An object
/// not made with new cannot be told apart, and its deletion ends the program.
///
/// Each frame the object receives events through eventHandler(), is moved by
/// its velocity (direction times speed, in cells per frame) with collision and
/// out-of-world checks, and draws itself at its altitude.
class Object {
public:
    /// A new object at (0, 0), altitude 2, no velocity, BLOCKING, no sprite and
    /// a box just under one cell; its id is the next of the run. A world already
    /// holding 1000 objects leaves it out, without a log line. Made before the
    /// world started, it says so on standard error and in the log ("Object::
    /// Object() - Object ID was made before the world started"): starting the
    /// world empties it.
    Object();
    /// Takes the object out of the world.
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    /// Handles one event; override it to react. Returns 1 when the event was
    /// handled, 0 when not (the base version handles none). Nobody reads the
    /// result but tests.
    virtual int eventHandler(const Event& event);
    /// Draws the animation at the position and moves it on: -1 without a
    /// sprite (nothing drawn), 0 otherwise. Override it to draw otherwise.
    virtual int draw();

    /// Unique in the run, counting from 0 in the order objects were made.
    int getId() const { return m_id; }
    /// Names the kind of object, as WorldManager::objectsOfType() finds it.
    void setType(const std::string& type) { m_type = type; }
    /// The kind of object; empty until set.
    std::string getType() const { return m_type; }
    /// Puts the object there at once: no collision or out-of-world check.
    void setPosition(Vector position) { m_position = position; }
    /// The position in cells: x the column, y the row.
    Vector getPosition() const { return m_position; }
    /// Sets the drawing layer: 0 is drawn first (at the back), 4 last. An
    /// object outside 0 to 4 is never drawn.
    void setAltitude(int altitude) { m_altitude = altitude; }
    /// The drawing layer.
    int getAltitude() const { return m_altitude; }
    /// Sets the direction of motion; the velocity is direction times speed.
    void setDirection(Vector direction) { m_direction = direction; }
    /// The direction of motion.
    Vector getDirection() const { return m_direction; }
    /// Sets the speed in cells per frame; 0 stops the object.
    void setSpeed(float speed) { m_speed = speed; }
    /// The speed in cells per frame.
    float getSpeed() const { return m_speed; }
    /// Direction times speed: the move the world makes each frame.
    Vector getVelocity() const;
    /// Sets how the object takes part in collisions.
    void setSolidness(Solidness solidness) { m_solidness = solidness; }
    /// How the object takes part in collisions.
    Solidness getSolidness() const { return m_solidness; }
    /// True for BLOCKING and PASSABLE objects: they collide.
    bool isSolid() const { return m_solidness == BLOCKING || m_solidness == PASSABLE; }
    /// Sets the collision box, relative to the position (setSprite() replaces it).
    void setBox(Box box) { m_box = box; }
    /// The collision box, relative to the position.
    Box getBox() const { return m_box; }

    /// Shows the sprite with this label from its first frame, and sets the box
    /// to the sprite's size. Returns -1, and nothing changes, when no sprite has
    /// the label, with the log line "Object::setSprite() - No sprite has the
    /// label 'LABEL' (object ID of type 'TYPE')", once per label in a run;
    /// 0 otherwise.
    int setSprite(const std::string& label);
    /// The animation: the sprite shown and its current frame.
    const Animation& getAnimation() const { return m_animation; }
    /// Makes the next draw show this frame of the sprite (Animation::setIndex()).
    void setAnimationIndex(int index) { m_animation.setIndex(index); }
    /// The label of the sprite shown, empty without one.
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
