#include "game/BestTimes.h"

#include "engine/LogManager.h"
#include "engine/internal/DurableFile.h"
#include "game/OpponentCard.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// One line of the file is read into this; longer lines arrive in pieces.
constexpr int LINE_BUFFER_SIZE = 256;
// A UTF-8 byte-order mark, which some editors put at the start of a file.
const std::string BYTE_ORDER_MARK = "\xEF\xBB\xBF";
// How long shutting down waits for another copy to let go of the lock.
constexpr auto SHUT_DOWN_LOCK_WAIT = std::chrono::seconds(2);
constexpr auto LOCK_RETRY_INTERVAL = std::chrono::milliseconds(10);
// How long a new title waits for another copy to let go of the lock: what
// the other copy does under it takes a few milliseconds.
constexpr auto TITLE_LOCK_WAIT = std::chrono::milliseconds(100);
// 9:59, the longest time that one digit of minutes can hold.
constexpr int LONGEST_TIME = 9 * 60 + 59;

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// The seconds a stored time stands for: the first digit is minutes, the (at
// most two) digits after it seconds. -1 when the entry is not a time (not
// two or three digits and nothing else), which only a hand-edited file holds.
int storedSeconds(const std::string& time) {
    if (time.size() < 2 || time.size() > 3 || !std::all_of(time.begin(), time.end(), isDigit))
        return -1;
    int seconds = time[1] - '0';
    if (time.size() > 2)
        seconds = seconds * 10 + (time[2] - '0');
    return (time[0] - '0') * 60 + seconds;
}

// Unreadable entries sort after every real time, so any win replaces them.
int sortKey(const std::string& time) {
    const int seconds = storedSeconds(time);
    return seconds < 0 ? INT_MAX : seconds;
}

// What a rewrite keeps of an entry in the file and the one in memory: the
// faster time; an entry that is not a time never replaces one that is, and
// of two that are not, the file's stays unless it is empty.
std::string mergedTime(const std::string& inFile, const std::string& inMemory) {
    if (storedSeconds(inFile) < 0 && storedSeconds(inMemory) < 0)
        return inFile.empty() ? inMemory : inFile;
    return BestTimes::fasterTime(inFile, inMemory);
}

// An exclusive hold on the lock file, taken without waiting (or retried for
// a while), let go by the destructor, which removes the file first. A copy
// that opened the file just before its holder removed it may then lock a
// file that has no name any more: it finds that out and counts the lock as
// held by another.
class BestTimesLock {
public:
    enum class State { Held, Busy, Unavailable };

    explicit BestTimesLock(std::chrono::milliseconds patience) {
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        while (tryLock() == State::Busy && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(LOCK_RETRY_INTERVAL);
    }
    ~BestTimesLock() {
        if (m_state == State::Held)
            unlink(HIGH_SCORE_LOCK_FILE.c_str());
        if (m_fd >= 0)
            close(m_fd);
    }
    BestTimesLock(const BestTimesLock&) = delete;
    BestTimesLock& operator=(const BestTimesLock&) = delete;

    State getState() const { return m_state; }
    // Why the lock file could not be used: what it is when it is no regular
    // file, else the system's words.
    const std::string& getError() const { return m_error; }

    // Who holds the lock on the file now named so, as "process N" (with
    // ", which is stopped" when it is), or "another process" when the
    // system does not say.
    static std::string holder() {
        struct stat named {};
        long pid = 0;
        if (lstat(HIGH_SCORE_LOCK_FILE.c_str(), &named) == 0) {
            char file[64];
            std::snprintf(file, sizeof file, "%02x:%02x:%llu", major(named.st_dev),
                          minor(named.st_dev), static_cast<unsigned long long>(named.st_ino));
            std::ifstream locks("/proc/locks");
            std::string line;
            // "1: FLOCK  ADVISORY  WRITE 4242 08:01:1234 0 EOF"; a waiter's has "->" second.
            while (pid == 0 && std::getline(locks, line)) {
                std::istringstream fields(line);
                std::string number, kind, mode, access, lockedFile;
                long lockPid = 0;
                fields >> number >> kind >> mode >> access >> lockPid >> lockedFile;
                if (kind == "FLOCK" && lockedFile == file)
                    pid = lockPid;
            }
        }
        if (pid <= 0)
            return "another process";
        // The state is the field after the command name, which ends at the last ')'.
        std::string stat;
        std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/stat"), stat);
        const std::size_t nameEnd = stat.rfind(')');
        const char state =
            nameEnd != std::string::npos && nameEnd + 2 < stat.size() ? stat[nameEnd + 2] : '?';
        return "process " + std::to_string(pid) +
               (state == 'T' || state == 't' ? ", which is stopped" : "");
    }

private:
    State tryLock() {
        if (m_fd >= 0)
            close(m_fd);
        // Only reading: a file made by another user can be locked all the same.
        m_fd = open(HIGH_SCORE_LOCK_FILE.c_str(),
                    O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        struct stat held {};
        struct stat named {};
        if (m_fd < 0 || fstat(m_fd, &held) != 0 || !S_ISREG(held.st_mode))
            return unavailable(m_fd < 0 ? errno : 0);
        if (flock(m_fd, LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK ? m_state = State::Busy : unavailable(errno);
        if (lstat(HIGH_SCORE_LOCK_FILE.c_str(), &named) != 0 || named.st_dev != held.st_dev ||
            named.st_ino != held.st_ino)
            return m_state = State::Busy;
        return m_state = State::Held;
    }
    State unavailable(int error) {
        struct stat named {};
        if (lstat(HIGH_SCORE_LOCK_FILE.c_str(), &named) == 0 && !S_ISREG(named.st_mode))
            m_error = kindOf(named.st_mode) + ", not a regular file";
        else
            m_error = std::strerror(error != 0 ? error : EINVAL);
        return m_state = State::Unavailable;
    }
    static std::string kindOf(mode_t mode) {
        if (S_ISDIR(mode))
            return "a directory";
        if (S_ISFIFO(mode))
            return "a FIFO";
        if (S_ISLNK(mode))
            return "a symbolic link";
        if (S_ISSOCK(mode))
            return "a socket";
        return "a device";
    }

    int m_fd = -1;
    State m_state = State::Unavailable;
    std::string m_error;
};

} // namespace

BestTimes::~BestTimes() {
    closeFile();
}

BestTimes& BestTimes::getInstance() {
    static BestTimes instance;
    return instance;
}

void BestTimes::load() {
    m_highScores.fill(std::string());
    m_unsaved = false;
    m_failureLogged = false;
    m_failure.clear();
    m_exitTried = false;
    closeFile();
    ReadResult result = ReadResult::Missing;
    {
        // Under the lock no rewrite is under way: what one left is litter.
        const BestTimesLock lock(std::chrono::milliseconds(0));
        if (lock.getState() == BestTimesLock::State::Held)
            mw::DurableFile::removeLeftovers(HIGH_SCORE_FILE);
        result = readFile(m_highScores);
    }
    m_unreadable = result == ReadResult::Unreadable;
    if (result != ReadResult::Read)
        mw::LogManager::getInstance().writeLog(
            "MatchLoader::startUp() -- Couldn't open highscore data file!");
    const std::string unsavable = whyNothingCanBeSaved();
    if (!unsavable.empty())
        tellPlayer("startUp()", "Best times cannot be saved: " + unsavable);
}

std::string BestTimes::whyNothingCanBeSaved() {
    struct stat status {};
    if (stat(HIGH_SCORE_FILE.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode) || access(HIGH_SCORE_FILE.c_str(), W_OK) == 0)
            return ""; // a file of another kind has its own line
        return "'" + HIGH_SCORE_FILE + "' is not writable (" + std::strerror(errno) + ")";
    }
    if (errno != ENOENT || access(".", W_OK) == 0)
        return "";
    const int error = errno;
    char* folder = getcwd(nullptr, 0);
    const std::string name = folder != nullptr ? folder : ".";
    std::free(folder);
    return "the folder '" + name + "' cannot be written (" + std::strerror(error) + ")";
}

void BestTimes::tellPlayer(const char* operation, const std::string& message) {
    mw::LogManager::getInstance().writeLog("MatchLoader::%s -- %s", operation, message.c_str());
    std::fprintf(stderr, "marrowick: %s\n", message.c_str());
    std::fflush(stderr);
}

void BestTimes::readTimesAgain() {
    const BestTimesLock lock(TITLE_LOCK_WAIT);
    std::array<std::string, OPPONENT_COUNT> inFile;
    if (lock.getState() == BestTimesLock::State::Busy || readFile(inFile) != ReadResult::Read)
        return;
    takeFasterTimes(inFile);
}

void BestTimes::takeFasterTimes(const std::array<std::string, OPPONENT_COUNT>& inFile) {
    for (int i = 0; i < OPPONENT_COUNT; ++i)
        m_highScores[i] = mergedTime(inFile[i], m_highScores[i]);
}

BestTimes::ReadResult BestTimes::readFile(std::array<std::string, OPPONENT_COUNT>& entries) {
    closeFile();
    // Opening does not wait for a FIFO's writer; only a regular file is read.
    const int fd = open(HIGH_SCORE_FILE.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return ReadResult::Missing;
    struct stat status {};
    if (fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        m_hsFile = fdopen(fd, "r");
    if (fd >= 0 && m_hsFile == nullptr)
        close(fd);
    if (m_hsFile == nullptr)
        return ReadResult::Unreadable;
    char line[LINE_BUFFER_SIZE];
    bool first = true;
    for (std::string& entry : entries) {
        if (std::fgets(line, sizeof line, m_hsFile) == nullptr)
            continue;
        std::size_t length = std::strcspn(line, "\n");
        if (length > 0 && line[length - 1] == '\r')
            --length;
        entry.assign(line, length);
        if (std::exchange(first, false) && entry.starts_with(BYTE_ORDER_MARK))
            entry.erase(0, BYTE_ORDER_MARK.size());
    }
    const bool readable = std::ferror(m_hsFile) == 0;
    closeFile();
    return readable ? ReadResult::Read : ReadResult::Unreadable;
}

void BestTimes::finish() {
    if (m_unsaved && !m_exitTried)
        saveBeforeExit();
    closeFile();
}

void BestTimes::saveBeforeExit() {
    m_exitTried = true;
    if (!m_unsaved || writeFile(true) == 0)
        return;
    // The times the file lacks, as it is now; all of them when it cannot be read.
    std::array<std::string, OPPONENT_COUNT> inFile;
    if (readFile(inFile) != ReadResult::Read)
        inFile.fill(std::string());
    std::string lost;
    int count = 0;
    for (int i = 0; i < OPPONENT_COUNT; ++i) {
        const std::string& time = m_highScores[i];
        if (storedSeconds(time) < 0 || mergedTime(inFile[i], time) == inFile[i])
            continue;
        lost += std::string(count++ == 0 ? "" : " and ") + shownTime(time) + " against " +
                OpponentCard::of(i + 1).name;
    }
    if (count > 0)
        tellPlayer("saveBeforeExit()", (count == 1 ? "Best time " : "Best times ") + lost +
                                           (count == 1 ? " was" : " were") +
                                           " not saved: " + m_failure);
}

void BestTimes::closeFile() {
    if (m_hsFile != nullptr)
        std::fclose(m_hsFile);
    m_hsFile = nullptr;
}

std::string BestTimes::storedTime(int elapsedSeconds) {
    const int elapsed = std::clamp(elapsedSeconds, 0, LONGEST_TIME);
    const int minutes = elapsed / 60;
    const int seconds = elapsed - minutes * 60;
    return std::to_string(minutes) + (seconds < 10 ? "0" : "") + std::to_string(seconds);
}

std::string BestTimes::fasterTime(const std::string& a, const std::string& b) {
    return sortKey(a) > sortKey(b) ? b : a;
}

std::string BestTimes::getHighScore(int opponent) const {
    if (opponent < 1 || opponent > OPPONENT_COUNT)
        return "-:--";
    return shownTime(m_highScores[opponent - 1]);
}

std::string BestTimes::shownTime(const std::string& time) {
    if (storedSeconds(time) < 0)
        return "-:--";
    return time.substr(0, 1) + ":" + time.substr(1);
}

int BestTimes::recordWin(int opponent, int seconds) {
    if (opponent < 1 || opponent > OPPONENT_COUNT)
        return -1;
    const std::string time = storedTime(seconds);
    std::string& entry = m_highScores[opponent - 1];
    entry = entry.empty() ? time : fasterTime(time, entry);
    m_unsaved = true;
    return writeFile(false);
}

int BestTimes::saveTimes() {
    return m_unsaved ? writeFile(false) : 0;
}

void BestTimes::logFailure(const char* format, ...) {
    if (m_failureLogged)
        return;
    char line[mw::LogManager::LINE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    m_failureLogged = mw::LogManager::getInstance().writeLog("%s", line) >= 0;
}

int BestTimes::writeFile(bool waitForLock) {
    const mw::LogManager& log = mw::LogManager::getInstance();
    const std::string file = "'" + HIGH_SCORE_FILE + "'";
    if (m_unreadable) {
        m_failure = file + " could not be read at start-up";
        logFailure("MatchLoader::updateFile() -- Highscore data file could not be read at "
                   "start-up; left it as it was");
        return -1;
    }
    // Retries of a rewrite that keeps failing write no more lines.
    const bool quiet = m_failureLogged;
    // Held until the new file is in place (or given up), by every copy.
    const BestTimesLock lock(
        waitForLock ? std::chrono::duration_cast<std::chrono::milliseconds>(SHUT_DOWN_LOCK_WAIT)
                    : std::chrono::milliseconds(0));
    switch (lock.getState()) {
    case BestTimesLock::State::Busy:
        // Another copy is rewriting the file: next time. Only the last try
        // asks the system who.
        m_failure = "'" + HIGH_SCORE_LOCK_FILE + "' is held by " +
                    (waitForLock ? BestTimesLock::holder() : "another process");
        return -1;
    case BestTimesLock::State::Unavailable:
        if (!quiet)
            log.writeLog("MatchLoader::updateFile() -- Couldn't lock '%s' (%s); writing without it",
                         HIGH_SCORE_LOCK_FILE.c_str(), lock.getError().c_str());
        break;
    case BestTimesLock::State::Held:
        mw::DurableFile::removeLeftovers(HIGH_SCORE_FILE);
        break;
    }
    // Another copy may have written times since this one read the file; a
    // file that cannot be read now is not replaced either.
    std::array<std::string, OPPONENT_COUNT> inFile;
    if (readFile(inFile) == ReadResult::Unreadable) {
        m_failure = file + " cannot be read";
        logFailure("MatchLoader::updateFile() -- Couldn't open highscore data file!");
        return -1;
    }
    takeFasterTimes(inFile);
    mw::DurableFile rewrite(HIGH_SCORE_FILE);
    switch (rewrite.getStatus()) {
    case mw::DurableFile::Status::NotWritable:
        m_failure = file + " is not writable (" + rewrite.openError() + ")";
        logFailure("MatchLoader::updateFile() -- Highscore data file is not writable; left it "
                   "as it was");
        return -1;
    case mw::DurableFile::Status::Failed:
        m_failure = file + " cannot be written (" + rewrite.openError() + ")";
        logFailure("MatchLoader::updateFile() -- Couldn't open highscore data file!");
        return -1;
    case mw::DurableFile::Status::InPlace:
        if (!quiet)
            log.writeLog("MatchLoader::updateFile() -- Couldn't create a temporary file beside the "
                         "highscore data file (%s); rewriting it in place",
                         rewrite.temporaryError().c_str());
        break;
    case mw::DurableFile::Status::Temporary:
        break;
    }
    std::string error;
    for (const std::string& entry : m_highScores) {
        if (std::fprintf(rewrite.getStream(), "%s\n", entry.c_str()) < 0 && error.empty())
            error = std::strerror(errno);
        if (s_writeObserver != nullptr)
            s_writeObserver(WriteStage::EntryWritten);
    }
    if (s_writeObserver != nullptr)
        s_writeObserver(WriteStage::BeforeRename);
    // The old file stays whole until the new one is complete on disk; a
    // rewrite that failed to write is dropped without replacing it.
    if (error.empty() && !rewrite.commit())
        error = rewrite.commitError();
    if (!error.empty()) {
        m_failure = "writing " + file + " failed (" + error + ")";
        logFailure("MatchLoader::updateFile() -- Couldn't write highscore data file (%s); the "
                   "times are kept and written later",
                   error.c_str());
        return -1;
    }
    m_unsaved = false;
    m_failureLogged = false;
    m_failure.clear();
    return 0;
}
