#pragma once

#include "engine/Manager.h"

#include <array>
#include <cstdio>
#include <string>

class RoundSystem;
class Timer;

inline const std::string HIGH_SCORE_FILE = "hsdata.txt";

// The game's own manager: keeps the best winning time against each opponent in
// "hsdata.txt", sets up fights and clears the world between scenes.
//
// A time is stored as one digit of minutes followed by two digits of seconds
// (1:05 is "105"); an empty entry means no win yet.
class MatchLoader : public mw::Manager {
public:
    static constexpr int OPPONENT_COUNT = 3;

    static MatchLoader& getInstance();
    ~MatchLoader() override;

    // Reads the three best times; a missing file only costs a log line. A
    // file that is there but cannot be read is never rewritten afterwards.
    int startUp() override;
    void shutDown() override;

    // Records a win against the current opponent and rewrites the file,
    // unless it may not: then a log line says so and the file stays.
    void updateFile(const Timer* timer, const RoundSystem* roundSystem);
    // "m:ss" for opponent 1 to 3, or "-:--" when there is no time to show.
    std::string getHighScore(int opponent) const;

    // The faster of two stored times; on a tie the first. An entry that cannot
    // be read as a time is slower than any time that can.
    static std::string fasterTime(const std::string& a, const std::string& b);
    // The stored form of a win in round (1 to 3) with timeLeft seconds left on
    // the clock; a decision (round 4) always took the full three rounds.
    static std::string winningTime(int round, int timeLeft);

    // Replaces the world by a fight against opponent 1, 2 or 3.
    void startMatch(int opponent);
    // Marks every object of the world for deletion.
    void clearWorld();

    int getCurrentOpponent() const { return m_currentOpponent; }

    // Stages of a rewrite of the file, where a crash test stops the program.
    enum class WriteStage { EntryWritten, BeforeRename };

private:
    // Tests set the write observer through it (tests/support/TestAccess.h);
    // the game never does.
    friend class TestAccess;
    // Called at every stage of a rewrite; nullptr (always, in the game) for none.
    static inline void (*s_writeObserver)(WriteStage) = nullptr;

    MatchLoader();
    // Writes the three entries through a crash-safe rewrite, logging what
    // stopped it.
    void writeFile();
    void closeFile();

    std::FILE* m_hsFile = nullptr;
    bool m_unreadable = false;
    int m_currentOpponent = -1;
    std::array<std::string, OPPONENT_COUNT> m_highScores;
};
