#include "engine/Clock.h"

#include <chrono>
#include <thread>

#include <ctime>

namespace mw {

namespace {
// The part of a sleep that is spent yielding rather than asleep, when fine.
constexpr std::chrono::microseconds SPIN_MARGIN(500);
} // namespace

std::int64_t SystemClock::nowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::sleepMilliseconds(int milliseconds) {
    if (milliseconds <= 0)
        return;
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + std::chrono::milliseconds(milliseconds);
    if (!m_finePeriod) {
        std::this_thread::sleep_until(deadline);
        return;
    }
    const auto wakeUp = deadline - SPIN_MARGIN;
    if (steady_clock::now() < wakeUp)
        std::this_thread::sleep_until(wakeUp);
    while (steady_clock::now() < deadline)
        std::this_thread::yield();
}

void SystemClock::beginFinePeriod() {
    m_finePeriod = true;
}

void SystemClock::endFinePeriod() {
    m_finePeriod = false;
}

} // namespace mw
