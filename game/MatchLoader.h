#pragma once

#include "engine/Manager.h"

#include <string>

class RoundSystem;
class Timer;

// The game's own manager: starts and stops the best-times store, sets up
// fights and the tutorial, and clears the world between scenes. The store
// itself is BestTimes; the operations here that reach it only pass on.
class MatchLoader : public mw::Manager {
public:
    static MatchLoader& getInstance();
    ~MatchLoader() override;

    // Reads the best times (BestTimes::load); always 0.
    int startUp() override;
    // Writes unsaved times, unless BestTimes::saveBeforeExit() already tried.
    void shutDown() override;

    // Records a win against the current opponent in the round system's
    // round with the timer's time left (BestTimes::recordWin).
    int updateFile(const Timer* timer, const RoundSystem* roundSystem);
    // BestTimes::getHighScore.
    std::string getHighScore(int opponent) const;
    // BestTimes::fasterTime.
    static std::string fasterTime(const std::string& a, const std::string& b);

    // Replaces the world by a fight against opponent 1, 2 or 3.
    void startMatch(int opponent);
    // Replaces the world by the tutorial.
    void startTutorial();
    // Marks every object of the world for deletion.
    void clearWorld();

    int getCurrentOpponent() const { return m_currentOpponent; }

private:
    MatchLoader();

    int m_currentOpponent = -1;
};
