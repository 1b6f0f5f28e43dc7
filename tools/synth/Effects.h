#pragma once

#include "Signal.h"

#include <string_view>
#include <vector>

namespace synth {

// One sound effect of the game: the file name it is written under (without
// ".wav") and the function that renders it, finished and normalised.
struct EffectRecipe {
    std::string_view name;
    Signal (*render)();
};

// Every effect the game loads, each at most one second long.
const std::vector<EffectRecipe>& effectRecipes();

} // namespace synth
