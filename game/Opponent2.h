#pragma once

#include "game/FightingOpponent.h"

// The second opponent: recovers faster after a swing and leaves a shorter
// tell and stun than the first.
class Opponent2 : public FightingOpponent {
public:
    Opponent2();

    // The attack counter shared by every Opponent2: the steps of the wind-up and
    // of the recovery after a swing.
    static int getAttackCounter();
    static void setAttackCounter(int count);
};
