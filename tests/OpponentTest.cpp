#include "support/GameSupport.h"

#include "engine/EventStep.h"
#include "game/Opponent1.h"

namespace {

using namespace gametest;

// What each opponent must do; every value typed in from its description.
struct Variant {
    int number;
    const char* prefix;           // of its sprite labels
    int attackChance;             // percent, when its wait of 150 steps is over
    std::vector<int> swingFrames; // of an attack spell from its first step
    int swingPoseFrames;
    int tellFrames, stunFrames;
};

const Variant VARIANTS[] = {
    {1, "opponent-", 60, {32, 80, 128}, 16, 120, 65},
    {2, "opponent2-", 50, {32, 75, 118}, 11, 90, 50},
    {3, "opponent3-", 50, {32, 73, 114}, 9, 60, 22},
};

void PrintTo(const Variant& variant, std::ostream* out) {
    *out << "Opponent" << variant.number;
}

class OpponentTest : public GameTest, public ::testing::WithParamInterface<Variant> {
protected:
    void SetUp() override {
        GameTest::SetUp();
        startFight(GetParam().number);
    }

    // The pose shown and the column it is drawn at, e.g. "charge-left 39".
    std::string pose() const {
        std::string label = m_opponent->getSpriteLabel();
        label.erase(0, std::string(GetParam().prefix).size());
        return label + " " + std::to_string(static_cast<int>(m_opponent->getPosition().getX()));
    }

    // The hero lands a punch on a stunned opponent with 10 health left.
    void knockDown() {
        m_opponent->getHealthUI()->setHealth(10);
        TestAccess::setState(*m_opponent, STUNNED);
        m_opponent->eventHandler(EventBoxerCollision(SWING_RIGHT));
        ASSERT_TRUE(m_opponent->isDown());
    }
};

TEST_P(OpponentTest, AfterItsWaitItAttacksOrShowsItsTellAtItsChances) {
    EXPECT_EQ(m_opponent->getPosition(), mw::Vector(42, 16));
    EXPECT_EQ(m_opponent->getHealthUI()->getPosition(), mw::Vector(50, 2));
    EXPECT_EQ(pose(), "idle 42");
    // A roll of 1 to 100 at most the attack chance attacks, on the right when
    // the next draw of 1 to 10 is under 6; otherwise a next roll of at most 40
    // shows the tell. Nothing is rolled before the 150th step of the wait.
    std::string expected, seen;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        std::srand(seed);
        const int attackRoll = std::rand() % 100 + 1, next = std::rand();
        const std::string outcome = attackRoll <= GetParam().attackChance
                                        ? (next % 10 + 1 < 6 ? "charge-right 45" : "charge-left 39")
                                    : next % 100 + 1 <= 40 ? "tell 42"
                                                           : "idle 42";
        for (const int waited : {148, 149}) {
            std::srand(seed);
            TestAccess::setState(*m_opponent, NEUTRAL, waited);
            m_driver.advance();
            expected += (waited == 149 ? outcome : "idle 42") + ",";
            seen += pose() + ",";
            const bool tell = pose() == "tell 42";
            EXPECT_EQ(heard(), tell ? Lines{"opponent-tell"} : Lines{}) << seed;
            EXPECT_EQ(m_opponent->getState(), tell                  ? TELL
                                              : pose() == "idle 42" ? NEUTRAL
                                                                    : ATTACKING);
        }
    }
    EXPECT_EQ(seen, expected);
}

TEST_P(OpponentTest, AnAttackSpellWindsUpSwingsAndRecoversForItsLength) {
    TestAccess::setState(*m_opponent, ATTACKING);
    std::vector<int> swingFrames;
    int windUpFrames = 0, swingPoseFrames = 0, spellOver = 0;
    for (int frame = 1; frame <= 200; ++frame) {
        const int health = m_hero->getHealth();
        m_driver.advance();
        const std::string shown = pose();
        if (m_hero->getHealth() < health)
            swingFrames.push_back(frame);
        if (swingFrames.empty() && (shown == "charge-left 39" || shown == "charge-right 45"))
            ++windUpFrames;
        if (swingFrames.size() == 1 && (shown == "swing-left 42" || shown == "swing-right 42"))
            ++swingPoseFrames;
        if (spellOver == 0 && m_opponent->getState() == NEUTRAL)
            spellOver = frame;
        if (frame == 2 || frame == 32) {
            EXPECT_EQ(heard(), frame == 2 ? Lines{"opponent-charge"}
                                          : (Lines{"hero-hit", "opponent-swing"}));
        }
    }
    EXPECT_EQ(swingFrames, GetParam().swingFrames);
    EXPECT_EQ(windUpFrames, 31);
    EXPECT_EQ(swingPoseFrames, GetParam().swingPoseFrames);
    EXPECT_EQ(spellOver, 150);
    EXPECT_EQ(m_hero->getHealth(), 70);
}

TEST_P(OpponentTest, PunchesDodgedOrTakenLeaveItInStatesOfTheirLength) {
    struct Case {
        int state;
        mw::Key punch;
        std::string pose;
        Lines sounds;
        int health, lasts, next;
    };
    const Case cases[] = {
        {NEUTRAL, mw::KEY_P, "dodge-right 45", {"hero-swing", "opponent-dodge"}, 100, 6, ATTACKING},
        {NEUTRAL, mw::KEY_O, "dodge-left 39", {"hero-swing", "opponent-dodge"}, 100, 6, ATTACKING},
        {TELL,
         mw::KEY_P,
         "stunned 42",
         {"hero-swing", "opponent-hit", "opponent-stunned"},
         90,
         GetParam().stunFrames,
         NEUTRAL},
        // Counted from its first step.
        {TELL, mw::KEY_UNDEFINED, "tell 42", {}, 100, GetParam().tellFrames - 1, NEUTRAL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pose);
        m_driver.advance(10); // the hero's last move is over
        heard();
        m_opponent->getHealthUI()->setHealth(100);
        TestAccess::setState(*m_opponent, c.state);
        TestAccess::setMove(*m_opponent, IDLE);
        m_driver.tap(c.punch);
        m_driver.advance();
        const int state = m_opponent->getState();
        EXPECT_EQ(heard(), c.sounds);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), c.health);
        int lasted = 0;
        while (m_opponent->getState() == state && lasted < 500) {
            m_driver.advance();
            if (++lasted == 1) {
                EXPECT_EQ(pose(), c.pose);
            }
        }
        EXPECT_EQ(lasted, c.lasts);
        EXPECT_EQ(m_opponent->getState(), c.next);
    }
}

TEST_P(OpponentTest, KnockdownsCostHealthOnGettingUpUntilTheFightIsOver) {
    const bool third = GetParam().number == 3;
    const int healthOnGettingUp[] = {75, 50, 25, 75, 50};
    for (int knockdown = 1; knockdown <= 6; ++knockdown) {
        SCOPED_TRACE(knockdown);
        if (knockdown == 4) // as after a new round
            TestAccess::setRoundKnockdowns(*m_opponent, 0);
        knockDown();
        const std::string total = std::to_string(knockdown);
        const std::string round = std::to_string(knockdown > 3 ? knockdown - 3 : knockdown);
        EXPECT_TRUE(logged(third ? "Opponent3: KD total=" + total + " round=" + round
                                 : "Opponent: knockdown #" + total));
        if (knockdown == 1) { // whatever was shown last, it lies at home
            m_opponent->setSprite(GetParam().prefix + std::string("stunned"));
            m_opponent->setPosition(mw::Vector(3, 3));
        }
        m_driver.advance();
        EXPECT_EQ(pose(), "down 42");
        if (!third && knockdown == 3) {
            EXPECT_EQ(countLogged("PLAYER WINS BY TKO"), 1);
            EXPECT_EQ(messages(), (Lines{"You won by TKO!", "New best: 0:10"}));
            m_driver.advance(200);
            EXPECT_EQ(countLogged("PLAYER WINS BY TKO"), 1);
            return;
        }
        m_driver.advance(148);
        EXPECT_TRUE(m_opponent->isDown());
        m_driver.advance();
        if (knockdown == 6)
            break;
        EXPECT_FALSE(m_opponent->isDown());
        EXPECT_EQ(pose(), "idle 42");
        const std::string health = std::to_string(healthOnGettingUp[knockdown - 1]);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), healthOnGettingUp[knockdown - 1]);
        EXPECT_TRUE(logged("Opponent: recovered from knockdown (HP=" + health + ")"));
    }
    EXPECT_TRUE(third);
    EXPECT_EQ(countLogged("PLAYER WINS BY KO (Opponent3)"), 1);
    // At its 900th step, before the clock's.
    EXPECT_EQ(messages(), (Lines{"You won by KO!", "New best: 0:29"}));
    EXPECT_EQ(heard(), (Lines{"opponent-hit", "tko"}));
    m_driver.advance(200);
    EXPECT_EQ(countLogged("PLAYER WINS BY KO (Opponent3)"), 1);
    EXPECT_EQ(pose(), "down 42");
}

INSTANTIATE_TEST_SUITE_P(Opponents, OpponentTest, ::testing::ValuesIn(VARIANTS),
                         [](const auto& info) {
                             return "Opponent" + std::to_string(info.param.number);
                         });

using OpponentRulesTest = GameTest;

TEST_F(OpponentRulesTest, APunchLandsOnlyWhereTheOpponentIsOpen) {
    startFight(1);
    enum Flag { NONE, DOWN, FROZEN, HERO_DOWN };
    struct Case {
        int state, move, punch;
        Flag flag;
        int handled, stateAfter, moveAfter, health;
        Lines sounds;
    };
    const Case cases[] = {
        {NEUTRAL, IDLE, SWING_RIGHT, NONE, 1, DODGING, DODGE_RIGHT, 100, {"opponent-dodge"}},
        {NEUTRAL, IDLE, SWING_LEFT, NONE, 1, DODGING, DODGE_LEFT, 100, {"opponent-dodge"}},
        {TELL, IDLE, SWING_LEFT, NONE, 1, STUNNED, IDLE, 90, {"opponent-hit", "opponent-stunned"}},
        {STUNNED, IDLE, SWING_LEFT, NONE, 1, STUNNED, IDLE, 90, {"opponent-hit"}},
        {ATTACKING, CHARGE_LEFT, SWING_LEFT, NONE, 1, ATTACKING, CHARGE_LEFT, 100, {}},
        {ATTACKING, CHARGE_RIGHT, SWING_RIGHT, NONE, 1, ATTACKING, CHARGE_RIGHT, 100, {}},
        {ATTACKING, SWING_LEFT, SWING_LEFT, NONE, 1, NEUTRAL, SWING_LEFT, 90, {"opponent-hit"}},
        {ATTACKING, SWING_RIGHT, SWING_RIGHT, NONE, 1, NEUTRAL, SWING_RIGHT, 90, {"opponent-hit"}},
        {ATTACKING, SWING_RIGHT, SWING_LEFT, NONE, 1, DODGING, DODGE_LEFT, 100, {"opponent-dodge"}},
        {ATTACKING, IDLE, SWING_LEFT, NONE, 0, ATTACKING, IDLE, 100, {}},
        {DODGING, DODGE_LEFT, SWING_LEFT, NONE, 0, DODGING, DODGE_LEFT, 100, {}},
        {TELL, IDLE, SWING_LEFT, DOWN, 1, TELL, IDLE, 100, {}},
        {TELL, IDLE, SWING_LEFT, FROZEN, 1, TELL, IDLE, 100, {}},
        {TELL, IDLE, SWING_LEFT, HERO_DOWN, 1, TELL, IDLE, 100, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "state " << c.state << " move " << c.move << " punch "
                                          << c.punch << " flag " << c.flag);
        m_opponent->getHealthUI()->setHealth(100);
        TestAccess::setState(*m_opponent, c.state);
        TestAccess::setMove(*m_opponent, c.move);
        TestAccess::setDown(*m_opponent, c.flag == DOWN);
        m_opponent->setFrozen(c.flag == FROZEN);
        TestAccess::setDown(*m_hero, c.flag == HERO_DOWN);
        EXPECT_EQ(m_opponent->eventHandler(EventBoxerCollision(c.punch)), c.handled);
        EXPECT_EQ(m_opponent->getState(), c.stateAfter);
        EXPECT_EQ(m_opponent->getMove(), c.moveAfter);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), c.health);
        EXPECT_EQ(heard(), c.sounds);
    }
    EXPECT_EQ(m_opponent->eventHandler(mw::EventStep(1)), 1);
    EXPECT_EQ(m_opponent->eventHandler(mw::Event()), 0);
}

TEST_F(OpponentRulesTest, NoSwingAtAFallenHeroOnlyATellAtFivePercentAStep) {
    startFight(1);
    TestAccess::setState(*m_opponent, ATTACKING);
    m_driver.advance(31); // the swing would come at the next step
    floorHero(*m_hero);
    // Each step rolls 1 to 100 once; at most 5 (re)starts the tell.
    std::srand(5);
    std::string expected, seen;
    for (int step = 0; step < 250; ++step)
        expected += std::rand() % 100 + 1 <= 5 ? 'T' : '.';
    std::srand(5);
    for (int step = 0; step < 250; ++step) {
        m_driver.advance();
        const bool told =
            m_opponent->getState() == TELL && TestAccess::stateFrames(*m_opponent) == 0;
        seen += told ? 'T' : '.';
        ASSERT_EQ(m_opponent->getMove(), IDLE);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(m_hero->getHealth(), 0);
}

TEST_F(OpponentRulesTest, AFrozenOpponentOnlyCountsTheStepsOfItsState) {
    startFight(1);
    TestAccess::setState(*m_opponent, ATTACKING);
    m_driver.advance(20);
    m_opponent->setFrozen(true);
    m_driver.advance(200);
    EXPECT_EQ(TestAccess::stateFrames(*m_opponent), 220);
    EXPECT_TRUE(m_opponent->getMove() == CHARGE_LEFT || m_opponent->getMove() == CHARGE_RIGHT);
    EXPECT_EQ(sharedCounts().opponent1AttackSteps, 19);
    EXPECT_EQ(m_hero->getHealth(), 100);
    m_opponent->setFrozen(false);
    m_driver.advance();
    EXPECT_EQ(m_opponent->getState(), NEUTRAL); // the spell ran out while frozen
}

TEST_F(OpponentRulesTest, ASwingReachesOnlyTheFirstHero) {
    Hero* first = new Hero;
    Hero* second = new Hero;
    auto* opponent = new Opponent1;
    TestAccess::setState(*opponent, ATTACKING);
    m_driver.advance(32);
    EXPECT_EQ(first->getHealth(), 90);
    EXPECT_EQ(second->getHealth(), 100);
}

} // namespace
