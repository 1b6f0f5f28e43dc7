#pragma once

#include "engine/EventKeyboard.h"
#include "engine/EventMouse.h"
#include "engine/Manager.h"

#include <SFML/Window/Event.hpp>
#include <SFML/Window/Keyboard.hpp>
#include <SFML/Window/Mouse.hpp>

#include <array>

class TestAccess;

namespace mw {

/// Turns what happens at the window into keyboard and mouse events for the
/// world: first the window's events in arrival order, then one held event per
/// key and button that is down.
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

private:
    /// Tests set up and read back state through it (tests/support/TestAccess.h);
    /// the program never does.
    friend class ::TestAccess;

    /// Translates one window event and broadcasts it; a close request sets game over.
    void handleEvent(const sf::Event& event) const;
    /// Broadcasts a held event for every engine key that is down now, in poll order.
    void pollHeldKeys() const;

    static MouseButton translateButton(sf::Mouse::Button button);
    /// The engine keys in the order in which held keys are polled.
    static const std::array<Key, KEY_COUNT>& heldPollOrder();

    InputManager() = default;
};

} // namespace mw
