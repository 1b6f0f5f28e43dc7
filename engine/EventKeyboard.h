#pragma once

#include "engine/Event.h"

namespace mw {

inline const std::string KEYBOARD_EVENT = "mw::keyboard";

// The engine's key codes. Letters, function keys and digits are consecutive;
// zero follows nine.
enum Key {
    KEY_UNDEFINED = -1,
    KEY_SPACE = 0,
    KEY_ENTER,
    KEY_ESCAPE,
    KEY_TAB,
    KEY_LEFT_ARROW,
    KEY_RIGHT_ARROW,
    KEY_UP_ARROW,
    KEY_DOWN_ARROW,
    KEY_PAUSE,
    KEY_MINUS,
    KEY_PLUS,
    KEY_GRAVE,
    KEY_PERIOD,
    KEY_COMMA,
    KEY_SLASH,
    KEY_LEFT_CONTROL,
    KEY_RIGHT_CONTROL,
    KEY_LEFT_SHIFT,
    KEY_RIGHT_SHIFT,
    KEY_F1,
    KEY_F2,
    KEY_F3,
    KEY_F4,
    KEY_F5,
    KEY_F6,
    KEY_F7,
    KEY_F8,
    KEY_F9,
    KEY_F10,
    KEY_F11,
    KEY_F12,
    KEY_A,
    KEY_B,
    KEY_C,
    KEY_D,
    KEY_E,
    KEY_F,
    KEY_G,
    KEY_H,
    KEY_I,
    KEY_J,
    KEY_K,
    KEY_L,
    KEY_M,
    KEY_N,
    KEY_O,
    KEY_P,
    KEY_Q,
    KEY_R,
    KEY_S,
    KEY_T,
    KEY_U,
    KEY_V,
    KEY_W,
    KEY_X,
    KEY_Y,
    KEY_Z,
    KEY_1,
    KEY_2,
    KEY_3,
    KEY_4,
    KEY_5,
    KEY_6,
    KEY_7,
    KEY_8,
    KEY_9,
    KEY_0,
};

inline constexpr int KEY_COUNT = 67;

enum KeyboardAction {
    KEYBOARD_ACTION_UNDEFINED = -1,
    KEY_PRESSED = 0,
    KEY_RELEASED = 1,
    KEY_HELD = 2,
};

class EventKeyboard : public Event {
public:
    EventKeyboard();
    EventKeyboard(Key key, KeyboardAction action);

    Key getKey() const { return m_key; }
    void setKey(Key key) { m_key = key; }
    KeyboardAction getKeyboardAction() const { return m_action; }
    void setKeyboardAction(KeyboardAction action) { m_action = action; }

private:
    Key m_key = KEY_UNDEFINED;
    KeyboardAction m_action = KEYBOARD_ACTION_UNDEFINED;
};

} // namespace mw
