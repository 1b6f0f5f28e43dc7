#pragma once

#include "engine/Color.h"

// How an opponent is named and coloured wherever the game shows him: on the
// title screen and above his health bar.
struct OpponentCard {
    // The name as drawn, single quotes included.
    const char* name;
    mw::Color color;

    // Opponent 1, 2 or 3; any other number gives the first.
    static const OpponentCard& of(int number);
};
