#include "support/GameSupport.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <regex>

#include "game/Opponent1.h"

namespace {

using namespace gametest;

// What each opponent must show frame by frame (see poses()), typed in from its description.
struct Variant {
    int number;
    const char* prefix;
    std::string attackSpell, tell, tellPunched, waitPunched;
    int waitPunchedFrames; // up to the end of the swing's recovery
};
const Variant VARIANTS[] = {
    {1, "opponent-", "c31 h1 s15 i1 c31 h1 s15 i1 c31 h1 s15 i1 c6 i50", "t119 i81", "t1 u64 i35",
     "i1 d5 c31 h1 s15 i1", 54},
    {2, "opponent2-", "c31 h1 s10 i1 c31 h1 s10 i1 c31 h1 s10 i1 c21 i50", "t89 i111", "t1 u49 i50",
     "i1 d5 c31 h1 s10 i1", 49},
    {3, "opponent3-", "c31 h1 s8 i1 c31 h1 s8 i1 c31 h1 s8 i1 c27 i50", "t59 i141", "t1 u21 i78",
     "i1 d5 c31 h1 s8 i1", 47},
};

class OpponentTest : public GameTest, public ::testing::WithParamInterface<Variant> {
protected:
    void SetUp() override {
        GameTest::SetUp();
        startFight(GetParam().number);
    }

    std::string pose() const {
        const std::string label = m_opponent->getSpriteLabel();
        const int column = static_cast<int>(m_opponent->getPosition().getX());
        return label.substr(std::string(GetParam().prefix).size()) + " " + std::to_string(column);
    }

    // The poses of `frames` frames as runs of letters: c a wind-up, s a swing,
    // h a swing that hits the hero, d a dodge (all on their own side), i idle,
    // t the tell, u stunned, D down, ? anything else.
    std::string poses(int frames, mw::Key punchAtFirstFrame = mw::KEY_UNDEFINED) {
        const std::map<std::string, char> letters = {
            {"charge-left 39", 'c'}, {"charge-right 45", 'c'}, {"swing-left 42", 's'},
            {"swing-right 42", 's'}, {"dodge-left 39", 'd'},   {"dodge-right 45", 'd'},
            {"idle 42", 'i'},        {"tell 42", 't'},         {"stunned 42", 'u'},
            {"down 42", 'D'}};
        std::string runs;
        char last = 0;
        int count = 0;
        m_heard.clear();
        m_driver.tap(punchAtFirstFrame);
        for (int frame = 1; frame <= frames; ++frame) {
            const int health = m_hero->getHealth();
            m_driver.advance();
            for (const std::string& sound : heard())
                m_heard += std::to_string(frame) + ":" + sound + " ";
            const auto found = letters.find(pose());
            char letter = found == letters.end() ? '?' : found->second;
            letter = letter == 's' && m_hero->getHealth() < health ? 'h' : letter;
            if (letter != last && count > 0)
                runs += std::string(1, last) + std::to_string(count) + " ";
            count = letter == last ? count + 1 : 1;
            last = letter;
        }
        return runs + std::string(1, last) + std::to_string(count);
    }

    std::string m_heard; // by poses(): "frame:sound " for each sound started
};

TEST_P(OpponentTest, AttacksTellsStunsAndDodgesLastTheirSteps) {
    const Variant& v = GetParam();
    EXPECT_EQ(pose(), "idle 42");
    for (const auto& [state, punch, frames, shown, sounds, health] :
         {std::tuple{TELL, mw::KEY_UNDEFINED, 200, v.tell, std::string(), 100},
          {TELL, mw::KEY_P, 100, v.tellPunched, "1:hero-swing 1:opponent-hit 1:opponent-stunned ",
           90},
          {NEUTRAL, mw::KEY_O, v.waitPunchedFrames, v.waitPunched,
           "1:hero-swing 1:opponent-dodge 8:opponent-charge 38:hero-hit 38:opponent-swing ", 100},
          {ATTACKING, mw::KEY_UNDEFINED, 200, v.attackSpell, "", 100}}) {
        m_opponent->getHealthUI()->setHealth(100);
        TestAccess::setState(*m_opponent, state);
        TestAccess::setMove(*m_opponent, IDLE);
        EXPECT_EQ(poses(frames, punch), shown);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), health);
        EXPECT_EQ(state == ATTACKING ? sounds : m_heard, sounds);
    }
    EXPECT_THAT(m_heard, ::testing::StartsWith("2:opponent-charge 32:hero-hit 32:opponent-swing "));
    EXPECT_EQ(m_hero->getHealth(), 60);
}

TEST_P(OpponentTest, AfterItsWaitItAttacksOnEitherSideOrShowsItsTellAtItsOwnRates) {
    std::map<std::string, int> counts;
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        for (const int waited : {148, 149}) {
            std::srand(seed);
            TestAccess::setState(*m_opponent, NEUTRAL, waited);
            m_driver.advance();
            if (waited == 148) {
                ASSERT_EQ(pose(), "idle 42") << seed;
                continue;
            }
            ++counts[pose()];
            EXPECT_EQ(heard(), pose() == "tell 42" ? Lines{"opponent-tell"} : Lines{}) << seed;
            EXPECT_EQ(m_opponent->getState(), pose() == "tell 42"   ? TELL
                                              : pose() == "idle 42" ? NEUTRAL
                                                                    : ATTACKING);
        }
    }
    // Attacks at the chance, either side about half, the tell at two in five of the rest.
    const std::string rolled = "right " + std::to_string(counts["charge-right 45"]) + ", left " +
                               std::to_string(counts["charge-left 39"]) + ", tell " +
                               std::to_string(counts["tell 42"]) + ", idle " +
                               std::to_string(counts["idle 42"]);
    EXPECT_EQ(rolled, GetParam().number == 1 ? "right 288, left 294, tell 164, idle 254"
                                             : "right 242, left 242, tell 208, idle 308");
}

TEST_P(OpponentTest, KnockdownsCostHealthOnGettingUpUntilTheFightIsOver) {
    const bool third = GetParam().number == 3;
    const int healthOnGettingUp[] = {75, 50, 25, 75, 50};
    m_opponent->getHealthUI()->setHealth(11);
    m_opponent->takeHit(); // only a hit to 0 floors it
    EXPECT_FALSE(m_opponent->isDown());
    for (int knockdown = 1; knockdown <= 6; ++knockdown) {
        SCOPED_TRACE(knockdown);
        if (knockdown == 4) // as after a new round
            m_opponent->startRound();
        m_opponent->getHealthUI()->setHealth(10);
        TestAccess::setState(*m_opponent, STUNNED);
        m_opponent->eventHandler(EventBoxerCollision(SWING_RIGHT));
        EXPECT_EQ(m_opponent->getSpriteLabel(), GetParam().prefix + std::string("down"));
        const std::string total = std::to_string(knockdown),
                          round = std::to_string((knockdown - 1) % 3 + 1);
        EXPECT_TRUE(logged(third ? "Opponent3: KD total=" + total + " round=" + round
                                 : "Opponent: knockdown #" + total));
        if (knockdown == 1) { // whatever was shown last, it lies at home
            m_opponent->setSprite(GetParam().prefix + std::string("stunned"));
            m_opponent->setPosition(mw::Vector(3, 3));
        }
        if (!third && knockdown == 3) {
            EXPECT_EQ(poses(50), "D50");
            EXPECT_EQ(countLogged("PLAYER WINS BY TKO"), 1);
            EXPECT_EQ(messages(), (Lines{"You won by TKO!", "New best: 0:10"}));
            return;
        }
        if (knockdown == 6)
            break;
        EXPECT_EQ(poses(150), "D149 i1");
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), healthOnGettingUp[knockdown - 1]);
        EXPECT_TRUE(logged("Opponent: recovered from knockdown (HP=" +
                           std::to_string(healthOnGettingUp[knockdown - 1]) + ")"));
    }
    EXPECT_TRUE(third);
    EXPECT_EQ(poses(200), "D200");
    EXPECT_EQ(countLogged("PLAYER WINS BY KO (Opponent3)"), 1);
    // At its 150th step down, which comes before the clock's.
    EXPECT_EQ(messages(), (Lines{"You won by KO!", "New best: 0:29"}));
    EXPECT_THAT(m_heard, ::testing::EndsWith("150:tko "));
}

INSTANTIATE_TEST_SUITE_P(Opponents, OpponentTest, ::testing::ValuesIn(VARIANTS),
                         [](const auto& info) {
                             return "Opponent" + std::to_string(info.param.number);
                         });

using OpponentRulesTest = GameTest;

TEST_F(OpponentRulesTest, APunchLandsOnlyWhereTheOpponentIsOpen) {
    startFight(1);
    enum Flag { NONE, DOWN, FROZEN, HERO_DOWN };
    const struct {
        int state, move, punch;
        Flag flag;
        int stateAfter, moveAfter, health;
        Lines sounds;
    } cases[] = {
        {NEUTRAL, IDLE, SWING_RIGHT, NONE, DODGING, DODGE_RIGHT, 100, {"opponent-dodge"}},
        {NEUTRAL, IDLE, SWING_LEFT, NONE, DODGING, DODGE_LEFT, 100, {"opponent-dodge"}},
        {STUNNED, IDLE, SWING_LEFT, NONE, STUNNED, IDLE, 90, {"opponent-hit"}},
        {ATTACKING, CHARGE_LEFT, SWING_LEFT, NONE, ATTACKING, CHARGE_LEFT, 100, {}},
        {ATTACKING, CHARGE_RIGHT, SWING_RIGHT, NONE, ATTACKING, CHARGE_RIGHT, 100, {}},
        {ATTACKING, SWING_LEFT, SWING_LEFT, NONE, NEUTRAL, SWING_LEFT, 90, {"opponent-hit"}},
        {ATTACKING, SWING_RIGHT, SWING_RIGHT, NONE, NEUTRAL, SWING_RIGHT, 90, {"opponent-hit"}},
        {ATTACKING, SWING_RIGHT, SWING_LEFT, NONE, DODGING, DODGE_LEFT, 100, {"opponent-dodge"}},
        {ATTACKING, IDLE, SWING_LEFT, NONE, ATTACKING, IDLE, 100, {}},
        {DODGING, DODGE_LEFT, SWING_LEFT, NONE, DODGING, DODGE_LEFT, 100, {}},
        {TELL, IDLE, SWING_LEFT, DOWN, TELL, IDLE, 100, {}},
        {TELL, IDLE, SWING_LEFT, FROZEN, TELL, IDLE, 100, {}},
        {TELL, IDLE, SWING_LEFT, HERO_DOWN, TELL, IDLE, 100, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.state << " " << c.move << " " << c.punch << " " << c.flag);
        m_opponent->startRound();
        m_hero->startRound();
        if (c.flag == DOWN) {
            m_opponent->getHealthUI()->setHealth(10);
            m_opponent->takeHit();
        }
        if (c.flag == HERO_DOWN)
            floorHero(*m_hero);
        heard();
        m_opponent->getHealthUI()->setHealth(100);
        TestAccess::setState(*m_opponent, c.state);
        TestAccess::setMove(*m_opponent, c.move);
        m_opponent->setFrozen(c.flag == FROZEN);
        m_opponent->eventHandler(EventBoxerCollision(c.punch));
        EXPECT_EQ(m_opponent->getState(), c.stateAfter);
        EXPECT_EQ(m_opponent->getMove(), c.moveAfter);
        EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), c.health);
        EXPECT_EQ(heard(), c.sounds);
    }
}

TEST_F(OpponentRulesTest, NoSwingAtAFallenHeroButATellAtFivePercentAStep) {
    // In eight fights, for the 250 steps before the count ends: it stands
    // neutral (.) until a tell starts (T); from then on it stays in the tell
    // (t), which restarts at about one step in twenty.
    int tells = 0;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        startFight(1);
        TestAccess::setState(*m_opponent, ATTACKING);
        m_driver.advance(31); // the swing would come at the next step
        floorHero(*m_hero);
        std::srand(seed);
        std::string seen;
        for (int step = 0; step < 250; ++step) {
            m_driver.advance();
            const bool tell = m_opponent->getState() == TELL;
            seen += tell && TestAccess::stateFrames(*m_opponent) == 0 ? 'T'
                    : tell                                            ? 't'
                    : m_opponent->getState() == NEUTRAL               ? '.'
                                                                      : '?';
            ASSERT_EQ(m_opponent->getMove(), IDLE);
        }
        EXPECT_TRUE(std::regex_match(seen, std::regex("\\.*(T[Tt]*)?"))) << seen;
        tells += std::count(seen.begin(), seen.end(), 'T');
        EXPECT_EQ(m_hero->getHealth(), 0);
    }
    EXPECT_EQ(tells, 102); // of 2000 steps, for these seeds
}

TEST_F(OpponentRulesTest, PunchesAndSwingsReachOnlyTheFirstBoxerOfTheOtherSide) {
    Hero* first = new Hero;
    Hero* second = new Hero;
    auto* opponent = new Opponent1;
    auto* other = new Opponent1;
    m_driver.tap(mw::KEY_P); // both heroes punch
    m_driver.advance();
    EXPECT_EQ(opponent->getState(), DODGING);
    EXPECT_EQ(other->getState(), NEUTRAL);
    m_driver.advance(40); // it dodged, wound up and swung
    EXPECT_EQ(first->getHealth(), 90);
    EXPECT_EQ(second->getHealth(), 100);
}

} // namespace
