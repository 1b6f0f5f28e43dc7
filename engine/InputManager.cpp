#include "engine/InputManager.h"

#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"

#include <SFML/Graphics/RenderWindow.hpp>

namespace mw {

namespace {

using SfKey = sf::Keyboard::Key;

struct KeyMapping {
    SfKey sfKey;
    Key key;
};

// The keys in their poll order.
constexpr std::array<KeyMapping, KEY_COUNT> KEY_TABLE = {{
    {SfKey::A, KEY_A},
    {SfKey::B, KEY_B},
    {SfKey::C, KEY_C},
    {SfKey::D, KEY_D},
    {SfKey::E, KEY_E},
    {SfKey::F, KEY_F},
    {SfKey::G, KEY_G},
    {SfKey::H, KEY_H},
    {SfKey::I, KEY_I},
    {SfKey::J, KEY_J},
    {SfKey::K, KEY_K},
    {SfKey::L, KEY_L},
    {SfKey::M, KEY_M},
    {SfKey::N, KEY_N},
    {SfKey::O, KEY_O},
    {SfKey::P, KEY_P},
    {SfKey::Q, KEY_Q},
    {SfKey::R, KEY_R},
    {SfKey::S, KEY_S},
    {SfKey::T, KEY_T},
    {SfKey::U, KEY_U},
    {SfKey::V, KEY_V},
    {SfKey::W, KEY_W},
    {SfKey::X, KEY_X},
    {SfKey::Y, KEY_Y},
    {SfKey::Z, KEY_Z},
    {SfKey::F1, KEY_F1},
    {SfKey::F2, KEY_F2},
    {SfKey::F3, KEY_F3},
    {SfKey::F4, KEY_F4},
    {SfKey::F5, KEY_F5},
    {SfKey::F6, KEY_F6},
    {SfKey::F7, KEY_F7},
    {SfKey::F8, KEY_F8},
    {SfKey::F9, KEY_F9},
    {SfKey::F10, KEY_F10},
    {SfKey::F11, KEY_F11},
    {SfKey::F12, KEY_F12},
    {SfKey::Num0, KEY_0},
    {SfKey::Num1, KEY_1},
    {SfKey::Num2, KEY_2},
    {SfKey::Num3, KEY_3},
    {SfKey::Num4, KEY_4},
    {SfKey::Num5, KEY_5},
    {SfKey::Num6, KEY_6},
    {SfKey::Num7, KEY_7},
    {SfKey::Num8, KEY_8},
    {SfKey::Num9, KEY_9},
    {SfKey::Space, KEY_SPACE},
    {SfKey::Enter, KEY_ENTER},
    {SfKey::Escape, KEY_ESCAPE},
    {SfKey::Tab, KEY_TAB},
    {SfKey::Left, KEY_LEFT_ARROW},
    {SfKey::Right, KEY_RIGHT_ARROW},
    {SfKey::Up, KEY_UP_ARROW},
    {SfKey::Down, KEY_DOWN_ARROW},
    {SfKey::Pause, KEY_PAUSE},
    {SfKey::Subtract, KEY_MINUS},
    {SfKey::Add, KEY_PLUS},
    {SfKey::Grave, KEY_GRAVE},
    {SfKey::Period, KEY_PERIOD},
    {SfKey::Comma, KEY_COMMA},
    {SfKey::Slash, KEY_SLASH},
    {SfKey::LControl, KEY_LEFT_CONTROL},
    {SfKey::RControl, KEY_RIGHT_CONTROL},
    {SfKey::LShift, KEY_LEFT_SHIFT},
    {SfKey::RShift, KEY_RIGHT_SHIFT},
}};

constexpr std::array<sf::Mouse::Button, 3> POLLED_BUTTONS = {
    sf::Mouse::Button::Left, sf::Mouse::Button::Right, sf::Mouse::Button::Middle};

constexpr std::size_t NOT_POLLED = static_cast<std::size_t>(-1);

// The key's place in the poll order, or NOT_POLLED.
std::size_t pollIndex(SfKey key) {
    for (std::size_t i = 0; i < KEY_TABLE.size(); ++i) {
        if (KEY_TABLE[i].sfKey == key)
            return i;
    }
    return NOT_POLLED;
}

std::size_t pollIndex(sf::Mouse::Button button) {
    for (std::size_t i = 0; i < POLLED_BUTTONS.size(); ++i) {
        if (POLLED_BUTTONS[i] == button)
            return i;
    }
    return NOT_POLLED;
}

} // namespace

InputManager& InputManager::getInstance() {
    static InputManager instance;
    return instance;
}

int InputManager::startUp() {
    DisplayManager& display = DisplayManager::getInstance();
    if (!display.isStarted())
        return -1;
    display.getWindow()->setKeyRepeatEnabled(false);
    m_keyMayBeDown = {};
    m_buttonMayBeDown = {};
    m_pollEverything = true; // a key may be held as the window opens
    LogManager::getInstance().writeLog("InputManager::startUp() - IM was started up");
    setStarted(true);
    return 0;
}

void InputManager::shutDown() {
    if (sf::RenderWindow* window = DisplayManager::getInstance().getWindow())
        window->setKeyRepeatEnabled(true);
    setStarted(false);
    LogManager::getInstance().writeLog("InputManager::shutDown() - IM was shut down");
}

Key InputManager::translateKey(sf::Keyboard::Key key) {
    const std::size_t index = pollIndex(key);
    return index == NOT_POLLED ? KEY_UNDEFINED : KEY_TABLE[index].key;
}

MouseButton InputManager::translateButton(sf::Mouse::Button button) {
    switch (button) {
    case sf::Mouse::Button::Left:
        return MOUSE_LEFT;
    case sf::Mouse::Button::Right:
        return MOUSE_RIGHT;
    case sf::Mouse::Button::Middle:
        return MOUSE_MIDDLE;
    default:
        return MOUSE_BUTTON_UNDEFINED;
    }
}

const std::array<Key, KEY_COUNT>& InputManager::heldPollOrder() {
    static const std::array<Key, KEY_COUNT> order = [] {
        std::array<Key, KEY_COUNT> keys{};
        for (std::size_t i = 0; i < KEY_TABLE.size(); ++i)
            keys[i] = KEY_TABLE[i].key;
        return keys;
    }();
    return order;
}

void InputManager::handleEvent(const sf::Event& event) {
    const DisplayManager& display = DisplayManager::getInstance();
    if (event.is<sf::Event::Closed>()) {
        GameManager::getInstance().setGameOver(true);
    } else if (const auto* pressed = event.getIf<sf::Event::KeyPressed>()) {
        const std::size_t index = pollIndex(pressed->code);
        if (index == NOT_POLLED)
            m_pollEverything = true;
        else
            m_keyMayBeDown[index] = true;
        onEvent(EventKeyboard(translateKey(pressed->code), KEY_PRESSED));
    } else if (const auto* released = event.getIf<sf::Event::KeyReleased>()) {
        if (const std::size_t index = pollIndex(released->code); index != NOT_POLLED)
            m_keyMayBeDown[index] = false;
        onEvent(EventKeyboard(translateKey(released->code), KEY_RELEASED));
    } else if (const auto* moved = event.getIf<sf::Event::MouseMoved>()) {
        const Vector cells(static_cast<float>(moved->position.x) / display.getCellWidth(),
                           static_cast<float>(moved->position.y) / display.getCellHeight());
        onEvent(EventMouse(MOUSE_MOVED, MOUSE_BUTTON_UNDEFINED, cells));
    } else if (const auto* down = event.getIf<sf::Event::MouseButtonPressed>()) {
        if (const std::size_t index = pollIndex(down->button); index != NOT_POLLED)
            m_buttonMayBeDown[index] = true;
        onEvent(EventMouse(MOUSE_CLICKED, translateButton(down->button)));
    } else if (const auto* up = event.getIf<sf::Event::MouseButtonReleased>()) {
        if (const std::size_t index = pollIndex(up->button); index != NOT_POLLED)
            m_buttonMayBeDown[index] = false;
        onEvent(EventMouse(MOUSE_RELEASED, translateButton(up->button)));
    } else if (event.is<sf::Event::FocusGained>()) {
        // Keys pressed in another window were never reported to this one, and
        // what covered the window may have spoiled its picture.
        m_pollEverything = true;
        DisplayManager::getInstance().invalidate();
    } else if (event.is<sf::Event::Resized>()) {
        // The new size may have spoiled the picture.
        DisplayManager::getInstance().invalidate();
    }
}

void InputManager::pollHeldKeys() {
    for (std::size_t i = 0; i < KEY_TABLE.size(); ++i) {
        if (!m_pollEverything && !m_keyMayBeDown[i])
            continue;
        m_keyMayBeDown[i] = sf::Keyboard::isKeyPressed(KEY_TABLE[i].sfKey);
        if (m_keyMayBeDown[i])
            onEvent(EventKeyboard(KEY_TABLE[i].key, KEY_HELD));
    }
}

void InputManager::pollHeldButtons() {
    for (std::size_t i = 0; i < POLLED_BUTTONS.size(); ++i) {
        if (!m_pollEverything && !m_buttonMayBeDown[i])
            continue;
        m_buttonMayBeDown[i] = sf::Mouse::isButtonPressed(POLLED_BUTTONS[i]);
        if (m_buttonMayBeDown[i])
            onEvent(EventMouse(MOUSE_HELD, translateButton(POLLED_BUTTONS[i])));
    }
}

void InputManager::getInput() {
    sf::RenderWindow* window = DisplayManager::getInstance().getWindow();
    if (window == nullptr)
        return;
    while (const std::optional event = window->pollEvent())
        handleEvent(*event);
    pollHeldKeys();
    pollHeldButtons();
    m_pollEverything = false;
}

} // namespace mw
