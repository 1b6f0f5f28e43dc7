#include "game/Hero.h"

#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/BoxerMove.h"
#include "game/BoxingRules.h"
#include "game/EventBoxerCollision.h"
#include "game/EventGameOver.h"
#include "game/GameOverResult.h"
#include "game/HealthUI.h"
#include "game/Opponent.h"
#include "game/SharedCounts.h"

namespace {

// Presses needed to get up: the base plus a step per earlier knockdown of the round.
constexpr int BASE_PRESSES = 50;
constexpr int PRESSES_PER_KNOCKDOWN = 20;

// Up by mashing keys, or out by TKO when the count runs out or at the round's
// fourth knockdown.
constexpr BoxerCondition::Rules KNOCKDOWN_RULES = {
    .tkoKnockdown = Hero::KNOCKDOWNS_BEFORE_TKO,
    .lateKnockdownLoses = true,
    .stepsDown = Hero::STEPS_DOWN_BEFORE_TKO,
    .upAtCountEnd = false,
    .basePresses = BASE_PRESSES,
    .pressesPerKnockdown = PRESSES_PER_KNOCKDOWN,
    .finalKnockdown = 0,
};

bool isMashKey(mw::Key key) {
    return key == mw::KEY_Q || key == mw::KEY_W || key == mw::KEY_O || key == mw::KEY_P;
}

} // namespace

Hero::Hero() : m_move(IDLE), m_condition(KNOCKDOWN_RULES) {
    setSprite("hero-idle");
    setSolidness(mw::INTANGIBLE);
    setType(HERO_TYPE);
    setAltitude(4);
    setPosition(home());
    m_healthUI = new HealthUI(mw::Vector(5, 2));
    m_healthUI->setOwner("YOU", mw::COLOR_CYAN);
}

// The health bar belongs to the world and goes when the world is cleared.
Hero::~Hero() = default;

mw::Vector Hero::home() {
    return BoxingRules::home(5);
}

int Hero::getHealth() const {
    return m_healthUI != nullptr ? m_healthUI->getHealth() : 0;
}

void Hero::setHealth(int health) {
    if (m_healthUI != nullptr)
        m_healthUI->setHealth(health);
}

int Hero::eventHandler(const mw::Event& event) {
    const std::string type = event.getType();
    if (type == mw::STEP_EVENT) {
        step();
        return 1;
    }
    if (type == mw::KEYBOARD_EVENT) {
        const auto& key = static_cast<const mw::EventKeyboard&>(event);
        if (isDown() && !m_frozen && key.getKeyboardAction() == mw::KEY_HELD) {
            mashPress(key.getKey());
            return 1;
        }
        return startMove(key);
    }
    if (type == BOXER_COLLISION_EVENT) {
        const int swing = static_cast<const EventBoxerCollision&>(event).getMove();
        if ((swing == SWING_RIGHT && m_move == DODGE_RIGHT) ||
            (swing == SWING_LEFT && m_move == DODGE_LEFT)) {
            mw::ResourceManager::getInstance().playSound("successful-dodge");
            return 1;
        }
        if (swing == SWING_RIGHT || swing == SWING_LEFT) {
            takeHit();
            return 1;
        }
        return 0;
    }
    return 0;
}

int Hero::startMove(const mw::EventKeyboard& event) {
    if (event.getKeyboardAction() != mw::KEY_PRESSED || m_move != IDLE)
        return 0;

    struct MoveKey {
        mw::Key key;
        int move;
        const char* sprite;
        const char* sound;
    };
    static constexpr MoveKey MOVE_KEYS[] = {
        {mw::KEY_W, DODGE_RIGHT, "hero-d-right", "hero-dodge"},
        {mw::KEY_Q, DODGE_LEFT, "hero-d-left", "hero-dodge"},
        {mw::KEY_P, SWING_RIGHT, "hero-s-right", "hero-swing"},
        {mw::KEY_O, SWING_LEFT, "hero-s-left", "hero-swing"},
    };
    for (const MoveKey& entry : MOVE_KEYS) {
        if (entry.key != event.getKey())
            continue;
        setSprite(entry.sprite);
        m_move = entry.move;
        mw::ResourceManager::getInstance().playSound(entry.sound);
        if (m_move == SWING_RIGHT || m_move == SWING_LEFT)
            punchOpponent();
        return 1;
    }
    return 0;
}

void Hero::punchOpponent() {
    const mw::ObjectList opponents = mw::WorldManager::getInstance().objectsOfType(OPPONENT_TYPE);
    if (opponents.isEmpty())
        return;
    opponents[0]->eventHandler(EventBoxerCollision(m_move));
}

void Hero::mashPress(mw::Key key) {
    // Holding a key sends it every frame; only a change of key is a new press.
    if (!isMashKey(key) || !m_condition.countMashPress(key))
        return;
    mw::LogManager::getInstance().writeLog("Mash %d/%d (key=%d)", getMashCount(),
                                           getPressesNeeded(), static_cast<int>(key));
}

void Hero::goHome() {
    setPosition(home());
}

void Hero::step() {
    if (m_frozen) {
        // Setting the same sprite again holds its animation at the first frame.
        setSprite(getSpriteLabel());
        goHome();
        return;
    }

    if (isDown()) {
        const BoxerCondition::Outcome outcome = m_condition.stepDown();
        if (outcome == BoxerCondition::GETS_UP)
            getUp();
        else if (outcome == BoxerCondition::LOSES_BY_TKO)
            loseByTko();

        if (isDown()) {
            // A move key pressed while down shows its sprite for one frame only.
            if (getSpriteLabel() != "hero-down") {
                setSprite("hero-down");
                goHome();
            }
        }
        return;
    }

    if (m_move == IDLE)
        return;
    int& moveSteps = sharedCounts().heroMoveSteps;
    if (moveSteps < m_moveFrames) {
        ++moveSteps;
        return;
    }
    setSprite("hero-idle");
    m_move = IDLE;
    moveSteps = 0;
}

void Hero::getUp() {
    if (m_healthUI != nullptr)
        setHealth(BoxingRules::healthOnGettingUp(m_healthUI->getMaxHealth(), getRoundKnockdowns()));
    m_condition.getUp();
    m_move = IDLE;
    setSprite("hero-idle");
    goHome();
    mw::LogManager::getInstance().writeLog("Hero: RECOVERED (HP=%d)", getHealth());
}

void Hero::startRound() {
    m_frozen = false;
    m_condition.startRound();
    // The bar keeps the health within 0 .. maxHealth.
    if (m_recovery >= 0)
        setHealth(getHealth() + m_recovery);
    setSprite("hero-idle");
    goHome();
}

void Hero::takeHit() {
    mw::ResourceManager::getInstance().playSound("hero-hit");
    setHealth(getHealth() - BoxingRules::PUNCH_DAMAGE);
    if (isDown() || m_frozen || getHealth() > 0)
        return;

    if (!m_condition.knockDown()) {
        loseByTko();
        return;
    }
    // The shared move count stays where the cut-short move left it.
    m_move = IDLE;
    setSprite("hero-down");
    goHome();
    mw::LogManager::getInstance().writeLog("Hero: knockdown #%d, need %d presses",
                                           getRoundKnockdowns(), getPressesNeeded());
}

void Hero::loseByTko() {
    // The round system freezes the hero when it takes the result, so the loss
    // is announced once.
    if (m_frozen)
        return;
    m_condition.stayDown();
    setSprite("hero-down");
    goHome();
    mw::LogManager::getInstance().writeLog("HERO LOSES BY TKO");
    mw::ResourceManager::getInstance().playSound("tko");
    mw::GameManager::getInstance().onEvent(EventGameOver(LOST_BY_TKO));
}

Hero* worldHero() {
    const mw::ObjectList heroes = mw::WorldManager::getInstance().objectsOfType(HERO_TYPE);
    return heroes.isEmpty() ? nullptr : dynamic_cast<Hero*>(heroes[0]);
}

bool isHeroDown() {
    const Hero* hero = worldHero();
    return hero != nullptr && hero->isDown();
}
