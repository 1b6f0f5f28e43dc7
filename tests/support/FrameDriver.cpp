#include "support/FrameDriver.h"
#include "support/TestAccess.h"

#include "engine/GameManager.h"
#include "engine/InputManager.h"

namespace mw {

void FrameDriver::press(Key key) {
    m_pending.push_back({key, KEY_PRESSED});
    if (key != KEY_UNDEFINED)
        m_held[key] = true;
}

void FrameDriver::release(Key key) {
    m_pending.push_back({key, KEY_RELEASED});
    if (key != KEY_UNDEFINED)
        m_held[key] = false;
}

void FrameDriver::tap(Key key) {
    press(key);
    release(key);
}

bool FrameDriver::isHeld(Key key) const {
    return key != KEY_UNDEFINED && m_held[key];
}

void FrameDriver::sendInput() {
    const InputManager& input = InputManager::getInstance();
    // Handlers may queue further input for the next frame.
    const std::vector<Pending> pending = std::move(m_pending);
    m_pending.clear();
    for (const Pending& event : pending)
        input.onEvent(EventKeyboard(event.key, event.action));
    for (const Key key : TestAccess::heldPollOrder()) {
        if (m_held[key])
            input.onEvent(EventKeyboard(key, KEY_HELD));
    }
}

void FrameDriver::advance(int count) {
    for (int i = 0; i < count; ++i)
        TestAccess::runFrame([this] { sendInput(); });
}

} // namespace mw
