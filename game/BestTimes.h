#pragma once

#include <array>
#include <cstdio>
#include <string>

inline const std::string HIGH_SCORE_FILE = "hsdata.txt";
// Every copy of the game holds an exclusive flock on it while it reads the
// best times to rewrite them and until the new file is in place; it is
// removed when let go.
inline const std::string HIGH_SCORE_LOCK_FILE = "hsdata.txt.lock";

// The best winning time against each opponent, kept in "hsdata.txt".
//
// A time is stored as one digit of minutes followed by two digits of seconds
// (1:05 is "105"); an empty entry means no win yet.
//
// Several copies of the game may share the file: a rewrite takes the lock,
// reads the file again and keeps for each opponent the faster of its time
// and the one in memory, so no copy erases another's times. A rewrite that
// cannot be made at once (the lock is held, the disk is full) leaves the
// times unsaved in memory; saveTimes() tries again, without waiting.
//
// Its log lines name the MatchLoader operations through which the game
// first reaches it.
class BestTimes {
public:
    static constexpr int OPPONENT_COUNT = 3;

    static BestTimes& getInstance();
    ~BestTimes();
    BestTimes(const BestTimes&) = delete;
    BestTimes& operator=(const BestTimes&) = delete;

    // Reads the three best times; a missing file only costs a log line. A
    // file that is there but cannot be read is never rewritten afterwards.
    // Removes the temporary files of killed rewrites when the lock is free.
    // Where no time could ever be saved (the file and the folder cannot be
    // written), says so once, in the log and on standard error.
    void load();
    // At shut-down: writes unsaved times, unless saveBeforeExit() already
    // tried.
    void finish();
    // The last try at the unsaved times, waiting a little for the lock if it
    // must; for every time it cannot write, one line in the log and on
    // standard error names the opponent, the time and why. Call it while the
    // log is open.
    void saveBeforeExit();
    // Takes in the faster times that another copy of the game wrote to the
    // file since, waiting a little for the lock if it must (and giving up if
    // the other copy keeps it); the title screen calls it whenever it is made.
    void readTimesAgain();

    // Records a win of `seconds` against opponent 1, 2 or 3 and rewrites the
    // file. 0 when every time is in the file; -1 when not (yet): the file
    // stays as it was and the times stay in memory for saveTimes(). A failure
    // is logged once until the times are saved; a lock that another copy
    // holds is no failure. Any other opponent number records nothing (-1).
    int recordWin(int opponent, int seconds);
    // Writes the times not in the file yet, if there are any, when the lock
    // is free at once; 0 when none are left unsaved. Cheap when none are.
    int saveTimes();
    bool hasUnsavedTimes() const { return m_unsaved; }
    // "m:ss" for opponent 1 to 3, or "-:--" when there is no time to show.
    std::string getHighScore(int opponent) const;
    // "m:ss" for a stored time, or "-:--" for an entry that is not one.
    static std::string shownTime(const std::string& time);

    // The faster of two stored times; on a tie the first. An entry that cannot
    // be read as a time is slower than any time that can.
    static std::string fasterTime(const std::string& a, const std::string& b);
    // The stored form of a win that took elapsedSeconds (0 to 599, beyond which
    // the one digit of minutes has no room).
    static std::string storedTime(int elapsedSeconds);

    // Stages of a rewrite of the file, where a crash test stops the program.
    enum class WriteStage { EntryWritten, BeforeRename };

private:
    // Tests set the write observer through it (tests/support/TestAccess.h);
    // the game never does.
    friend class TestAccess;
    // Called at every stage of a rewrite; nullptr (always, in the game) for none.
    static inline void (*s_writeObserver)(WriteStage) = nullptr;

    enum class ReadResult { Read, Missing, Unreadable };

    BestTimes() = default;
    // Reads the file's three entries into entries (untouched where the file
    // has fewer lines).
    ReadResult readFile(std::array<std::string, OPPONENT_COUNT>& entries);
    // Keeps, for each opponent, the faster of the file's time and this copy's.
    void takeFasterTimes(const std::array<std::string, OPPONENT_COUNT>& inFile);
    // Merges the file's times into memory and writes them all through a
    // crash-safe rewrite, under the lock; -1, logged, when it did not.
    // waitForLock: retry a held lock for a while instead of giving up.
    int writeFile(bool waitForLock);
    // Logs the line unless a failure was logged since the times were last
    // saved; one that the closed log refused is logged at the next failure.
    void logFailure(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Why no time can be saved in this folder at all; empty when one can.
    static std::string whyNothingCanBeSaved();
    // The message, after "MatchLoader::<operation> -- " in the log and
    // after "marrowick: " on standard error.
    static void tellPlayer(const char* operation, const std::string& message);
    void closeFile();

    std::FILE* m_hsFile = nullptr;
    bool m_unreadable = false;
    // Times in memory that the file may not hold.
    bool m_unsaved = false;
    bool m_failureLogged = false;
    // Why the last rewrite did not save the times; empty when it did.
    std::string m_failure;
    bool m_exitTried = false;
    std::array<std::string, OPPONENT_COUNT> m_highScores;
};
