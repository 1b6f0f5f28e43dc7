#pragma once

#include "engine/Vector.h"

// The rules that hold for the hero and the opponents alike.
struct BoxingRules {
    // Health a landed punch takes.
    static constexpr int PUNCH_DAMAGE = 10;

    // A boxer getting up has 75, 50 or 25 percent of full health after the
    // round's first, second or a later knockdown.
    static int healthOnGettingUp(int maxHealth, int roundKnockdowns);

    // Where a boxer stands: two columns right of the middle, rowsAboveBottom
    // rows up from the bottom of the screen.
    static mw::Vector home(int rowsAboveBottom);
};
