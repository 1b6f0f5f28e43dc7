#pragma once

#include "engine/EventKeyboard.h"
#include "engine/EventMouse.h"
#include "engine/Manager.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <array>

namespace mw {

/// Turns what happens at the window into keyboard and mouse events for the
/// world: first the window's events in arrival order, then one held event per
/// key and button that is down.
///
/// Asking the window system whether a key is down costs a round trip to it, so
/// only keys and buttons that may be down are asked about: those the window saw
/// go down, and those found down by a poll of every key. That full poll runs at
/// start-up, after the window gains focus, and after a key without an engine
/// code went down (the window library may know it under a different name).
class InputManager : public Manager {
public:
    /// The one input manager.
    static InputManager& getInstance();

    /// -1 (without a log line) when the display manager is not started.
    /// Turns the window's key repeat off and logs
    /// "InputManager::startUp() - IM was started up" on success.
    int startUp() override;
    /// Turns key repeat back on and logs "InputManager::shutDown() - IM was shut down".
    void shutDown() override;

    /// Empties the window's queue, then polls held keys and buttons.
    void getInput();

    /// The engine's code for a key of SFML; KEY_UNDEFINED for a key without one.
    static Key translateKey(sf::Keyboard::Key key);

    /// Translates one window event and broadcasts it, as getInput() does with
    /// each event of the window's queue; a close request sets game over.
    void handleEvent(const sf::Event& event);
    /// The engine keys in the order in which held events are sent each frame.
    static const std::array<Key, KEY_COUNT>& heldPollOrder();

private:
    /// Broadcasts a held event for every engine key that is down now, in poll order.
    void pollHeldKeys();
    /// Broadcasts a held event for every polled mouse button that is down now.
    void pollHeldButtons();

    static MouseButton translateButton(sf::Mouse::Button button);

    InputManager() = default;

    /// Indexed by poll order: keys and buttons that went down and were not yet
    /// seen to come up.
    std::array<bool, KEY_COUNT> m_keyMayBeDown{};
    std::array<bool, 3> m_buttonMayBeDown{};
    /// The next poll asks about every key and button.
    bool m_pollEverything = true;
};

} // namespace mw
