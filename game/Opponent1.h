#pragma once

#include "game/FightingOpponent.h"

// The first opponent: the slowest to recover after a swing, with the longest
// tell and stun.
class Opponent1 : public FightingOpponent {
public:
    Opponent1();

    // The attack counter shared by every Opponent1: the steps of the wind-up and
    // of the recovery after a swing.
    static int getAttackCounter();
    static void setAttackCounter(int count);
};
