#include "support/FightSupport.h"
#include "support/TestAccess.h"

#include "game/BoxerMove.h"
#include "game/GameOverResult.h"

#include <cstdlib>

namespace {

using fighttest::FightTest;
using fighttest::Referee;

// A hero, an opponent and a referee, created in the order a fight creates them.
class OpponentFight : public FightTest {
protected:
    void newFight(FightingOpponent* (*make)()) {
        clearWorld();
        m_hero = new Hero;
        m_opponent = make();
        m_referee = new Referee;
    }

    // The hero lands a punch on a stunned opponent with 10 health left.
    void knockDown() {
        ASSERT_EQ(m_hero->getMove(), IDLE);
        m_opponent->getHealthUI()->setHealth(10);
        TestAccess::setState(*m_opponent, STUNNED);
        m_driver.tap(mw::KEY_P);
        m_driver.advance();
        ASSERT_TRUE(m_opponent->isDown());
    }

    Hero* m_hero = nullptr;
    FightingOpponent* m_opponent = nullptr;
    Referee* m_referee = nullptr;
};

struct Variant {
    const char* name;
    FightingOpponent* (*make)();
    int SharedCounts::*attackSteps;
    const char* spritePrefix;
    int sequenceSteps;
    // A tell punched, then every punch the hero's 10-step moves allow.
    int healthAfterOneStun;
    // The first two lose by TKO at a third knockdown in a round; the third
    // gets up and logs its totals instead.
    bool losesByTko;
    FightingOpponent::Tuning tuning;
};

const Variant VARIANTS[] = {
    {"Opponent1",
     []() -> FightingOpponent* { return new Opponent1; },
     &SharedCounts::opponent1AttackSteps,
     "opponent-",
     48,
     30,
     true,
     {30, 60, 40, 150, 6, 150, 15, 120, 65}},
    {"Opponent2",
     []() -> FightingOpponent* { return new Opponent2; },
     &SharedCounts::opponent2AttackSteps,
     "opponent2-",
     43,
     50,
     true,
     {30, 50, 40, 150, 6, 150, 10, 90, 50}},
    {"Opponent3",
     []() -> FightingOpponent* { return new Opponent3; },
     &SharedCounts::opponent3AttackSteps,
     "opponent3-",
     41,
     70,
     false,
     {30, 50, 40, 150, 6, 150, 8, 60, 22}},
};

void PrintTo(const Variant& variant, std::ostream* out) {
    *out << variant.name;
}

class OpponentTest : public OpponentFight, public ::testing::WithParamInterface<Variant> {
protected:
    void SetUp() override {
        OpponentFight::SetUp();
        loadSilentSound("opponent-charge");
        newFight();
    }

    void newFight() {
        OpponentFight::newFight(GetParam().make);
        sharedCounts().*GetParam().attackSteps = 0;
    }

    void windUp(int side, int count) {
        FightTest::windUp(*m_opponent, side, count, sharedCounts().*GetParam().attackSteps);
    }

    bool shows(const char* pose) const {
        return m_opponent->getSpriteLabel() == GetParam().spritePrefix + std::string(pose);
    }
};

TEST_P(OpponentTest, TuningStandsAtHomeWithAFullBar) {
    const FightingOpponent::Tuning& t = TestAccess::tuning(*m_opponent);
    const FightingOpponent::Tuning& e = GetParam().tuning;
    EXPECT_EQ(
        (std::vector<int>{t.chargeFrames, t.attackChance, t.tellChance, t.idleFrames, t.dodgeFrames,
                          t.attackFrames, t.recoveryFrames, t.tellFrames, t.stunFrames}),
        (std::vector<int>{e.chargeFrames, e.attackChance, e.tellChance, e.idleFrames, e.dodgeFrames,
                          e.attackFrames, e.recoveryFrames, e.tellFrames, e.stunFrames}));
    EXPECT_EQ(m_opponent->getPosition(), mw::Vector(42, 16));
    EXPECT_EQ(m_opponent->getHealthUI()->getPosition(), mw::Vector(50, 2));
    EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), 100);
    EXPECT_EQ(m_opponent->getType(), "Opponent");
    EXPECT_EQ(m_opponent->getSolidness(), mw::INTANGIBLE);
    EXPECT_TRUE(shows("idle"));
}

TEST_P(OpponentTest, RollsAttacksTellsAndSidesAtTheirChances) {
    // After its wait an opponent attacks at attackChance percent, else shows its
    // tell at 40 percent; a wind-up goes to either side at 50 percent.
    std::srand(7);
    int attacks = 0, tells = 0, rights = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        TestAccess::setState(*m_opponent, NEUTRAL, 200);
        TestAccess::setMove(*m_opponent, IDLE);
        m_driver.advance();
        attacks += m_opponent->getState() == ATTACKING;
        tells += m_opponent->getState() == TELL;
        rights += m_opponent->getMove() == CHARGE_RIGHT;
    }
    const double attack = GetParam().tuning.attackChance / 100.0;
    EXPECT_NEAR(attacks / 2000.0, attack, 0.035);
    EXPECT_NEAR(tells / 2000.0, (1 - attack) * 0.4, 0.03);
    EXPECT_NEAR(rights / static_cast<double>(attacks), 0.5, 0.04);
}

TEST_P(OpponentTest, WindUpSwingAndRecoveryRepeatEverySequenceLength) {
    TestAccess::setState(*m_opponent, ATTACKING);
    std::vector<int> swingFrames;
    int windUpFrames = 0;
    int swingFramesShown = 0;
    int spellOverAt = 0;
    for (int frame = 1; frame <= 200; ++frame) {
        const int health = m_hero->getHealth();
        m_driver.advance();
        if (m_hero->getHealth() < health)
            swingFrames.push_back(frame);
        if (swingFrames.empty())
            windUpFrames += shows("charge-left") || shows("charge-right") ? 1 : 0;
        else if (swingFrames.size() == 1)
            swingFramesShown += shows("swing-left") || shows("swing-right") ? 1 : 0;
        if (spellOverAt == 0 && m_opponent->getState() == NEUTRAL)
            spellOverAt = frame;
        if (frame <= 2) { // the charge sound starts at the second wind-up step
            EXPECT_EQ(isPlaying("opponent-charge"), frame == 2);
        }
    }
    const int steps = GetParam().sequenceSteps;
    // The spell of 150 steps has room for three sequences.
    EXPECT_EQ(swingFrames, (std::vector<int>{32, 32 + steps, 32 + 2 * steps}));
    EXPECT_EQ(windUpFrames, 31);
    EXPECT_EQ(swingFramesShown, GetParam().tuning.recoveryFrames + 1);
    EXPECT_EQ(spellOverAt, GetParam().tuning.attackFrames);
}

TEST_P(OpponentTest, WaitingOpponentDodgesAPunchAndAttacksSixStepsLater) {
    struct Case {
        mw::Key punch;
        int dodge;
        const char* pose;
        float column;
    };
    for (const Case& c : {Case{mw::KEY_P, DODGE_RIGHT, "dodge-right", 3.0f},
                          Case{mw::KEY_O, DODGE_LEFT, "dodge-left", -3.0f}}) {
        SCOPED_TRACE(c.pose);
        newFight();
        m_driver.tap(c.punch);
        m_driver.advance();
        EXPECT_EQ(m_opponent->getMove(), c.dodge);
        m_driver.advance(5);
        EXPECT_EQ(m_opponent->getState(), DODGING);
        EXPECT_TRUE(shows(c.pose));
        EXPECT_EQ(m_opponent->getPosition(), mw::Vector(42, 16) + mw::Vector(c.column, 0));
        m_driver.advance();
        EXPECT_EQ(m_opponent->getState(), ATTACKING);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), 100);
    }
}

TEST_P(OpponentTest, PunchDuringAnAttackLandsOnlyOnTheSideOfTheSwing) {
    enum Outcome { NO_EFFECT, LANDS, DODGED };
    const int recovery = GetParam().tuning.recoveryFrames;
    struct Case {
        int swing;
        mw::Key punch;
        int framesAfterSwing; // -1: the last wind-up frame
        Outcome outcome;
    };
    const Case cases[] = {
        {SWING_RIGHT, mw::KEY_P, -1, NO_EFFECT},
        {SWING_LEFT, mw::KEY_P, -1, NO_EFFECT},
        {SWING_RIGHT, mw::KEY_P, 0, LANDS},
        {SWING_LEFT, mw::KEY_O, 0, LANDS},
        {SWING_RIGHT, mw::KEY_O, 0, DODGED},
        {SWING_LEFT, mw::KEY_P, 0, DODGED},
        {SWING_RIGHT, mw::KEY_P, recovery, LANDS},
        {SWING_RIGHT, mw::KEY_P, recovery + 1, NO_EFFECT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "swing " << c.swing << ", punch " << c.punch << " at "
                                          << c.framesAfterSwing);
        newFight();
        windUp(c.swing, GetParam().tuning.chargeFrames - 1);
        m_driver.advance(1 + c.framesAfterSwing);
        m_driver.tap(c.punch);
        m_driver.advance();
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), c.outcome == LANDS ? 90 : 100);
        const int state = c.outcome == LANDS ? NEUTRAL : c.outcome == DODGED ? DODGING : ATTACKING;
        EXPECT_EQ(m_opponent->getState(), state);
        if (c.outcome == DODGED) {
            EXPECT_EQ(m_opponent->getMove(), c.punch == mw::KEY_P ? DODGE_RIGHT : DODGE_LEFT);
        }
    }
}

TEST_P(OpponentTest, PunchDuringTheTellStunsButOneStunCannotFloorIt) {
    TestAccess::setState(*m_opponent, TELL);
    int stunnedFrames = 0;
    // Long enough for the first punch after the stun, too short for a swing back.
    const int frames = GetParam().tuning.stunFrames + 15;
    for (int frame = 0; frame < frames; ++frame) {
        m_driver.tap(mw::KEY_P); // starts a punch whenever the last one is over
        m_driver.advance();
        stunnedFrames += m_opponent->getState() == STUNNED ? 1 : 0;
        if (frame == 1) {
            EXPECT_TRUE(shows("stunned"));
        }
    }
    EXPECT_EQ(stunnedFrames, GetParam().tuning.stunFrames);
    EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), GetParam().healthAfterOneStun);
    EXPECT_FALSE(m_opponent->isDown());
}

TEST_P(OpponentTest, ThirdKnockdownOfARoundEndsTheMatchUnlessItIsTheThirdOpponent) {
    const int healthOnGettingUp[] = {75, 50, 25};
    for (int knockdown = 1; knockdown <= 3; ++knockdown) {
        SCOPED_TRACE(knockdown);
        knockDown();
        const std::string count = std::to_string(knockdown);
        EXPECT_TRUE(logged(GetParam().losesByTko
                               ? "Opponent: knockdown #" + count
                               : "Opponent3: KD total=" + count + " round=" + count));
        EXPECT_TRUE(shows("down"));
        if (knockdown == 3 && GetParam().losesByTko) {
            EXPECT_TRUE(m_referee->results.empty());
            m_driver.advance();
            EXPECT_EQ(m_referee->results, std::vector<int>{WON_BY_TKO});
            EXPECT_TRUE(logged("PLAYER WINS BY TKO"));
            m_driver.advance(200);
            EXPECT_EQ(m_referee->results.size(), 1u);
            EXPECT_TRUE(m_opponent->isDown());
            return;
        }
        m_driver.advance(149);
        EXPECT_TRUE(m_opponent->isDown());
        m_driver.advance();
        EXPECT_FALSE(m_opponent->isDown());
        const std::string health = std::to_string(healthOnGettingUp[knockdown - 1]);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), healthOnGettingUp[knockdown - 1]);
        EXPECT_TRUE(logged("Opponent: recovered from knockdown (HP=" + health + ")"));
    }
    EXPECT_TRUE(m_referee->results.empty());
}

TEST_P(OpponentTest, NoSwingIsThrownWhileTheHeroIsDown) {
    std::srand(1);
    windUp(SWING_RIGHT, GetParam().tuning.chargeFrames);
    floorHero(*m_hero);
    bool sawTell = false;
    for (int frame = 0; frame < 250; ++frame) {
        m_driver.advance();
        ASSERT_TRUE(m_opponent->getState() == NEUTRAL || m_opponent->getState() == TELL);
        ASSERT_EQ(m_opponent->getMove(), IDLE);
        sawTell = sawTell || m_opponent->getState() == TELL;
    }
    EXPECT_TRUE(sawTell);
    EXPECT_EQ(m_hero->getDownTime(), 250);
}

INSTANTIATE_TEST_SUITE_P(Opponents, OpponentTest, ::testing::ValuesIn(VARIANTS),
                         [](const auto& info) { return std::string(info.param.name); });

using OpponentRulesTest = OpponentFight;

TEST_F(OpponentRulesTest, ThirdOpponentsSixthKnockdownOfTheMatchEndsItByKnockout) {
    newFight([]() -> FightingOpponent* { return new Opponent3; });
    for (int knockdown = 1; knockdown <= 6; ++knockdown) {
        if (knockdown == 4)
            TestAccess::setRoundKnockdowns(*m_opponent, 0);
        knockDown();
        if (knockdown < 6)
            m_driver.advance(150);
    }
    EXPECT_TRUE(logged("Opponent3: KD total=6 round=3"));
    m_driver.advance(149);
    EXPECT_TRUE(m_referee->results.empty());
    m_driver.advance();
    EXPECT_EQ(m_referee->results, std::vector<int>{WON_BY_KO});
    EXPECT_TRUE(logged("PLAYER WINS BY KO (Opponent3)"));
    EXPECT_EQ(m_opponent->getSpriteLabel(), "opponent3-down");
    m_driver.advance(100);
    EXPECT_EQ(m_referee->results.size(), 1u);
}

TEST_F(OpponentRulesTest, FrozenOpponentOnlyCountsItsStateFrames) {
    newFight([]() -> FightingOpponent* { return new Opponent1; });
    windUp(*m_opponent, SWING_LEFT, 10, sharedCounts().opponent1AttackSteps);
    m_opponent->setFrozen(true);
    m_driver.advance(200);
    EXPECT_EQ(m_opponent->getMove(), CHARGE_LEFT);
    EXPECT_EQ(sharedCounts().opponent1AttackSteps, 10);
    EXPECT_EQ(TestAccess::stateFrames(*m_opponent), 200);
    EXPECT_EQ(m_hero->getHealth(), 100);
    m_opponent->setFrozen(false);
    m_driver.advance();
    EXPECT_EQ(m_opponent->getState(), NEUTRAL); // the attack spell ran out during the pause
}

} // namespace
