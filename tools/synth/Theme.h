#pragma once

#include "Signal.h"

#include <string_view>

namespace synth {

// File name (without ".wav") the theme music is written under.
inline constexpr std::string_view kThemeName = "mwbrawlicktheme";

// Renders the theme music: a whole number of bars that loops without a seam,
// normalised. Throws std::logic_error if the written score is malformed.
Signal renderTheme();

} // namespace synth
