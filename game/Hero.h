#pragma once

#include "engine/EventKeyboard.h"
#include "engine/Object.h"
#include "engine/Vector.h"
#include "game/BoxerCondition.h"

#include <string>

class HealthUI;

inline const std::string HERO_TYPE = "Hero";

// The player's boxer: dodges on Q and W, punches on O and P, goes down at zero
// health and gets up by mashing alternating keys.
class Hero : public mw::Object {
public:
    // Steps a knocked-down hero may stay down before he loses by TKO.
    static constexpr int STEPS_DOWN_BEFORE_TKO = 300;
    // The knockdown of a round that loses by TKO.
    static constexpr int KNOCKDOWNS_BEFORE_TKO = 4;

    Hero();
    ~Hero() override;

    int eventHandler(const mw::Event& event) override;

    int startMove(const mw::EventKeyboard& event);
    void punchOpponent();
    void takeHit();
    void step();
    void loseByTko();
    // Stands up fresh at home for a new round: not down, not frozen, no
    // knockdowns this round, and the between-rounds recovery added to health.
    void startRound();

    // Where the hero stands: (42, 19) on the 80 x 24 screen.
    static mw::Vector home();

    int getMove() const { return m_move; }
    int getMoveFrames() const { return m_moveFrames; }
    HealthUI* getHealthUI() const { return m_healthUI; }
    // Health is held by the health bar.
    int getHealth() const;

    bool isDown() const { return m_condition.isDown(); }
    bool isFrozen() const { return m_frozen; }
    // The round system freezes both boxers while no round is being fought.
    void setFrozen(bool frozen) { m_frozen = frozen; }
    int getDownTime() const { return m_condition.getDownTime(); }
    int getRoundKnockdowns() const { return m_condition.getRoundKnockdowns(); }
    int getMatchKnockdowns() const { return m_condition.getMatchKnockdowns(); }
    int getRecovery() const { return m_recovery; }
    int getPressesNeeded() const { return m_condition.getPressesNeeded(); }
    int getMashCount() const { return m_condition.getMashCount(); }
    int getLastMashKey() const { return m_condition.getLastMashKey(); }

private:
    void setHealth(int health);
    void mashPress(mw::Key key);
    void goHome();
    void getUp();

    int m_move;
    int m_moveFrames = 9;
    HealthUI* m_healthUI = nullptr;
    BoxerCondition m_condition;
    bool m_frozen = false;
    int m_recovery = 10;
};

// The world's first object of type "Hero" when it is a Hero; nullptr otherwise
// (something else may carry the type).
Hero* worldHero();
// True when worldHero() is knocked down.
bool isHeroDown();
