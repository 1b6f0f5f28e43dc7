#pragma once

#include "game/FightingOpponent.h"

// The first opponent: the slowest to recover after a swing, with the longest
// tell and stun.
class Opponent1 : public FightingOpponent {
public:
    Opponent1();
};
