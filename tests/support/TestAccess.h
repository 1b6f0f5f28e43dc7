#pragma once

// Reaches into the game's classes (which name it a friend) to set up states many steps away.

#include "game/BestTimes.h"
#include "game/FightingOpponent.h"
#include "game/Opponent.h"

class TestAccess {
public:
    static void setMove(Opponent& opponent, int move) { opponent.m_move = move; }
    static void setState(FightingOpponent& opponent, int state, int frames = 0) {
        opponent.m_state = state;
        opponent.m_stateFrames = frames;
    }

    static int stateFrames(const FightingOpponent& opponent) { return opponent.getStateFrames(); }

    static void setWriteObserver(void (*observer)(BestTimes::WriteStage)) {
        BestTimes::s_writeObserver = observer;
    }
};
