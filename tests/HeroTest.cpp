#include "support/FightSupport.h"

#include "game/BoxerMove.h"
#include "game/GameOverResult.h"

#include "engine/EventStep.h"

#include <functional>

namespace {

using fighttest::FightTest;
using fighttest::Referee;

// A real first opponent that also remembers every punch handed to it.
class WatchedOpponent : public Opponent1 {
public:
    int eventHandler(const mw::Event& event) override {
        if (event.getType() == BOXER_COLLISION_EVENT)
            punches.push_back(static_cast<const EventBoxerCollision&>(event).getMove());
        return Opponent1::eventHandler(event);
    }
    std::vector<int> punches;
};

std::string mashLine(int count, int needed, mw::Key key) {
    return "Mash " + std::to_string(count) + "/" + std::to_string(needed) +
           " (key=" + std::to_string(static_cast<int>(key)) + ")";
}

class HeroTest : public FightTest {
protected:
    void SetUp() override {
        FightTest::SetUp();
        for (const char* sound : {"hero-swing", "hero-dodge", "successful-dodge", "tko"})
            loadSilentSound(sound);
        m_hero = new Hero;
    }

    void newHero() {
        clearWorld();
        m_hero = new Hero;
    }

    // One new key goes down per frame, Q and W in turn; the previous one goes up.
    void mash(int presses) {
        for (int i = 0; i < presses; ++i) {
            m_driver.release(m_mashKey);
            m_mashKey = m_mashKey == mw::KEY_Q ? mw::KEY_W : mw::KEY_Q;
            m_driver.press(m_mashKey);
            m_driver.advance();
        }
    }

    Hero* m_hero = nullptr;
    mw::Key m_mashKey = mw::KEY_W;
};

TEST_F(HeroTest, EachMoveShowsItsSpriteForTenStepsAndBlocksOtherMoves) {
    struct Case {
        mw::Key key;
        int move;
        const char* sprite;
        const char* sound;
    };
    const Case cases[] = {
        {mw::KEY_Q, DODGE_LEFT, "hero-d-left", "hero-dodge"},
        {mw::KEY_W, DODGE_RIGHT, "hero-d-right", "hero-dodge"},
        {mw::KEY_O, SWING_LEFT, "hero-s-left", "hero-swing"},
        {mw::KEY_P, SWING_RIGHT, "hero-s-right", "hero-swing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sprite);
        stopSound(c.sound);
        m_driver.tap(c.key);
        m_driver.advance();
        EXPECT_EQ(m_hero->getMove(), c.move);
        EXPECT_TRUE(isPlaying(c.sound));
        int shown = m_hero->getSpriteLabel() == c.sprite ? 1 : 0;
        for (int frame = 1; frame < 20; ++frame) {
            if (frame == 5)
                m_driver.tap(mw::KEY_P); // ignored while the move lasts
            m_driver.advance();
            shown += m_hero->getSpriteLabel() == c.sprite ? 1 : 0;
        }
        EXPECT_EQ(shown, 10);
        EXPECT_EQ(m_hero->getMove(), IDLE);
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
        EXPECT_EQ(sharedCounts().heroMoveSteps, 0);
    }
}

TEST_F(HeroTest, DodgeProtectsFromSwingsOnItsSideDuringItsNineFollowingFrames) {
    auto* opponent = new Opponent1;
    struct Case {
        mw::Key dodge;
        int swing;
        int pressedFramesBefore; // 0: in the frame whose step throws the swing
        bool dodged;
    };
    const Case cases[] = {
        {mw::KEY_W, SWING_RIGHT, 0, false}, {mw::KEY_W, SWING_RIGHT, 1, true},
        {mw::KEY_W, SWING_RIGHT, 9, true},  {mw::KEY_W, SWING_RIGHT, 10, false},
        {mw::KEY_Q, SWING_LEFT, 1, true},   {mw::KEY_Q, SWING_LEFT, 9, true},
        {mw::KEY_Q, SWING_LEFT, 10, false}, {mw::KEY_Q, SWING_RIGHT, 5, false},
        {mw::KEY_W, SWING_LEFT, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "swing " << c.swing << ", dodge pressed "
                                          << c.pressedFramesBefore << " frames before");
        TestAccess::setState(*opponent, NEUTRAL);
        TestAccess::setMove(*opponent, IDLE);
        m_driver.advance(12); // the previous dodge runs out
        TestAccess::setHealth(*m_hero, 100);
        stopSound("successful-dodge");
        if (c.pressedFramesBefore > 0) {
            m_driver.tap(c.dodge);
            m_driver.advance(c.pressedFramesBefore);
        }
        windUp(*opponent, c.swing, 30, sharedCounts().opponent1AttackSteps);
        if (c.pressedFramesBefore == 0)
            m_driver.tap(c.dodge);
        m_driver.advance();
        ASSERT_EQ(opponent->getMove(), c.swing);
        EXPECT_EQ(m_hero->getHealth(), c.dodged ? 100 : 90);
        EXPECT_EQ(isPlaying("successful-dodge"), c.dodged);
    }
}

TEST_F(HeroTest, TenSwingsFloorHimAndAlternatingPressesGetHimUp) {
    for (int swing = 0; swing < 9; ++swing)
        swingAt(*m_hero, SWING_RIGHT);
    EXPECT_EQ(m_hero->getHealth(), 10);
    EXPECT_FALSE(m_hero->isDown());

    const int healthOnGettingUp[] = {75, 50, 25};
    for (int knockdown = 1; knockdown <= 3; ++knockdown) {
        SCOPED_TRACE(knockdown);
        const int needed = 30 + 20 * knockdown;
        floorHero(*m_hero);
        ASSERT_TRUE(m_hero->isDown());
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-down");
        EXPECT_TRUE(logged("Hero: knockdown #" + std::to_string(knockdown) + ", need " +
                           std::to_string(needed) + " presses"));

        mash(needed - 1);
        m_driver.advance(); // the held key is sent again, but counts once
        EXPECT_EQ(m_hero->getMashCount(), needed - 1);
        mash(1); // counted after this frame's step, so he is up at the next one
        EXPECT_TRUE(m_hero->isDown());
        EXPECT_TRUE(logged(mashLine(needed, needed, m_mashKey)));
        m_driver.advance();
        EXPECT_FALSE(m_hero->isDown());
        EXPECT_EQ(m_hero->getHealth(), healthOnGettingUp[knockdown - 1]);
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
        EXPECT_TRUE(logged(
            "Hero: RECOVERED (HP=" + std::to_string(healthOnGettingUp[knockdown - 1]) + ")"));
    }
    EXPECT_TRUE(logged(mashLine(1, 50, mw::KEY_Q)));
    EXPECT_EQ(m_hero->getMatchKnockdowns(), 3);
}

TEST_F(HeroTest, MashCountsOnlyKeyChangesOfTheFourMoveKeys) {
    struct Case {
        const char* name;
        std::vector<mw::Key> keys;
        bool tapped; // pressed and released between frames, never held
        bool frozen;
        int frames;
        int counted;
    };
    const Case cases[] = {
        {"one key held", {mw::KEY_Q}, false, false, 40, 1},
        {"two keys held", {mw::KEY_Q, mw::KEY_W}, false, false, 10, 20},
        {"punch keys held", {mw::KEY_O, mw::KEY_P}, false, false, 10, 20},
        {"other keys held", {mw::KEY_A, mw::KEY_SPACE}, false, false, 10, 0},
        {"alternate taps", {mw::KEY_Q, mw::KEY_W}, true, false, 10, 0},
        {"frozen", {mw::KEY_O, mw::KEY_P}, false, true, 10, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newHero();
        floorHero(*m_hero);
        m_hero->setFrozen(c.frozen);
        for (int frame = 0; frame < c.frames; ++frame) {
            if (c.tapped) {
                m_driver.tap(c.keys[frame % c.keys.size()]);
            } else if (frame == 0) {
                for (mw::Key key : c.keys)
                    m_driver.press(key);
            }
            m_driver.advance();
        }
        EXPECT_EQ(m_hero->getMashCount(), c.counted);
        for (mw::Key key : c.keys)
            m_driver.release(key);
    }
}

TEST_F(HeroTest, LosesByTkoAfterThreeHundredStepsDownOrAFourthKnockdown) {
    struct Case {
        const char* name;
        int earlierKnockdowns;
        bool refereeFreezes;
        int stepsToLoss;
        int announcedWithinFiveMore;
    };
    const Case cases[] = {
        {"300 steps down", 0, true, 300, 1},
        {"fourth knockdown", 3, true, 1, 1},
        // Without a round system (the tutorial) nothing freezes him.
        {"nobody freezes", 3, false, 1, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        newHero();
        auto* referee = new Referee;
        referee->freezes = c.refereeFreezes;
        const int announcedBefore = countLogged("HERO LOSES BY TKO");
        stopSound("tko");
        TestAccess::setRoundKnockdowns(*m_hero, c.earlierKnockdowns);
        floorHero(*m_hero);
        if (c.earlierKnockdowns == 3) {
            EXPECT_TRUE(logged("Hero: knockdown #4, need 110 presses"));
        }
        m_driver.advance(c.stepsToLoss - 1);
        EXPECT_TRUE(referee->results.empty());
        m_driver.advance();
        EXPECT_EQ(referee->results, std::vector<int>{LOST_BY_TKO});
        EXPECT_TRUE(isPlaying("tko"));
        m_driver.advance(5);
        EXPECT_EQ(countLogged("HERO LOSES BY TKO") - announcedBefore, c.announcedWithinFiveMore);
        EXPECT_EQ(static_cast<int>(referee->results.size()), c.announcedWithinFiveMore);
        EXPECT_TRUE(m_hero->isDown());
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-down");
    }
}

TEST_F(HeroTest, MoveKeysStillActWhileDownOrFrozenButTheOpponentIgnoresThePunch) {
    for (const bool frozen : {false, true}) {
        SCOPED_TRACE(frozen ? "frozen" : "down");
        newHero();
        auto* opponent = new WatchedOpponent;
        if (frozen) {
            m_hero->setFrozen(true);
            opponent->setFrozen(true);
        } else {
            floorHero(*m_hero);
        }
        stopSound("hero-swing");
        m_driver.tap(mw::KEY_P);
        m_driver.advance();
        EXPECT_EQ(opponent->punches, std::vector<int>{SWING_RIGHT});
        EXPECT_TRUE(isPlaying("hero-swing"));
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-s-right");
        EXPECT_EQ(opponent->getHealthUI()->getHealth(), 100);
        EXPECT_EQ(opponent->getMove(), IDLE); // not dodged either

        // The move stays set: no second move until he is up or the round goes on.
        m_driver.tap(mw::KEY_O);
        m_driver.advance(20);
        EXPECT_EQ(opponent->punches.size(), 1u);
        EXPECT_EQ(m_hero->getSpriteLabel(), frozen ? "hero-s-right" : "hero-down");
        EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));

        if (frozen) { // and no knockdown happens while frozen
            TestAccess::setHealth(*m_hero, 10);
            swingAt(*m_hero, SWING_LEFT);
            EXPECT_FALSE(m_hero->isDown());
        }
    }
}

TEST_F(HeroTest, TheEventHandlerSaysWhatItHandled) {
    using K = mw::EventKeyboard;
    struct Case {
        const char* name;
        std::function<int()> handle;
        int result;
    };
    const Case cases[] = {
        {"step", [&] { return m_hero->eventHandler(mw::EventStep(1)); }, 1},
        {"A pressed", [&] { return m_hero->eventHandler(K(mw::KEY_A, mw::KEY_PRESSED)); }, 0},
        {"P held", [&] { return m_hero->eventHandler(K(mw::KEY_P, mw::KEY_HELD)); }, 0},
        {"P pressed", [&] { return m_hero->eventHandler(K(mw::KEY_P, mw::KEY_PRESSED)); }, 1},
        {"O while moving", [&] { return m_hero->eventHandler(K(mw::KEY_O, mw::KEY_PRESSED)); }, 0},
        {"swing", [&] { return m_hero->eventHandler(EventBoxerCollision(SWING_LEFT)); }, 1},
        {"dodge move", [&] { return m_hero->eventHandler(EventBoxerCollision(DODGE_LEFT)); }, 0},
        {"other", [&] { return m_hero->eventHandler(mw::Event()); }, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.handle(), c.result) << c.name;
}

TEST_F(HeroTest, PunchesAndSwingsReachOnlyTheFirstBoxerOfTheirType) {
    EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
    EXPECT_EQ(m_hero->getType(), "Hero");
    EXPECT_EQ(m_hero->getAltitude(), 4);
    EXPECT_EQ(m_hero->getHealthUI()->getPosition(), mw::Vector(5, 2));
    EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
    auto* first = new WatchedOpponent;
    auto* second = new WatchedOpponent;
    m_driver.tap(mw::KEY_P);
    m_driver.advance();
    EXPECT_EQ(first->punches, std::vector<int>{SWING_RIGHT});
    EXPECT_TRUE(second->punches.empty());

    // An opponent's swing lands on the world's first hero only.
    clearWorld();
    m_hero = new Hero;
    Hero* other = new Hero;
    auto* opponent = new Opponent1;
    int& attackSteps = sharedCounts().opponent1AttackSteps;
    windUp(*opponent, SWING_LEFT, 30, attackSteps);
    m_driver.advance(3);
    EXPECT_EQ(m_hero->getHealth(), 90);
    EXPECT_EQ(other->getHealth(), 100);
}

} // namespace
