#pragma once

#include "engine/EventKeyboard.h"
#include "engine/Object.h"

#include <string>

class EventGameOver;
class Opponent;

// Teaches the four moves one at a time: a prompt names the key, the practice
// opponent takes a matching pose, and the right key stuns it and moves on
// 300 milliseconds later. After the last move ENTER returns to the title.
// Until then no hit takes either boxer down, so the practice cannot end
// before every lesson has been shown.
class TutorialMode : public mw::Object {
public:
    // The move being taught; DONE waits for ENTER.
    static constexpr int DONE = 4;
    static constexpr int ADVANCE_MILLISECONDS = 300;

    // Drives the world's newest opponent, or a new Opponent1 when there is none.
    TutorialMode();

    int eventHandler(const mw::Event& event) override;
    // Draws the current prompt; returns 0.
    int draw() override;

    // Puts the opponent in the pose of the current step.
    void showStep();
    // Shows the opponent stunned and starts the wait before the next step. He
    // starts his own wait afresh: an opening or a swing that went on would draw
    // punches that take the next lesson before it can be read.
    void stunOpponent();

private:
    // The prompt of the current step; empty outside the steps. After a
    // result it asks for ENTER.
    std::string getPrompt() const;
    // The line under the prompt; empty when there is none.
    std::string getHint() const;

    void handleKey(const mw::EventKeyboard& event);
    // Counts down the wait after a stun and moves on to the next step.
    void waitToAdvance();
    void placeOpponent(const std::string& sprite);
    // Gives both boxers' health bars the least health they keep.
    void setLowestHealth(int health);
    void endPractice(const EventGameOver& event);
    // Why the hero lost the practice: too many knockdowns, or the count.
    static std::string whyLost();

    int m_step = 0;
    Opponent* m_opponent = nullptr;
    int m_advanceTime = 0;
    bool m_over = false;
};
