#include "engine/EventMouse.h"

namespace mw {

EventMouse::EventMouse() {
    setType(MOUSE_EVENT);
}

EventMouse::EventMouse(MouseAction action, MouseButton button, Vector position)
    : m_action(action), m_button(button), m_position(position) {
    setType(MOUSE_EVENT);
}

} // namespace mw
