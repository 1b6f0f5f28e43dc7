#pragma once

// Reaches into the engine's and the game's classes (which name it a friend)
// to set up states many steps away, or to read what the program only shows.

#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/InputManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/internal/CellRecorder.h"
#include "game/BestTimes.h"
#include "game/FightingOpponent.h"
#include "game/HealthUI.h"
#include "game/Hero.h"
#include "game/MatchLoader.h"
#include "game/Opponent.h"
#include "game/RoundSystem.h"
#include "game/TutorialMode.h"

#include <array>
#include <functional>
#include <string>

class TestAccess {
public:
    // What the last shown frame held, as cells.
    static mw::Cell shownCell(int column, int row) { return display().shownCell(column, row); }
    // Batched drawing is the default; unbatched drawing is the reference picture.
    static void setBatched(bool batched) { display().setBatched(batched); }
    static bool isBatched() { return display().isBatched(); }

    static void handleEvent(const sf::Event& event) {
        mw::InputManager::getInstance().handleEvent(event);
    }
    static const std::array<mw::Key, mw::KEY_COUNT>& heldPollOrder() {
        return mw::InputManager::heldPollOrder();
    }

    static void runFrame(const std::function<void()>& input) {
        mw::GameManager::getInstance().runFrame(input);
    }
    static void resetStepCount() { mw::GameManager::resetStepCount(); }
    static void setClock(mw::Clock* clock) { mw::GameManager::getInstance().setClock(clock); }
    static void setLogFlush(bool flush) { mw::LogManager::getInstance().setFlush(flush); }
    static bool isCompleteWav(const std::string& file) {
        return mw::ResourceManager::isCompleteWav(file);
    }

    static void setHealth(Hero& hero, int health) { hero.setHealth(health); }
    static void setDown(Hero& hero, bool down) { hero.m_down = down; }
    static void setRoundKnockdowns(Hero& hero, int count) { hero.m_roundKnockdowns = count; }
    static void setMash(Hero& hero, int count, int lastKey) {
        hero.m_mashCount = count;
        hero.m_lastMashKey = lastKey;
    }
    static void setDown(Opponent& opponent, bool down) { opponent.m_down = down; }
    static void setRoundKnockdowns(Opponent& boxer, int count) { boxer.m_roundKnockdowns = count; }
    static void setMove(Opponent& opponent, int move) { opponent.m_move = move; }
    // Puts the opponent straight into a state that has lasted `frames` steps.
    static void setState(FightingOpponent& opponent, int state, int frames = 0) {
        opponent.m_state = state;
        opponent.m_stateFrames = frames;
    }

    static int stateFrames(const FightingOpponent& opponent) { return opponent.getStateFrames(); }
    static int lastMashKey(const Hero& hero) { return hero.getLastMashKey(); }
    static bool isRoundActive(const RoundSystem& rounds) { return rounds.isRoundActive(); }
    static bool isAwaitingKey(const RoundSystem& rounds) { return rounds.isAwaitingKey(); }
    static bool isMatchOver(const RoundSystem& rounds) { return rounds.isMatchOver(); }
    static RoundUI* roundUI(const RoundSystem& rounds) { return rounds.getRoundUI(); }
    static Timer* timer(const RoundSystem& rounds) { return rounds.getTimer(); }
    static int step(const TutorialMode& tutorial) { return tutorial.getStep(); }
    static int advanceTime(const TutorialMode& tutorial) { return tutorial.getAdvanceTime(); }
    static void setAdvanceTime(TutorialMode& tutorial, int time) { tutorial.m_advanceTime = time; }
    static Opponent* opponent(const TutorialMode& tutorial) { return tutorial.getOpponent(); }
    static std::string prompt(const TutorialMode& tutorial) { return tutorial.getPrompt(); }

    static void setWriteObserver(void (*observer)(BestTimes::WriteStage)) {
        BestTimes::s_writeObserver = observer;
    }

private:
    static mw::DisplayManager& display() { return mw::DisplayManager::getInstance(); }
};
