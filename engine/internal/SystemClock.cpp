#include "engine/internal/SystemClock.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <ctime>

namespace mw {

namespace {
// A wake-up later than this is a stall, not the system's usual lateness.
constexpr std::chrono::microseconds MOST_LATENESS(1000);
// Waking this much earlier still than the usual lateness leaves a few
// microseconds to yield through, rather than waking after the deadline.
constexpr std::chrono::microseconds EARLY_MARGIN(50);
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
    const auto wakeUp = deadline - m_wakeLateness - EARLY_MARGIN;
    std::this_thread::sleep_until(wakeUp);
    const auto late = std::clamp(duration_cast<microseconds>(steady_clock::now() - wakeUp),
                                 microseconds(0), MOST_LATENESS);
    m_wakeLateness += (late - m_wakeLateness) / 8;
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
