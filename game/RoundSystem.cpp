#include "game/RoundSystem.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/WorldManager.h"
#include "game/BestTimes.h"
#include "game/BoxerMove.h"
#include "game/EventGameOver.h"
#include "game/GameOverResult.h"
#include "game/Hero.h"
#include "game/Opponent.h"
#include "game/RoundUI.h"
#include "game/SharedCounts.h"
#include "game/TextDisplay.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

#include <algorithm>

namespace {

// The announcement of a best time; one not in the file yet says so.
std::string newBestText(const std::string& time, bool saved) {
    return "New best: " + time + (saved ? "" : " (not saved yet)");
}

} // namespace

RoundSystem::RoundSystem(Hero* hero, Opponent* opponent, int opponentNumber)
    : m_hero(hero), m_opponent(opponent), m_opponentNumber(opponentNumber) {
    setSolidness(mw::INTANGIBLE);
    m_roundUI = new RoundUI(m_round);
    m_timer = new Timer;
}

mw::Vector RoundSystem::messagePosition() {
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    return mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 3),
                      static_cast<float>(display.getVertical() - 14));
}

std::string RoundSystem::resultText(int resultCode) {
    switch (resultCode) {
    case WON_BY_TKO:
        return "You won by TKO!";
    case WON_BY_KO:
        return "You won by KO!";
    case WON_BY_DECISION:
        return "You won by decision!";
    case LOST_BY_TKO:
        return "You lost by TKO.";
    case LOST_BY_KO:
        return "You lost by KO.";
    case LOST_BY_DECISION:
        return "You lost by decision.";
    case DRAW:
        return "The judges have ruled the game a tie.";
    default:
        return "";
    }
}

int RoundSystem::eventHandler(const mw::Event& event) {
    const std::string type = event.getType();
    if (type == mw::STEP_EVENT) {
        step();
        return 1;
    }
    if (type == mw::KEYBOARD_EVENT) {
        handleKey(static_cast<const mw::EventKeyboard&>(event));
        return 1;
    }
    if (type == GAME_OVER_EVENT) {
        handleGameOver(static_cast<const EventGameOver&>(event));
        return 1;
    }
    return 0;
}

void RoundSystem::step() {
    saveTimes();
    if (m_roundActive) {
        // Only exactly 0 ends a round: the clock keeps running below it.
        if (m_timer->getTimeLeft() == 0)
            endRound();
        return;
    }
    int& pauseSteps = sharedCounts().pauseSteps;
    if (++pauseSteps < PAUSE_STEPS)
        return;
    m_awaitingKey = true;
    removeTextDisplays();
    pauseSteps = 0;
    new TextDisplay("Press any key to continue.", TextDisplay::promptPosition());
}

void RoundSystem::endRound() {
    freezeBoxers();
    m_roundActive = false;
    new TextDisplay("End of round.", messagePosition());
}

void RoundSystem::freezeBoxers() {
    if (m_hero != nullptr)
        m_hero->setFrozen(true);
    if (m_opponent != nullptr)
        m_opponent->setFrozen(true);
}

void RoundSystem::handleKey(const mw::EventKeyboard& event) {
    if (!m_awaitingKey || event.getKeyboardAction() != mw::KEY_PRESSED)
        return;
    if (m_matchOver) {
        // The fight goes, this object included.
        TitleScreen::show();
        return;
    }
    removeTextDisplays();
    ++m_round;
    if (m_round > ROUNDS)
        judgeDecision();
    else
        startNextRound();
    m_awaitingKey = false;
}

void RoundSystem::startNextRound() {
    m_roundActive = true;
    if (m_hero != nullptr)
        m_hero->startRound();
    if (m_opponent != nullptr)
        m_opponent->startRound();
    m_timer->setTimeLeft(Timer::ROUND_SECONDS);
    m_timer->updateText();
    m_roundUI->setRound(std::max(m_round, 1));
    m_roundUI->updateText();
}

void RoundSystem::judgeDecision() {
    const int heroKnockdowns = m_hero != nullptr ? m_hero->getMatchKnockdowns() : 0;
    const int opponentKnockdowns = m_opponent != nullptr ? m_opponent->getMatchKnockdowns() : 0;
    int result = DRAW;
    if (heroKnockdowns < opponentKnockdowns)
        result = WON_BY_DECISION;
    else if (heroKnockdowns > opponentKnockdowns)
        result = LOST_BY_DECISION;
    // Shown under the result, which this object makes when it hears its own
    // broadcast: the judges count knockdowns only, and the bars may say otherwise.
    m_judgesScore = "Times down: you " + std::to_string(heroKnockdowns) + ", him " +
                    std::to_string(opponentKnockdowns);
    mw::GameManager::getInstance().onEvent(EventGameOver(result));
}

void RoundSystem::handleGameOver(const EventGameOver& event) {
    m_matchOver = true;
    freezeBoxers();
    m_roundActive = false;
    const int code = event.getResultCode();
    const std::string text = resultText(code);
    if (!text.empty())
        new TextDisplay(text, messagePosition());
    if (!m_judgesScore.empty())
        new TextDisplay(m_judgesScore, lineUnderResult(1));
    if (code == WON_BY_TKO || code == WON_BY_KO || code == WON_BY_DECISION)
        recordWin();
}

int RoundSystem::winningSeconds(int round, int timeLeft) {
    const int elapsed =
        round > ROUNDS ? ROUNDS * Timer::ROUND_SECONDS : round * Timer::ROUND_SECONDS - timeLeft;
    // A fight never lasts longer than three rounds.
    return std::clamp(elapsed, 0, ROUNDS * Timer::ROUND_SECONDS);
}

void RoundSystem::recordWin() {
    BestTimes& bestTimes = BestTimes::getInstance();
    const std::string kept = bestTimes.getHighScore(m_opponentNumber);
    const int seconds = winningSeconds(m_round, m_timer->getTimeLeft());
    const std::string won = BestTimes::shownTime(BestTimes::storedTime(seconds));
    const bool saved = bestTimes.recordWin(m_opponentNumber, seconds) == 0;
    // A faster time that another copy of the game saved is no new best of this win.
    const std::string best = bestTimes.getHighScore(m_opponentNumber);
    if (best == kept || best != won)
        return;
    if (!saved)
        m_unsavedBest = best;
    // Under the result and the judges' score, if any.
    new TextDisplay(newBestText(best, saved), lineUnderResult(m_judgesScore.empty() ? 1 : 2));
}

void RoundSystem::saveTimes() {
    BestTimes& bestTimes = BestTimes::getInstance();
    if (!bestTimes.hasUnsavedTimes() || bestTimes.saveTimes() != 0 || m_unsavedBest.empty())
        return;
    // The announcement loses its "(not saved yet)", or goes if the file held
    // a faster time after all.
    const bool kept = bestTimes.getHighScore(m_opponentNumber) == m_unsavedBest;
    mw::WorldManager& world = mw::WorldManager::getInstance();
    const mw::ObjectList messages = world.objectsOfType(TEXT_DISPLAY_TYPE);
    for (int i = 0; i < messages.getCount(); ++i) {
        const auto* line = static_cast<const TextDisplay*>(messages[i]);
        if (line->getText() != newBestText(m_unsavedBest, false))
            continue;
        world.markForDelete(messages[i]);
        if (kept)
            new TextDisplay(newBestText(m_unsavedBest, true), line->getPosition());
    }
    m_unsavedBest.clear();
}

mw::Vector RoundSystem::lineUnderResult(int rows) {
    const mw::Vector result = messagePosition();
    return mw::Vector(result.getX(), result.getY() + static_cast<float>(rows));
}
