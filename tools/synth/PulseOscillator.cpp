#include "PulseOscillator.h"

#include "Signal.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

// Correction that rounds off a unit step at phase 0 over one sample either side.
double polyBlep(double phase, double increment) {
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

PulseOscillator::PulseOscillator(double duty) : m_duty(std::clamp(duty, 0.01, 0.99)) {}

double PulseOscillator::next(double frequencyHz) {
    const double increment = std::clamp(frequencyHz / kSampleRate, 1e-6, 0.49);
    double value = m_phase < m_duty ? 1.0 : -1.0;
    value += polyBlep(m_phase, increment);
    value -= polyBlep(std::fmod(m_phase + 1.0 - m_duty, 1.0), increment);
    m_phase += increment;
    if (m_phase >= 1.0)
        m_phase -= 1.0;
    // The naive pulse averages 2 * duty - 1; removing it keeps envelopes from thumping.
    return value - (2.0 * m_duty - 1.0);
}

} // namespace synth
