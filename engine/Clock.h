#pragma once

#include <cstdint>

namespace mw {

/// The game loop's time source: a millisecond clock and a sleep. Tests put a
/// fake in its place to run the loop without waiting.
class Clock {
public:
    virtual ~Clock() = default;

    /// Milliseconds since an arbitrary start; never goes backwards.
    virtual std::int64_t nowMilliseconds() = 0;
    /// Returns after the given number of milliseconds (at once for 0 or less).
    virtual void sleepMilliseconds(int milliseconds) = 0;

    /// Begins a run that needs sleeps accurate to the millisecond; the default does nothing.
    virtual void beginFinePeriod() {}
    /// Ends what beginFinePeriod() began; the default does nothing.
    virtual void endFinePeriod() {}
};

} // namespace mw
