#pragma once

// Reaches into the game's classes (which name it a friend) to set up states many steps away.

#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/InputSource.h"
#include "game/BestTimes.h"
#include "game/FightingOpponent.h"
#include "game/Opponent.h"

#include <functional>
#include <string>

class TestAccess {
public:
    // The frame bench (tests/bench) is also built against older engines, whose
    // frame step and drawing path tests reached only through here.
    static void setBatched(bool batched) { mw::DisplayManager::getInstance().setBatched(batched); }
    static void runFrame(const std::function<void()>& input) {
        struct Input : mw::InputSource {
            explicit Input(const std::function<void()>& input) : input(input) {}
            void getInput() override { input(); }
            const std::function<void()>& input;
        } source(input);
        mw::GameManager& game = mw::GameManager::getInstance();
        mw::InputSource* previous = game.getInputSource();
        game.setInputSource(&source);
        game.runFrame();
        game.setInputSource(previous);
    }

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
