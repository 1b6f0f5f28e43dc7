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
#include <climits>
#include <cstring>

namespace {

// One line of the file is read into this; longer lines arrive in pieces.
constexpr int LINE_BUFFER_SIZE = 256;

bool isDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// The seconds a stored time stands for: the first digit is minutes, the (at
// most two) digits after it seconds. -1 when the entry is not a time, which
// only a hand-edited file can hold.
int storedSeconds(const std::string& time) {
    if (time.size() < 2 || !isDigit(time[0]) || !isDigit(time[1]))
        return -1;
    int seconds = time[1] - '0';
    if (time.size() > 2 && isDigit(time[2]))
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
    m_hsFile = std::fopen(HIGH_SCORE_FILE.c_str(), "r");
    bool readable = m_hsFile != nullptr;
    if (readable) {
        char line[LINE_BUFFER_SIZE];
        for (std::string& entry : m_highScores) {
            if (std::fgets(line, sizeof line, m_hsFile) == nullptr)
                continue;
            line[std::strcspn(line, "\n")] = '\0';
            entry = line;
        }
        // A directory in the file's place opens but cannot be read.
        readable = std::ferror(m_hsFile) == 0;
        closeFile();
    }
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
    if (!writeFile())
        mw::LogManager::getInstance().writeLog(
            "MatchLoader::updateFile() -- Couldn't open highscore data file!");
}

bool MatchLoader::writeFile() {
    // The old file stays whole until the new one is complete on disk.
    m_hsFile = std::fopen(HIGH_SCORE_TEMP_FILE.c_str(), "w");
    if (m_hsFile == nullptr)
        return false;
    bool written = true;
    for (const std::string& entry : m_highScores) {
        if (std::fprintf(m_hsFile, "%s\n", entry.c_str()) < 0)
            written = false;
        if (s_writeObserver != nullptr)
            s_writeObserver(WriteStage::EntryWritten);
    }
    // On the disk, not only in the system's cache, before it replaces the old file.
    if (!mw::DurableFile::flushToDisk(m_hsFile))
        written = false;
    if (std::fclose(m_hsFile) != 0)
        written = false;
    m_hsFile = nullptr;
    if (s_writeObserver != nullptr)
        s_writeObserver(WriteStage::BeforeRename);
    if (written && std::rename(HIGH_SCORE_TEMP_FILE.c_str(), HIGH_SCORE_FILE.c_str()) != 0)
        written = false;
    if (!written)
        std::remove(HIGH_SCORE_TEMP_FILE.c_str());
    return written;
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
