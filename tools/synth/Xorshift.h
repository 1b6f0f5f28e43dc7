#pragma once

#include <cstdint>

namespace synth {

// A small fixed-seed noise source (xorshift32), so that every run of the
// synthesiser produces the same bytes on every platform.
class Xorshift {
public:
    explicit Xorshift(std::uint32_t seed);

    std::uint32_t next();
    // Uniform in [-1, 1).
    double nextBipolar();

private:
    std::uint32_t m_state;
};

} // namespace synth
