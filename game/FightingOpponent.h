#pragma once

#include "game/Opponent.h"

class EventBoxerCollision;
struct OpponentCard;

// The fighting behaviour all three opponents share: it waits, then attacks
// with wind-ups and swings or shows a tell; it dodges punches while waiting,
// takes a punch on the side of its own swing, is stunned by a punch during the
// tell, goes down at zero health and gets up 150 steps later. The opponents
// differ only in their timing, their sprites, their attack counter and (the
// last one) the rule that ends the match.
class FightingOpponent : public Opponent {
public:
    // Durations in steps, chances in percent.
    struct Tuning {
        int chargeFrames;   // count the wind-up must reach before the swing
        int attackChance;   // chance to attack when a wait is over
        int tellChance;     // chance to show the tell when no attack was chosen
        int idleFrames;     // wait in NEUTRAL before the rolls start
        int dodgeFrames;    // length of DODGING
        int attackFrames;   // length of an ATTACKING spell
        int recoveryFrames; // count to reach after a swing before the next wind-up
        int tellFrames;     // length of TELL
        int stunFrames;     // length of STUNNED
    };

    struct Sprites {
        const char* idle;
        const char* chargeRight;
        const char* chargeLeft;
        const char* swingRight;
        const char* swingLeft;
        const char* dodgeRight;
        const char* dodgeLeft;
        const char* tell;
        const char* stunned;
        const char* down;
    };

    static constexpr int STEPS_DOWN = 150;
    // Up by itself when the count ends, out by TKO after the round's third knockdown.
    static constexpr BoxerCondition::Rules KNOCKDOWN_RULES = {
        .tkoKnockdown = 3,
        .lateKnockdownLoses = false,
        .stepsDown = STEPS_DOWN,
        .upAtCountEnd = true,
        .basePresses = 0,
        .pressesPerKnockdown = 0,
        .finalKnockdown = 0,
    };

    ~FightingOpponent() override;

    int eventHandler(const mw::Event& event) override;

    int getState() const override { return m_state; }
    HealthUI* getHealthUI() const override { return m_healthUI; }
    void backToWaiting() override;
    const Sprites& getSprites() const { return m_sprites; }

    int reactToPunch(const EventBoxerCollision& punch);
    void step();
    void takeHit();
    void punchHero();

protected:
    // attackSteps is the derived class's count in SharedCounts, shared by
    // every object of that class.
    // card names the opponent above his health bar.
    FightingOpponent(const Tuning& tuning, const Sprites& sprites, int& attackSteps,
                     const OpponentCard& card, const BoxerCondition::Rules& knockdownRules);

    // Ends the match by technical knockout, unless the round system has
    // already frozen the fight. Opponent3 has no technical knockout.
    void loseByTko();
    // Ends the match by knockout; only an opponent whose rules have a final
    // knockdown is ever out this way.
    virtual void loseByKo() {}

    // The log line of a knockdown just counted.
    virtual void logKnockdown() const;

    void getUp();
    // Lies down for good and broadcasts the result, unless the round system
    // has already frozen the fight.
    void concede(const char* announcement, int resultCode);
    int getHealth() const;

private:
    // Tests put the opponent straight into a state through it
    // (tests/support/TestAccess.h); the game never does.
    friend class TestAccess;

    int getStateFrames() const { return m_stateFrames; }

    void stepWhileDown();
    void updateState();
    void updateAttack();
    void updateSprite();
    void showWindUpCue();
    void dodge(int punch);
    void changeState(int state);

    HealthUI* m_healthUI = nullptr;
    int m_state = NEUTRAL;
    int m_stateFrames = 0;
    const Tuning m_tuning;
    const Sprites m_sprites;
    int& m_attackSteps;
};
