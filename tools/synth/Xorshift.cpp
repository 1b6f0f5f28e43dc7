#include "Xorshift.h"

namespace synth {

// Xorshift never leaves the all-zero state, so a zero seed is replaced.
Xorshift::Xorshift(std::uint32_t seed) : m_state(seed != 0 ? seed : 0x9E3779B9u) {}

std::uint32_t Xorshift::next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

double Xorshift::nextBipolar() {
    // The top 24 bits map exactly onto a double, so the result is reproducible.
    return static_cast<double>(next() >> 8) / 8388608.0 - 1.0;
}

} // namespace synth
