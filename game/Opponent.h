#pragma once

#include "engine/Object.h"
#include "engine/Vector.h"

class HealthUI;
class Hero;

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
    Opponent();
    ~Opponent() override;

    // Where opponents stand: (42, 16) on the 80 x 24 screen.
    static mw::Vector home();

    int getMatchKnockdowns() const { return m_matchKnockdowns; }
    int getRoundKnockdowns() const { return m_roundKnockdowns; }
    void setRoundKnockdowns(int knockdowns) { m_roundKnockdowns = knockdowns; }
    bool isDown() const { return m_down; }
    void setDown(bool down) { m_down = down; }
    int getDownTime() const { return m_downTime; }
    void setDownTime(int downTime) { m_downTime = downTime; }
    bool isFrozen() const { return m_frozen; }
    void setFrozen(bool frozen) { m_frozen = frozen; }
    int getMove() const { return m_move; }
    void setMove(int move) { m_move = move; }

    // The fighting state, for readers such as tests and a scripted player.
    virtual int getState() const { return NEUTRAL; }
    virtual HealthUI* getHealthUI() const { return nullptr; }

protected:
    int m_matchKnockdowns = 0;
    int m_roundKnockdowns = 0;
    bool m_down = false;
    int m_downTime = 0;
    bool m_frozen = false;
    int m_move;
};

// The world's first object of type "Hero" when it is a Hero; nullptr otherwise
// (something else may carry the type).
Hero* worldHero();
// True when worldHero() is knocked down.
bool isHeroDown();
