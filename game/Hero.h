#pragma once

#include "engine/EventKeyboard.h"
#include "engine/Object.h"
#include "engine/Vector.h"

class HealthUI;

// The player's boxer: dodges on Q and W, punches on O and P, goes down at zero
// health and gets up by mashing alternating keys.
class Hero : public mw::Object {
public:
    Hero();
    ~Hero() override;

    int eventHandler(const mw::Event& event) override;

    int startMove(const mw::EventKeyboard& event);
    void punchOpponent();
    void takeHit();
    void step();
    void loseByTko();

    // Where the hero stands: (42, 19) on the 80 x 24 screen.
    static mw::Vector home();
    // Steps the current move has lasted; one count for the whole program.
    static int getMoveCounter();
    static void setMoveCounter(int count);

    int getMove() const { return m_move; }
    int getMoveFrames() const { return m_moveFrames; }
    HealthUI* getHealthUI() const { return m_healthUI; }
    // Health is held by the health bar.
    int getHealth() const;
    void setHealth(int health);

    bool isDown() const { return m_down; }
    void setDown(bool down) { m_down = down; }
    bool isFrozen() const { return m_frozen; }
    void setFrozen(bool frozen) { m_frozen = frozen; }
    int getDownTime() const { return m_downTime; }
    void setDownTime(int downTime) { m_downTime = downTime; }
    int getRoundKnockdowns() const { return m_roundKnockdowns; }
    void setRoundKnockdowns(int knockdowns) { m_roundKnockdowns = knockdowns; }
    int getMatchKnockdowns() const { return m_matchKnockdowns; }
    int getRecovery() const { return m_recovery; }
    int getPressesNeeded() const { return m_pressesNeeded; }
    int getMashCount() const { return m_mashCount; }
    void setMashCount(int count) { m_mashCount = count; }
    int getLastMashKey() const { return m_lastMashKey; }
    void setLastMashKey(int key) { m_lastMashKey = key; }

private:
    void mashPress(mw::Key key);
    void goHome();

    int m_move;
    int m_moveFrames = 9;
    HealthUI* m_healthUI = nullptr;
    bool m_down = false;
    bool m_frozen = false;
    int m_downTime = 0;
    int m_roundKnockdowns = 0;
    int m_matchKnockdowns = 0;
    int m_recovery = 10;
    int m_pressesNeeded = 0;
    int m_mashCount = 0;
    int m_lastMashKey = -1;
};
