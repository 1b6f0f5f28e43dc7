#include "game/MatchLoader.h"

#include "engine/DurableFile.h"
#include "engine/LogManager.h"
#include "engine/ObjectList.h"
#include "engine/WorldManager.h"
#include "game/Hero.h"
#include "game/KnockdownPrompt.h"
#include "game/Opponent1.h"
#include "game/Opponent2.h"
#include "game/Opponent3.h"
#include "game/Ring.h"
#include "game/RoundSystem.h"
#include "game/Timer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One line of the file is read into this; longer lines arrive in pieces.
constexpr int LINE_BUFFER_SIZE = 256;
// A UTF-8 byte-order mark, which some editors put at the start of a file.
const std::string BYTE_ORDER_MARK = "\xEF\xBB\xBF";

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

} // namespace

MatchLoader::MatchLoader() {
    setType("MatchLoader");
}

MatchLoader::~MatchLoader() {
    closeFile();
    setStarted(false);
}

MatchLoader& MatchLoader::getInstance() {
    static MatchLoader instance;
    return instance;
}

int MatchLoader::startUp() {
    m_highScores.fill(std::string());
    closeFile();
    // Opening does not wait for a FIFO's writer; only a regular file is read.
    const int fd = open(HIGH_SCORE_FILE.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const bool missing = fd < 0 && errno == ENOENT;
    struct stat status {};
    if (fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode))
        m_hsFile = fdopen(fd, "r");
    else if (fd >= 0)
        close(fd);
    bool readable = m_hsFile != nullptr;
    if (readable) {
        char line[LINE_BUFFER_SIZE];
        bool first = true;
        for (std::string& entry : m_highScores) {
            if (std::fgets(line, sizeof line, m_hsFile) == nullptr)
                continue;
            std::size_t length = std::strcspn(line, "\n");
            if (length > 0 && line[length - 1] == '\r')
                --length;
            entry.assign(line, length);
            if (std::exchange(first, false) && entry.starts_with(BYTE_ORDER_MARK))
                entry.erase(0, BYTE_ORDER_MARK.size());
        }
        readable = std::ferror(m_hsFile) == 0;
        closeFile();
    }
    m_unreadable = !readable && !missing;
    if (!readable)
        mw::LogManager::getInstance().writeLog(
            "MatchLoader::startUp() -- Couldn't open highscore data file!");
    setStarted(true);
    return 0;
}

void MatchLoader::shutDown() {
    closeFile();
    setStarted(false);
}

void MatchLoader::closeFile() {
    if (m_hsFile != nullptr)
        std::fclose(m_hsFile);
    m_hsFile = nullptr;
}

std::string MatchLoader::winningTime(int round, int timeLeft) {
    constexpr int ROUNDS = RoundSystem::ROUNDS;
    int elapsed =
        round > ROUNDS ? ROUNDS * Timer::ROUND_SECONDS : round * Timer::ROUND_SECONDS - timeLeft;
    // A fight never lasts longer than three rounds; keeping the result in range
    // keeps the minutes to the one digit the file format has room for.
    elapsed = std::clamp(elapsed, 0, ROUNDS * Timer::ROUND_SECONDS);
    const int minutes = elapsed / 60;
    const int seconds = elapsed - minutes * 60;
    return std::to_string(minutes) + (seconds < 10 ? "0" : "") + std::to_string(seconds);
}

std::string MatchLoader::fasterTime(const std::string& a, const std::string& b) {
    return sortKey(a) > sortKey(b) ? b : a;
}

std::string MatchLoader::getHighScore(int opponent) const {
    if (opponent < 1 || opponent > OPPONENT_COUNT)
        return "-:--";
    const std::string& time = m_highScores[opponent - 1];
    if (storedSeconds(time) < 0)
        return "-:--";
    return time.substr(0, 1) + ":" + time.substr(1);
}

void MatchLoader::updateFile(const Timer* timer, const RoundSystem* roundSystem) {
    if (timer == nullptr || roundSystem == nullptr || m_currentOpponent < 1 ||
        m_currentOpponent > OPPONENT_COUNT)
        return;
    const std::string time = winningTime(roundSystem->getRound(), timer->getTimeLeft());
    std::string& entry = m_highScores[m_currentOpponent - 1];
    entry = entry.empty() ? time : fasterTime(time, entry);
    writeFile();
}

void MatchLoader::writeFile() {
    const mw::LogManager& log = mw::LogManager::getInstance();
    if (m_unreadable) {
        log.writeLog("MatchLoader::updateFile() -- Highscore data file could not be read at "
                     "start-up; left it as it was");
        return;
    }
    mw::DurableFile rewrite(HIGH_SCORE_FILE);
    switch (rewrite.getStatus()) {
    case mw::DurableFile::Status::NotWritable:
        log.writeLog("MatchLoader::updateFile() -- Highscore data file is not writable; left it "
                     "as it was");
        return;
    case mw::DurableFile::Status::Failed:
        log.writeLog("MatchLoader::updateFile() -- Couldn't open highscore data file!");
        return;
    case mw::DurableFile::Status::InPlace:
        log.writeLog("MatchLoader::updateFile() -- Couldn't create a temporary file beside the "
                     "highscore data file (%s); rewriting it in place",
                     rewrite.temporaryError().c_str());
        break;
    case mw::DurableFile::Status::Temporary:
        break;
    }
    bool written = true;
    for (const std::string& entry : m_highScores) {
        if (std::fprintf(rewrite.getStream(), "%s\n", entry.c_str()) < 0)
            written = false;
        if (s_writeObserver != nullptr)
            s_writeObserver(WriteStage::EntryWritten);
    }
    if (s_writeObserver != nullptr)
        s_writeObserver(WriteStage::BeforeRename);
    // The old file stays whole until the new one is complete on disk; a
    // rewrite that failed to write is dropped without replacing it.
    if (!written || !rewrite.commit())
        log.writeLog("MatchLoader::updateFile() -- Couldn't open highscore data file!");
}

void MatchLoader::startMatch(int opponent) {
    clearWorld();
    m_currentOpponent = opponent;
    if (opponent < 1 || opponent > OPPONENT_COUNT)
        return;
    new Ring;
    Hero* hero = new Hero;
    Opponent* rival = nullptr;
    if (opponent == 1)
        rival = new Opponent1;
    else if (opponent == 2)
        rival = new Opponent2;
    else
        rival = new Opponent3;
    new RoundSystem(hero, rival);
    new KnockdownPrompt;
}

void MatchLoader::clearWorld() {
    mw::WorldManager& world = mw::WorldManager::getInstance();
    const mw::ObjectList everything = world.getAllObjects();
    for (int i = 0; i < everything.getCount(); ++i)
        world.markForDelete(everything[i]);
}
