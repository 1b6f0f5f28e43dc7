#include "game/TutorialMode.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/ObjectList.h"
#include "engine/WorldManager.h"
#include "game/EventGameOver.h"
#include "game/Hero.h"
#include "game/MatchLoader.h"
#include "game/Opponent.h"
#include "game/Opponent1.h"
#include "game/RoundSystem.h"
#include "game/TextDisplay.h"
#include "game/TitleScreen.h"

#include <array>

namespace {

struct Lesson {
    const char* prompt;
    mw::Key key;
    const char* pose;
    // Drawn under the prompt: how to read the opponent's pose.
    const char* hint;
};

// One entry per step; the last has no move to teach and only waits for ENTER.
constexpr std::array<Lesson, TutorialMode::DONE + 1> LESSONS = {{
    {"Press Q to DODGE LEFT", mw::KEY_Q, "opponent-charge-left",
     "Glove cocked on the right: lean away, left"},
    {"Press W to DODGE RIGHT", mw::KEY_W, "opponent-charge-right",
     "Glove cocked on the left: lean away, right"},
    {"Press O to PUNCH LEFT", mw::KEY_O, "opponent-tell", "He is open: hit him"},
    {"Press P to PUNCH RIGHT", mw::KEY_P, "opponent-tell", "He is open: hit him"},
    {"Great! Press ENTER to exit", mw::KEY_ENTER, "opponent-idle", ""},
}};

constexpr const char* EXIT_PROMPT = "Press ENTER to exit";

bool isLesson(int step) {
    return step >= 0 && step <= TutorialMode::DONE;
}

} // namespace

TutorialMode::TutorialMode() {
    setType("TutorialMode");
    setSolidness(mw::INTANGIBLE);
    removeTextDisplays();
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    new TextDisplay("Tutorial", mw::Vector(static_cast<float>(display.getHorizontal() / 2), 2));
    // The newest opponent: when a scene is replaced twice in one frame, older
    // ones are still listed but will be deleted at the end of the frame.
    const mw::ObjectList opponents = mw::WorldManager::getInstance().objectsOfType(OPPONENT_TYPE);
    if (opponents.getCount() > 0)
        m_opponent = dynamic_cast<Opponent*>(opponents[opponents.getCount() - 1]);
    if (m_opponent == nullptr)
        m_opponent = new Opponent1;
    showStep();
}

std::string TutorialMode::getPrompt() const {
    if (m_over)
        return EXIT_PROMPT;
    return isLesson(m_step) ? LESSONS[m_step].prompt : "";
}

std::string TutorialMode::getHint() const {
    if (m_over)
        return "";
    return isLesson(m_step) ? LESSONS[m_step].hint : "";
}

int TutorialMode::eventHandler(const mw::Event& event) {
    const std::string type = event.getType();
    if (type == mw::STEP_EVENT) {
        if (!m_over)
            waitToAdvance();
        return 1;
    }
    if (type == mw::KEYBOARD_EVENT) {
        handleKey(static_cast<const mw::EventKeyboard&>(event));
        return 1;
    }
    if (type == GAME_OVER_EVENT) {
        endPractice(static_cast<const EventGameOver&>(event));
        return 1;
    }
    return 0;
}

void TutorialMode::endPractice(const EventGameOver& event) {
    if (m_over)
        return;
    m_over = true;
    // Frozen boxers announce their result once, as in a fight.
    if (Hero* hero = worldHero())
        hero->setFrozen(true);
    if (m_opponent != nullptr)
        m_opponent->setFrozen(true);
    const std::string text = RoundSystem::resultText(event.getResultCode());
    if (!text.empty())
        new TextDisplay(text, RoundSystem::messagePosition());
}

void TutorialMode::handleKey(const mw::EventKeyboard& event) {
    // Holding a key must not count again every frame.
    if (event.getKeyboardAction() != mw::KEY_PRESSED)
        return;
    if (m_step == DONE || m_over) {
        if (event.getKey() == mw::KEY_ENTER) {
            MatchLoader::getInstance().clearWorld();
            new TitleScreen;
        }
        return;
    }
    if (isLesson(m_step) && event.getKey() == LESSONS[m_step].key)
        stunOpponent();
}

void TutorialMode::waitToAdvance() {
    if (m_advanceTime <= 0)
        return;
    m_advanceTime -= mw::GameManager::getInstance().getFrameTime();
    if (m_advanceTime > 0)
        return;
    placeOpponent("opponent-idle");
    if (m_step >= 0 && m_step < DONE)
        ++m_step;
    showStep();
}

void TutorialMode::placeOpponent(const std::string& sprite) {
    if (m_opponent == nullptr)
        return;
    m_opponent->setPosition(Opponent::home());
    m_opponent->setSprite(sprite);
}

void TutorialMode::showStep() {
    if (isLesson(m_step))
        placeOpponent(LESSONS[m_step].pose);
}

void TutorialMode::stunOpponent() {
    placeOpponent("opponent-stunned");
    m_advanceTime = ADVANCE_MILLISECONDS;
}

int TutorialMode::draw() {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    const mw::Vector where = TextDisplay::promptPosition();
    display.drawString(where, getPrompt(), mw::JUSTIFY_CENTER, mw::COLOR_YELLOW);
    const std::string hint = getHint();
    if (!hint.empty())
        display.drawString(mw::Vector(where.getX(), where.getY() + 1), hint, mw::JUSTIFY_CENTER,
                           mw::COLOR_WHITE);
    return 0;
}
