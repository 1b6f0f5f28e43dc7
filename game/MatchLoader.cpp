#include "game/MatchLoader.h"

#include "engine/ObjectList.h"
#include "engine/WorldManager.h"
#include "game/BestTimes.h"
#include "game/Hero.h"
#include "game/KnockdownPrompt.h"
#include "game/Opponent1.h"
#include "game/Opponent2.h"
#include "game/Opponent3.h"
#include "game/Ring.h"
#include "game/RoundSystem.h"
#include "game/Timer.h"
#include "game/TutorialMode.h"

MatchLoader::MatchLoader() {
    setType("MatchLoader");
}

MatchLoader::~MatchLoader() {
    setStarted(false);
}

MatchLoader& MatchLoader::getInstance() {
    static MatchLoader instance;
    return instance;
}

int MatchLoader::startUp() {
    BestTimes::getInstance().load();
    setStarted(true);
    return 0;
}

void MatchLoader::shutDown() {
    BestTimes::getInstance().finish();
    setStarted(false);
}

int MatchLoader::updateFile(const Timer* timer, const RoundSystem* roundSystem) {
    if (timer == nullptr || roundSystem == nullptr)
        return -1;
    return BestTimes::getInstance().recordWin(
        m_currentOpponent,
        RoundSystem::winningSeconds(roundSystem->getRound(), timer->getTimeLeft()));
}

std::string MatchLoader::getHighScore(int opponent) const {
    return BestTimes::getInstance().getHighScore(opponent);
}

std::string MatchLoader::fasterTime(const std::string& a, const std::string& b) {
    return BestTimes::fasterTime(a, b);
}

void MatchLoader::startMatch(int opponent) {
    clearWorld();
    m_currentOpponent = opponent;
    if (opponent < 1 || opponent > BestTimes::OPPONENT_COUNT)
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
    new RoundSystem(hero, rival, opponent);
    new KnockdownPrompt;
}

void MatchLoader::startTutorial() {
    clearWorld();
    new Ring;
    new Hero;
    // Created before the tutorial, which finds it and drives its poses.
    new Opponent1;
    new TutorialMode;
    new KnockdownPrompt;
}

void MatchLoader::clearWorld() {
    mw::WorldManager::getInstance().clearWorld();
}
