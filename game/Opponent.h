#pragma once

#include "engine/Object.h"
#include "engine/Vector.h"
#include "game/BoxerCondition.h"

#include <string>

class HealthUI;

inline const std::string OPPONENT_TYPE = "Opponent";

enum OpponentState {
    NEUTRAL = 0,
    DODGING = 2,
    ATTACKING = 3,
    TELL = 4,
    STUNNED = 5,
};

// What every opponent shares with the round system: the knockdown counts, the
// down and frozen flags and the current move. The fighting itself lives in
// the derived classes.
class Opponent : public mw::Object {
public:
    explicit Opponent(const BoxerCondition::Rules& knockdownRules);
    ~Opponent() override;

    // Where opponents stand: (42, 16) on the 80 x 24 screen.
    static mw::Vector home();

    // Back on its feet at home for a new round, with no knockdowns this
    // round; its health, sprite and match knockdowns carry over.
    void startRound();

    int getMatchKnockdowns() const { return m_condition.getMatchKnockdowns(); }
    int getRoundKnockdowns() const { return m_condition.getRoundKnockdowns(); }
    bool isDown() const { return m_condition.isDown(); }
    int getDownTime() const { return m_condition.getDownTime(); }
    bool isFrozen() const { return m_frozen; }
    // The round system freezes both boxers while no round is being fought.
    void setFrozen(bool frozen) { m_frozen = frozen; }
    int getMove() const { return m_move; }

    // The fighting state, for readers such as tests and a scripted player.
    virtual int getState() const { return NEUTRAL; }
    virtual HealthUI* getHealthUI() const { return nullptr; }
    // Ends what it is doing (a wind-up, a swing, a dodge, a tell or a stun) and
    // starts its wait afresh; a knockdown goes on.
    virtual void backToWaiting() {}

protected:
    // Tests set up a state mid-fight through it (tests/support/TestAccess.h);
    // the game never does.
    friend class TestAccess;

    BoxerCondition m_condition;
    bool m_frozen = false;
    int m_move;
};
