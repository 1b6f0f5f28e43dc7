#pragma once

#include "engine/Event.h"
#include "engine/Vector.h"

namespace mw {

/// The type of EventMouse.
inline const std::string MOUSE_EVENT = "mw::mouse";

/// What the mouse did.
enum MouseAction {
    MOUSE_ACTION_UNDEFINED = -1, ///< Not set.
    MOUSE_CLICKED = 0,           ///< A button went down.
    MOUSE_RELEASED = 1,          ///< A button went up.
    MOUSE_HELD = 2,              ///< A button is down at this frame's poll (every frame).
    MOUSE_MOVED = 3,             ///< The pointer moved.
};

/// Which mouse button.
enum MouseButton {
    MOUSE_BUTTON_UNDEFINED = -1, ///< None, or a button other than these three.
    MOUSE_LEFT = 0,              ///< The left button.
    MOUSE_RIGHT = 1,             ///< The right button.
    MOUSE_MIDDLE = 2,            ///< The middle button.
};

/// The mouse moved, or a button changed or is held. The input manager
/// broadcasts it to every object.
class EventMouse : public Event {
public:
    /// Undefined action and button, position (0, 0).
    EventMouse();
    /// The action, the button and the pointer's position in cells.
    EventMouse(MouseAction action, MouseButton button, Vector position = {});

    /// What the mouse did.
    MouseAction getMouseAction() const { return m_action; }
    /// Sets what the mouse did.
    void setMouseAction(MouseAction action) { m_action = action; }
    /// The button; MOUSE_BUTTON_UNDEFINED for a move.
    MouseButton getMouseButton() const { return m_button; }
    /// Sets the button.
    void setMouseButton(MouseButton button) { m_button = button; }
    /// The pointer's position in character cells, fractional (a move only;
    /// button events carry (0, 0)).
    Vector getMousePosition() const { return m_position; }
    /// Sets the position in character cells.
    void setMousePosition(Vector position) { m_position = position; }

private:
    MouseAction m_action = MOUSE_ACTION_UNDEFINED;
    MouseButton m_button = MOUSE_BUTTON_UNDEFINED;
    Vector m_position;
};

} // namespace mw
