#include "support/FrameDriver.h"
#include "support/TestAccess.h"

#include <utility>

namespace mw {

void FrameDriver::queue(Key key, KeyboardAction action) {
    m_pending.emplace_back(key, action);
    if (key != KEY_UNDEFINED)
        m_held[key] = action == KEY_PRESSED;
}

void FrameDriver::tap(Key key) {
    press(key);
    release(key);
}

void FrameDriver::advance(int count) {
    const InputManager& input = InputManager::getInstance();
    for (int i = 0; i < count; ++i)
        TestAccess::runFrame([&] {
            for (const auto& [key, action] : std::exchange(m_pending, {}))
                input.onEvent(EventKeyboard(key, action));
            for (const Key key : TestAccess::heldPollOrder())
                if (m_held[key])
                    input.onEvent(EventKeyboard(key, KEY_HELD));
        });
}

} // namespace mw
