#pragma once

// Reaches into the game's classes where a test must set up a state that the
// fight would take many steps to reach. The classes name it as a friend; the
// game itself never uses it.

#include "game/FightingOpponent.h"
#include "game/HealthUI.h"
#include "game/Hero.h"
#include "game/MatchLoader.h"
#include "game/Opponent.h"

class TestAccess {
public:
    static void setHealth(Hero& hero, int health) { hero.setHealth(health); }
    static void setDown(Hero& hero, bool down) { hero.m_down = down; }
    static void setDownTime(Hero& hero, int steps) { hero.m_downTime = steps; }
    static void setRoundKnockdowns(Hero& hero, int knockdowns) {
        hero.m_roundKnockdowns = knockdowns;
    }
    static void setMash(Hero& hero, int count, int lastKey) {
        hero.m_mashCount = count;
        hero.m_lastMashKey = lastKey;
    }

    static void setDown(Opponent& opponent, bool down) { opponent.m_down = down; }
    static void setDownTime(Opponent& opponent, int steps) { opponent.m_downTime = steps; }
    static void setRoundKnockdowns(Opponent& opponent, int knockdowns) {
        opponent.m_roundKnockdowns = knockdowns;
    }
    static void setMove(Opponent& opponent, int move) { opponent.m_move = move; }
    // Puts the opponent straight into a state that has lasted `frames` steps.
    static void setState(FightingOpponent& opponent, int state, int frames = 0) {
        opponent.m_state = state;
        opponent.m_stateFrames = frames;
    }

    static void setWriteObserver(void (*observer)(MatchLoader::WriteStage)) {
        MatchLoader::s_writeObserver = observer;
    }
};
