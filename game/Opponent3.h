#pragma once

#include "game/FightingOpponent.h"

// The third opponent: the quickest of the three. It has no technical
// knockout: it gets up from every knockdown until the sixth of the match,
// which ends the fight by knockout.
class Opponent3 : public FightingOpponent {
public:
    Opponent3();

    // Ends the match by knockout, unless the round system has already frozen the fight.
    void loseByKo() override;

protected:
    void logKnockdown() const override;
};
