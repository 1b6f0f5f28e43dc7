#pragma once

#include "game/FightingOpponent.h"

// The second opponent: recovers faster after a swing and leaves a shorter
// tell and stun than the first.
class Opponent2 : public FightingOpponent {
public:
    Opponent2();
};
