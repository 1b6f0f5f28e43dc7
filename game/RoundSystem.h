#pragma once

#include "engine/EventKeyboard.h"
#include "engine/Object.h"
#include "engine/Vector.h"

#include <string>

class EventGameOver;
class Hero;
class Opponent;
class RoundUI;
class Timer;

// Referees one fight: three rounds of 90 seconds with a pause between them that
// waits for a key, the judges' decision after the third round, the result
// message, and the way back to the title screen.
class RoundSystem : public mw::Object {
public:
    static constexpr int ROUNDS = 3;
    // Steps paused before the "Press any key" prompt, and between re-showings.
    static constexpr int PAUSE_STEPS = 90;

    // Either boxer may be null; what would be done to it is then skipped.
    // A win is recorded as a best time against opponent 1, 2 or 3; with any
    // other number it is not.
    RoundSystem(Hero* hero, Opponent* opponent, int opponentNumber = 0);

    int eventHandler(const mw::Event& event) override;
    void handleKey(const mw::EventKeyboard& event);
    void handleGameOver(const EventGameOver& event);
    // Fewer knockdowns suffered wins; broadcasts the result to the world.
    void judgeDecision();

    int getRound() const { return m_round; }

    // The seconds a win took in round (1 to 3) with timeLeft seconds left on
    // the clock; a decision (round 4) always took the full three rounds.
    static int winningSeconds(int round, int timeLeft);

    // The text shown for a result code; empty for a code that has none.
    static std::string resultText(int resultCode);

    // Where round and result messages are centred.
    static mw::Vector messagePosition();
    // Where a message `rows` rows under the result is centred.
    static mw::Vector lineUnderResult(int rows);

private:
    void step();
    void endRound();
    void startNextRound();
    void freezeBoxers();
    // Records the winning time; a time better than the kept one is announced,
    // with "(not saved yet)" while the file does not hold it.
    void recordWin();
    // Retries writing times that are not in the file yet; once written, the
    // announcement says so.
    void saveTimes();

    int m_round = 1;
    bool m_roundActive = true;
    bool m_awaitingKey = false;
    bool m_matchOver = false;
    RoundUI* m_roundUI = nullptr;
    Timer* m_timer = nullptr;
    Hero* m_hero = nullptr;
    Opponent* m_opponent = nullptr;
    int m_opponentNumber = 0;
    // The knockdowns the judges compared; empty unless the fight went to them.
    std::string m_judgesScore;
    // The new best time announced as not saved yet ("m:ss"); empty when none.
    std::string m_unsavedBest;
};
