#include "engine/EventKeyboard.h"

namespace mw {

EventKeyboard::EventKeyboard() {
    setType(KEYBOARD_EVENT);
}

EventKeyboard::EventKeyboard(Key key, KeyboardAction action) : m_key(key), m_action(action) {
    setType(KEYBOARD_EVENT);
}

} // namespace mw
