#pragma once

#include "engine/Clock.h"

#include <chrono>
#include <cstdint>

namespace mw {

/// The real clock: a monotonic clock, so a frame that spans the turn of a
/// minute, hour or day (or a change of the wall clock) is still measured right.
class SystemClock : public Clock {
public:
    /// Milliseconds of the monotonic clock.
    std::int64_t nowMilliseconds() override;
    /// Sleeps to an absolute deadline. In a fine period it asks to be woken
    /// early by as much as the system has lately woken it late, and yields
    /// through whatever is left, so the sleep ends within a few microseconds
    /// of its deadline without spinning for long.
    void sleepMilliseconds(int milliseconds) override;
    /// Marks a fine period as running. The sleep is accurate without one, so
    /// nothing is asked of the system; logs nothing.
    void beginFinePeriod() override;
    /// Marks the fine period as over.
    void endFinePeriod() override;

    /// Whether a fine period is running.
    bool isFinePeriod() const { return m_finePeriod; }

private:
    bool m_finePeriod = false;
    /// How late the system has lately woken a sleep, a running average.
    std::chrono::microseconds m_wakeLateness{0};
};

} // namespace mw
