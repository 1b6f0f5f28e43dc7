#include "StateVariableFilter.h"

#include "Signal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace synth {

void StateVariableFilter::tune(double cutoffHz, double q) {
    const double nyquistSafe = 0.45 * kSampleRate;
    const double cutoff = std::clamp(cutoffHz, 10.0, nyquistSafe);
    m_g = std::tan(std::numbers::pi * cutoff / kSampleRate);
    m_k = 1.0 / std::max(q, 0.05);
    m_a1 = 1.0 / (1.0 + m_g * (m_g + m_k));
    m_a2 = m_g * m_a1;
    m_a3 = m_g * m_a2;
}

StateVariableFilter::Outputs StateVariableFilter::process(double input) {
    const double v3 = input - m_state2;
    const double v1 = m_a1 * m_state1 + m_a2 * v3;
    const double v2 = m_state2 + m_a2 * m_state1 + m_a3 * v3;
    m_state1 = 2.0 * v1 - m_state1;
    m_state2 = 2.0 * v2 - m_state2;
    return {v2, v1, input - m_k * v1 - v2};
}

} // namespace synth
