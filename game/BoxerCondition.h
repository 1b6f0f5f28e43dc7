#pragma once

// Where a boxer stands with the knockdown rules: the knockdowns of the round
// and of the match, the count while he is down and the presses that get him
// up. The rules are the same for every boxer; the numbers are his own.
class BoxerCondition {
public:
    // A number of 0 switches its rule off.
    struct Rules {
        // The round's knockdown after which the boxer loses by TKO at his next step.
        int tkoKnockdown;
        // Whether a hit to zero health while up, after the TKO knockdown of the
        // round, loses at once rather than counting one more knockdown.
        bool lateKnockdownLoses;
        // Steps of the count; at its end he gets up, or has lost by TKO.
        int stepsDown;
        bool upAtCountEnd;
        // Presses that get him up before the count ends: the base plus a step
        // per earlier knockdown of the round.
        int basePresses;
        int pressesPerKnockdown;
        // The match's knockdown that ends the fight by knockout when the count ends.
        int finalKnockdown;
    };

    // What a step while down comes to.
    enum Outcome {
        STAYS_DOWN,
        GETS_UP,
        LOSES_BY_TKO,
        LOSES_BY_KO,
    };

    explicit BoxerCondition(const Rules& rules) : m_rules(rules) {}

    // A hit has taken him to zero health: counts the knockdown and starts the
    // count. False, counting nothing, when the hit loses the match instead.
    bool knockDown();
    // Counts the step while down and tells what follows; getting up is left
    // to getUp().
    Outcome stepDown();
    // A press of a get-up key; the same key twice in a row counts once.
    // True when it counted.
    bool countMashPress(int key);
    void getUp();
    // Lost: he stays down whatever the count says.
    void stayDown() { m_down = true; }
    // Up and fresh for a new round, with the match's knockdowns kept.
    void startRound();

    bool isDown() const { return m_down; }
    int getDownTime() const { return m_downTime; }
    int getRoundKnockdowns() const { return m_roundKnockdowns; }
    int getMatchKnockdowns() const { return m_matchKnockdowns; }
    int getPressesNeeded() const { return m_pressesNeeded; }
    int getMashCount() const { return m_mashCount; }
    // The key of the last mash press counted; -1 for none.
    int getLastMashKey() const { return m_lastMashKey; }

private:
    void clearCount();

    Rules m_rules;
    bool m_down = false;
    int m_downTime = 0;
    int m_roundKnockdowns = 0;
    int m_matchKnockdowns = 0;
    int m_pressesNeeded = 0;
    int m_mashCount = 0;
    int m_lastMashKey = -1;
};
