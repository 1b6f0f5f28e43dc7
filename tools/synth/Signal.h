#pragma once

#include <vector>

namespace synth {

// Mono audio in floating point; full scale is -1..+1.
using Signal = std::vector<double>;

// Every file is written at this rate; the effects and the theme are computed at it.
inline constexpr int kSampleRate = 44100;

} // namespace synth
