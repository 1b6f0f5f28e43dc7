#include "game/FightingOpponent.h"

#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "game/BoxerMove.h"
#include "game/BoxingRules.h"
#include "game/EventBoxerCollision.h"
#include "game/EventGameOver.h"
#include "game/GameOverResult.h"
#include "game/HealthUI.h"
#include "game/Hero.h"
#include "game/OpponentCard.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Chance per step of (re)starting the tell while the hero is down.
constexpr int TELL_CHANCE_HERO_DOWN = 5;
// Wind-ups and dodges are drawn this many columns to one side of home.
constexpr float SIDE_STEP = 3.0f;

// The wind-up sprites' last frames, which flash the cocked glove.
constexpr int WIND_UP_CUE_FRAMES = 4;

// The game never seeds rand(), so every run draws the same sequence.
bool rollPercent(int chance) {
    return std::rand() % 100 + 1 <= chance;
}

bool rollRightSide() {
    return std::rand() % 10 + 1 < 6;
}

bool isCharge(int move) {
    return move == CHARGE_RIGHT || move == CHARGE_LEFT;
}

bool isSwing(int move) {
    return move == SWING_RIGHT || move == SWING_LEFT;
}

} // namespace

FightingOpponent::FightingOpponent(const Tuning& tuning, const Sprites& sprites, int& attackSteps,
                                   const OpponentCard& card,
                                   const BoxerCondition::Rules& knockdownRules)
    : Opponent(knockdownRules), m_tuning(tuning), m_sprites(sprites), m_attackSteps(attackSteps) {
    setType(OPPONENT_TYPE);
    setPosition(home());
    setSprite(m_sprites.idle);
    setSolidness(mw::INTANGIBLE);
    m_healthUI = new HealthUI(mw::Vector(50, 2));
    m_healthUI->setOwner(card.name, card.color);
}

// The health bar belongs to the world and goes when the world is cleared.
FightingOpponent::~FightingOpponent() = default;

int FightingOpponent::eventHandler(const mw::Event& event) {
    const std::string type = event.getType();
    if (type == BOXER_COLLISION_EVENT)
        return reactToPunch(static_cast<const EventBoxerCollision&>(event));
    if (type == mw::STEP_EVENT) {
        step();
        return 1;
    }
    return 0;
}

int FightingOpponent::getHealth() const {
    return m_healthUI != nullptr ? m_healthUI->getHealth() : 0;
}

void FightingOpponent::changeState(int state) {
    m_state = state;
    m_stateFrames = 0;
}

void FightingOpponent::backToWaiting() {
    if (isDown())
        return;
    m_move = IDLE;
    changeState(NEUTRAL);
}

void FightingOpponent::dodge(int punch) {
    m_move = punch == SWING_LEFT ? DODGE_LEFT : DODGE_RIGHT;
    changeState(DODGING);
    mw::ResourceManager::getInstance().playSound("opponent-dodge");
}

int FightingOpponent::reactToPunch(const EventBoxerCollision& punch) {
    if (isDown() || m_frozen || isHeroDown())
        return 1;

    const int punchMove = punch.getMove();
    switch (m_state) {
    case ATTACKING:
        if (isCharge(m_move))
            return 1;
        if (!isSwing(m_move))
            return 0;
        if (punchMove == m_move) {
            // The counter-punch lands; the swing's move stays until the next step.
            changeState(NEUTRAL);
            takeHit();
        } else {
            dodge(punchMove);
        }
        return 1;
    case NEUTRAL:
        dodge(punchMove);
        return 1;
    case TELL:
        changeState(STUNNED);
        takeHit();
        mw::ResourceManager::getInstance().playSound("opponent-stunned");
        return 1;
    case STUNNED:
        takeHit();
        return 1;
    default:
        return 0;
    }
}

void FightingOpponent::step() {
    // The count runs on while frozen, so a timed state ends or rolls at the
    // first step of the next round.
    ++m_stateFrames;
    if (m_frozen) {
        showWindUpCue();
        return;
    }

    if (isDown())
        stepWhileDown();
    if (isDown()) {
        if (getSpriteLabel() != m_sprites.down) {
            setSprite(m_sprites.down);
            setPosition(home());
        }
        return;
    }

    if (isHeroDown()) {
        // No swing at a fallen hero; now and then it shows its tell instead.
        m_move = IDLE;
        if (m_state != NEUTRAL && m_state != TELL)
            changeState(NEUTRAL);
        if (rollPercent(TELL_CHANCE_HERO_DOWN))
            changeState(TELL);
    } else {
        updateState();
        updateAttack();
    }
    updateSprite();
    showWindUpCue();
}

void FightingOpponent::stepWhileDown() {
    const BoxerCondition::Outcome outcome = m_condition.stepDown();
    if (outcome == BoxerCondition::GETS_UP)
        getUp();
    else if (outcome == BoxerCondition::LOSES_BY_TKO)
        loseByTko();
    else if (outcome == BoxerCondition::LOSES_BY_KO)
        loseByKo();
}

void FightingOpponent::getUp() {
    if (m_healthUI != nullptr)
        m_healthUI->setHealth(
            BoxingRules::healthOnGettingUp(m_healthUI->getMaxHealth(), getRoundKnockdowns()));
    m_condition.getUp();
    m_move = IDLE;
    changeState(NEUTRAL);
    setSprite(m_sprites.idle);
    mw::LogManager::getInstance().writeLog("Opponent: recovered from knockdown (HP=%d)",
                                           getHealth());
}

void FightingOpponent::updateState() {
    switch (m_state) {
    case NEUTRAL:
        m_move = IDLE;
        if (m_stateFrames < m_tuning.idleFrames)
            return;
        if (rollPercent(m_tuning.attackChance)) {
            changeState(ATTACKING);
        } else if (rollPercent(m_tuning.tellChance)) {
            changeState(TELL);
            mw::ResourceManager::getInstance().playSound("opponent-tell");
        }
        return;
    case TELL:
        if (m_stateFrames >= m_tuning.tellFrames)
            changeState(NEUTRAL);
        return;
    case ATTACKING:
        // The move and attack count are left as they are: the next wind-up
        // after a break starts from the count left over.
        if (m_stateFrames >= m_tuning.attackFrames)
            changeState(NEUTRAL);
        return;
    case DODGING:
        if (m_stateFrames >= m_tuning.dodgeFrames) {
            m_move = IDLE;
            changeState(ATTACKING);
        }
        return;
    case STUNNED:
        if (m_stateFrames >= m_tuning.stunFrames) {
            m_move = IDLE;
            changeState(NEUTRAL);
        }
        return;
    default:
        return;
    }
}

void FightingOpponent::updateAttack() {
    if (m_state != ATTACKING)
        return;

    if (m_move == IDLE) {
        m_move = rollRightSide() ? CHARGE_RIGHT : CHARGE_LEFT;
    } else if (isCharge(m_move)) {
        if (m_attackSteps == 0)
            mw::ResourceManager::getInstance().playSound("opponent-charge");
        if (m_attackSteps < m_tuning.chargeFrames) {
            ++m_attackSteps;
            return;
        }
        m_move = m_move == CHARGE_RIGHT ? SWING_RIGHT : SWING_LEFT;
        punchHero();
        m_attackSteps = 0;
        mw::ResourceManager::getInstance().playSound("opponent-swing");
    } else if (isSwing(m_move)) {
        // The recovery after a swing.
        if (m_attackSteps >= m_tuning.recoveryFrames) {
            m_move = IDLE;
            m_attackSteps = 0;
        } else {
            ++m_attackSteps;
        }
    }
}

void FightingOpponent::updateSprite() {
    const char* label = m_sprites.idle;
    float column = 0.0f;
    switch (m_move) {
    case CHARGE_LEFT:
        label = m_sprites.chargeLeft;
        column = -SIDE_STEP;
        break;
    case CHARGE_RIGHT:
        label = m_sprites.chargeRight;
        column = SIDE_STEP;
        break;
    case SWING_LEFT:
        label = m_sprites.swingLeft;
        break;
    case SWING_RIGHT:
        label = m_sprites.swingRight;
        break;
    case DODGE_LEFT:
        label = m_sprites.dodgeLeft;
        column = -SIDE_STEP;
        break;
    case DODGE_RIGHT:
        label = m_sprites.dodgeRight;
        column = SIDE_STEP;
        break;
    default:
        if (m_state == STUNNED)
            label = m_sprites.stunned;
        else if (m_state == TELL)
            label = m_sprites.tell;
        break;
    }
    // Choosing the shown sprite again must not restart its animation.
    if (getSpriteLabel() == label)
        return;
    setSprite(label);
    setPosition(home() + mw::Vector(column, 0.0f));
}

// The flash of the cocked glove falls on the wind-up's last draws before the
// swing, however much of the count was left over from an earlier wind-up.
// While the wind-up waits (a break between attacks, a freeze) the animation
// stays in the calm frames, and the glove never flashes without a swing.
void FightingOpponent::showWindUpCue() {
    const mw::Sprite* sprite = getAnimation().getSprite();
    if (!isCharge(m_move) || sprite == nullptr || sprite->getSlowdown() < 1)
        return;
    const int slowdown = sprite->getSlowdown();
    const int frames = sprite->getFrameCount();
    const int firstCueFrame = std::max(0, frames - WIND_UP_CUE_FRAMES);
    // Draws of the wind-up still to come, this frame's included; the swing follows the last.
    const int drawsLeft = m_tuning.chargeFrames - m_attackSteps + 1;
    const bool windingUp = m_state == ATTACKING && !m_frozen;
    if (windingUp && drawsLeft <= (frames - firstCueFrame) * slowdown)
        setAnimationIndex(frames - (drawsLeft + slowdown - 1) / slowdown);
    else if (getAnimation().getIndex() >= firstCueFrame)
        setAnimationIndex(0);
}

void FightingOpponent::takeHit() {
    mw::ResourceManager::getInstance().playSound("opponent-hit");
    if (m_healthUI != nullptr)
        m_healthUI->setHealth(m_healthUI->getHealth() - BoxingRules::PUNCH_DAMAGE);
    if (isDown() || m_frozen || getHealth() > 0)
        return;

    m_condition.knockDown();
    m_move = IDLE;
    changeState(NEUTRAL);
    logKnockdown();
    setSprite(m_sprites.down);
}

void FightingOpponent::logKnockdown() const {
    mw::LogManager::getInstance().writeLog("Opponent: knockdown #%d", getMatchKnockdowns());
}

void FightingOpponent::punchHero() {
    // A fallen hero is never sent a swing.
    Hero* hero = worldHero();
    if (hero != nullptr && !hero->isDown())
        hero->eventHandler(EventBoxerCollision(m_move));
}

void FightingOpponent::loseByTko() {
    concede("PLAYER WINS BY TKO", WON_BY_TKO);
}

void FightingOpponent::concede(const char* announcement, int resultCode) {
    // The round system freezes the opponent when it takes the result, so the
    // result is announced once.
    if (m_frozen)
        return;
    m_condition.stayDown();
    mw::LogManager::getInstance().writeLog("%s", announcement);
    m_move = IDLE;
    changeState(NEUTRAL);
    setSprite(m_sprites.down);
    mw::ResourceManager::getInstance().playSound("tko");
    mw::GameManager::getInstance().onEvent(EventGameOver(resultCode));
}
