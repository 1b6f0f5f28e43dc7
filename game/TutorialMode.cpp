#include "game/TutorialMode.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/ObjectList.h"
#include "engine/WorldManager.h"
#include "game/BoxingRules.h"
#include "game/EventGameOver.h"
#include "game/GameOverResult.h"
#include "game/HealthUI.h"
#include "game/Hero.h"
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
    // Drawn under the prompt: how to read the opponent. A punch lesson has
    // none of its own: its line follows whether he is open at the moment.
    const char* hint;
};

// One entry per step; the last has no move to teach and only waits for ENTER.
constexpr std::array<Lesson, TutorialMode::DONE + 1> LESSONS = {{
    {"Press Q to DODGE LEFT", mw::KEY_Q, "opponent-charge-left",
     "Glove cocked on the right: when it flashes, lean away left"},
    {"Press W to DODGE RIGHT", mw::KEY_W, "opponent-charge-right",
     "Glove cocked on the left: when it flashes, lean away right"},
    {"Press O to PUNCH LEFT", mw::KEY_O, "opponent-tell", nullptr},
    {"Press P to PUNCH RIGHT", mw::KEY_P, "opponent-tell", nullptr},
    {"Great! Press ENTER to exit", mw::KEY_ENTER, "opponent-idle", ""},
}};

constexpr const char* EXIT_PROMPT = "Press ENTER to exit";
constexpr const char* OPEN_HINT = "He is open: hit him now!";
constexpr const char* WAIT_HINT = "Punch in his tell (beep), his stun, or on the side of his swing";

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
    // One punch from going down, until the last lesson is done.
    setLowestHealth(BoxingRules::PUNCH_DAMAGE);
    showStep();
}

std::string TutorialMode::getPrompt() const {
    // No praise after the practice is lost.
    if (m_over)
        return EXIT_PROMPT;
    // While he is down, the knockdown prompt alone says what to do.
    if (isHeroDown())
        return "";
    return isLesson(m_step) ? LESSONS[m_step].prompt : "";
}

std::string TutorialMode::getHint() const {
    // While he is down, the knockdown prompt says what to do.
    if (m_over || !isLesson(m_step) || isHeroDown())
        return "";
    if (LESSONS[m_step].hint != nullptr)
        return LESSONS[m_step].hint;
    const int state = m_opponent != nullptr ? m_opponent->getState() : NEUTRAL;
    return state == TELL || state == STUNNED ? OPEN_HINT : WAIT_HINT;
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
    if (event.getResultCode() == LOST_BY_TKO)
        new TextDisplay(whyLost(), RoundSystem::lineUnderResult(1));
}

std::string TutorialMode::whyLost() {
    const Hero* hero = worldHero();
    if (hero != nullptr && hero->getRoundKnockdowns() >= Hero::KNOCKDOWNS_BEFORE_TKO)
        return "Down four times: lean away when his glove flashes";
    return "The count ran out: alternate the keys to get up in time";
}

void TutorialMode::handleKey(const mw::EventKeyboard& event) {
    // Holding a key must not count again every frame.
    if (event.getKeyboardAction() != mw::KEY_PRESSED)
        return;
    if (m_step == DONE || m_over) {
        if (event.getKey() == mw::KEY_ENTER) {
            TitleScreen::show();
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
    if (m_step == DONE)
        setLowestHealth(0);
    showStep();
}

void TutorialMode::placeOpponent(const std::string& sprite) {
    if (m_opponent == nullptr)
        return;
    m_opponent->setPosition(Opponent::home());
    m_opponent->setSprite(sprite);
}

void TutorialMode::setLowestHealth(int health) {
    // Every hero listed: when a scene is replaced twice in one frame, the
    // older one is still there until the end of the frame.
    const mw::ObjectList heroes = mw::WorldManager::getInstance().objectsOfType(HERO_TYPE);
    for (int i = 0; i < heroes.getCount(); ++i)
        if (const auto* hero = dynamic_cast<const Hero*>(heroes[i]); hero && hero->getHealthUI())
            hero->getHealthUI()->setLowestHealth(health);
    if (m_opponent != nullptr && m_opponent->getHealthUI() != nullptr)
        m_opponent->getHealthUI()->setLowestHealth(health);
}

void TutorialMode::showStep() {
    if (isLesson(m_step))
        placeOpponent(LESSONS[m_step].pose);
}

void TutorialMode::stunOpponent() {
    if (m_opponent != nullptr)
        m_opponent->backToWaiting();
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
