#pragma once

#include "engine/Event.h"

namespace mw {

/// The type of EventKeyboard.
inline const std::string KEYBOARD_EVENT = "mw::keyboard";

/// The engine's key codes. Letters, function keys and digits are consecutive;
/// zero follows nine. Keys of the keyboard that have no code here arrive as
/// KEY_UNDEFINED.
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

/// How many key codes there are (KEY_SPACE 0 to KEY_0 66).
inline constexpr int KEY_COUNT = 67;

/// What happened to a key.
enum KeyboardAction {
    KEYBOARD_ACTION_UNDEFINED = -1, ///< Not set.
    KEY_PRESSED = 0,                ///< The key went down (once per press).
    KEY_RELEASED = 1,               ///< The key went up.
    KEY_HELD = 2,                   ///< The key is down at this frame's poll (every frame).
};

/// A key went down or up, or is held down. The input manager broadcasts one to
/// every object for each key change of the frame, then one KEY_HELD for every
/// key that is down.
class EventKeyboard : public Event {
public:
    /// KEY_UNDEFINED and KEYBOARD_ACTION_UNDEFINED.
    EventKeyboard();
    /// The key and what happened to it.
    EventKeyboard(Key key, KeyboardAction action);

    /// The key; KEY_UNDEFINED for a key without an engine code.
    Key getKey() const { return m_key; }
    /// Sets the key.
    void setKey(Key key) { m_key = key; }
    /// What happened to the key.
    KeyboardAction getKeyboardAction() const { return m_action; }
    /// Sets what happened to the key.
    void setKeyboardAction(KeyboardAction action) { m_action = action; }

private:
    Key m_key = KEY_UNDEFINED;
    KeyboardAction m_action = KEYBOARD_ACTION_UNDEFINED;
};

} // namespace mw
