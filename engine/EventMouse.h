#pragma once

#include "engine/Event.h"
#include "engine/Vector.h"

namespace mw {

inline const std::string MOUSE_EVENT = "mw::mouse";

enum MouseAction {
    MOUSE_ACTION_UNDEFINED = -1,
    MOUSE_CLICKED = 0,
    MOUSE_RELEASED = 1,
    MOUSE_HELD = 2,
    MOUSE_MOVED = 3,
};

enum MouseButton {
    MOUSE_BUTTON_UNDEFINED = -1,
    MOUSE_LEFT = 0,
    MOUSE_RIGHT = 1,
    MOUSE_MIDDLE = 2,
};

class EventMouse : public Event {
public:
    EventMouse();
    EventMouse(MouseAction action, MouseButton button, Vector position = {});

    MouseAction getMouseAction() const { return m_action; }
    void setMouseAction(MouseAction action) { m_action = action; }
    MouseButton getMouseButton() const { return m_button; }
    void setMouseButton(MouseButton button) { m_button = button; }
    // In character cells.
    Vector getMousePosition() const { return m_position; }
    void setMousePosition(Vector position) { m_position = position; }

private:
    MouseAction m_action = MOUSE_ACTION_UNDEFINED;
    MouseButton m_button = MOUSE_BUTTON_UNDEFINED;
    Vector m_position;
};

} // namespace mw
