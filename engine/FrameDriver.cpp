#include "engine/FrameDriver.h"

#include "engine/GameManager.h"
#include "engine/InputManager.h"

namespace mw {

FrameDriver::FrameDriver() : m_previous(GameManager::getInstance().getInputSource()) {
    GameManager::getInstance().setInputSource(this);
}

FrameDriver::~FrameDriver() {
    GameManager::getInstance().setInputSource(m_previous);
}

void FrameDriver::advance(int count) {
    for (int i = 0; i < count; ++i)
        GameManager::getInstance().runFrame();
}

void FrameDriver::getInput() {
    const InputManager& input = InputManager::getInstance();
    for (const auto& [key, action] : std::exchange(m_pending, {}))
        input.onEvent(EventKeyboard(key, action));
    for (const Key key : InputManager::heldPollOrder())
        if (m_held[key])
            input.onEvent(EventKeyboard(key, KEY_HELD));
}

} // namespace mw
