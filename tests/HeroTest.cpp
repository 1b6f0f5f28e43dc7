#include "support/GameSupport.h"

#include "engine/EventStep.h"

namespace {

using namespace gametest;

class HeroTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        startFight(1);
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

    mw::Key m_mashKey = mw::KEY_W;
};

TEST_F(HeroTest, EachKeyStartsATenFrameMoveWithItsSpriteAndSound) {
    EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
    EXPECT_EQ(m_hero->getHealthUI()->getPosition(), mw::Vector(5, 2));
    const struct {
        mw::Key key;
        int move;
        const char* sprite;
        // A punch makes the waiting opponent dodge, then wind up; the next
        // punch finds it winding up.
        Lines sounds, later;
    } cases[] = {
        {mw::KEY_Q, DODGE_LEFT, "hero-d-left", {"hero-dodge"}, {}},
        {mw::KEY_W, DODGE_RIGHT, "hero-d-right", {"hero-dodge"}, {}},
        {mw::KEY_P,
         SWING_RIGHT,
         "hero-s-right",
         {"hero-swing", "opponent-dodge"},
         {"opponent-charge"}},
        {mw::KEY_O, SWING_LEFT, "hero-s-left", {"hero-swing"}, {}},
    };
    for (const auto& c : cases) {
        m_driver.tap(c.key);
        std::string shown; // per frame: M the move's sprite, i idle
        for (int frame = 0; frame < 12; ++frame) {
            if (frame == 5)
                m_driver.tap(mw::KEY_P); // no second move while one lasts
            m_driver.advance();
            const std::string label = m_hero->getSpriteLabel();
            shown += label == c.sprite ? 'M' : label == "hero-idle" ? 'i' : '?';
            if (frame == 0) {
                EXPECT_EQ(m_hero->getMove(), c.move) << c.sprite;
                EXPECT_EQ(heard(), c.sounds) << c.sprite;
            }
        }
        EXPECT_EQ(shown, "MMMMMMMMMMii") << c.sprite;
        EXPECT_EQ(heard(), c.later) << c.sprite;
    }
}

TEST_F(HeroTest, ADodgeTakesTheSwingOfItsSideUntilItEnds) {
    const Lines dodged = {"hero-dodge", "successful-dodge"}, hit = {"hero-dodge", "hero-hit"};
    const struct {
        mw::Key dodge;
        int swing, framesAfter, health;
        Lines sounds;
    } cases[] = {
        {mw::KEY_W, SWING_RIGHT, 0, 100, dodged}, {mw::KEY_W, SWING_RIGHT, 9, 100, dodged},
        {mw::KEY_W, SWING_RIGHT, 10, 90, hit},    {mw::KEY_Q, SWING_LEFT, 0, 100, dodged},
        {mw::KEY_Q, SWING_LEFT, 9, 100, dodged},  {mw::KEY_Q, SWING_LEFT, 10, 90, hit},
        {mw::KEY_Q, SWING_RIGHT, 4, 90, hit},     {mw::KEY_W, SWING_LEFT, 4, 90, hit},
    };
    for (const auto& c : cases) {
        TestAccess::setHealth(*m_hero, 100);
        m_driver.tap(c.dodge);
        m_driver.advance(1 + c.framesAfter);
        swingAt(*m_hero, c.swing);
        EXPECT_EQ(m_hero->getHealth(), c.health) << c.dodge << " " << c.framesAfter;
        EXPECT_EQ(heard(), c.sounds) << c.dodge << " " << c.framesAfter;
        m_driver.advance(10);
    }
}

TEST_F(HeroTest, TenHitsFloorHimAndAlternatingKeysGetHimUp) {
    for (int swing = 0; swing < 9; ++swing)
        swingAt(*m_hero, SWING_RIGHT);
    EXPECT_EQ(m_hero->getHealth(), 10);
    const int healthOnGettingUp[] = {75, 50, 25}, pressesNeeded[] = {50, 70, 90};
    for (int knockdown = 1; knockdown <= 3; ++knockdown) {
        SCOPED_TRACE(knockdown);
        const std::string needed = std::to_string(pressesNeeded[knockdown - 1]);
        m_hero->setPosition(mw::Vector(3, 3));
        floorHero(*m_hero);
        EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-down");
        EXPECT_EQ(countLogged("Hero: knockdown #" + std::to_string(knockdown) + ", need " + needed +
                              " presses"),
                  1);
        mash(pressesNeeded[knockdown - 1] - 1);
        m_driver.advance(); // the held key is sent again but counts once
        m_hero->setPosition(mw::Vector(3, 3));
        mash(1); // counted after this frame's step: he is up at the next one
        EXPECT_TRUE(m_hero->isDown());
        EXPECT_TRUE(logged("Mash " + needed + "/" + needed +
                           " (key=" + std::to_string(static_cast<int>(m_mashKey)) + ")"));
        m_driver.advance();
        EXPECT_FALSE(m_hero->isDown());
        EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
        EXPECT_EQ(m_hero->getHealth(), healthOnGettingUp[knockdown - 1]);
        EXPECT_EQ(countLogged("Hero: RECOVERED (HP=" + std::to_string(m_hero->getHealth()) + ")"),
                  1);
    }
    EXPECT_TRUE(logged("Mash 1/50 (key=" + std::to_string(static_cast<int>(mw::KEY_Q)) + ")"));
    EXPECT_EQ(m_hero->getMatchKnockdowns(), 3);
}

TEST_F(HeroTest, OnlyAChangeToAnotherOfTheFourKeysIsAPress) {
    const struct {
        std::vector<mw::Key> keys;
        bool tapped, frozen;
        int counted; // in ten frames
    } cases[] = {
        {{mw::KEY_Q}, false, false, 1},
        {{mw::KEY_Q, mw::KEY_W}, false, false, 20},
        {{mw::KEY_O, mw::KEY_P}, false, false, 20},
        {{mw::KEY_A, mw::KEY_SPACE}, false, false, 0},
        {{mw::KEY_Q, mw::KEY_W}, true, false, 0},
        {{mw::KEY_O, mw::KEY_P}, false, true, 0},
    };
    for (const auto& c : cases) {
        TestAccess::setDown(*m_hero, false);
        TestAccess::setRoundKnockdowns(*m_hero, 0);
        floorHero(*m_hero);
        m_hero->setFrozen(c.frozen);
        for (int frame = 0; frame < 10; ++frame) {
            for (const mw::Key key : c.keys) {
                if (c.tapped && key == c.keys[frame % 2])
                    m_driver.tap(key);
                else if (!c.tapped && frame == 0)
                    m_driver.press(key);
            }
            m_driver.advance();
        }
        EXPECT_EQ(m_hero->getMashCount(), c.counted) << c.keys[0] << c.tapped << c.frozen;
        for (const mw::Key key : c.keys)
            m_driver.release(key);
        m_hero->setFrozen(false);
    }
}

TEST_F(HeroTest, LosesByTkoAfterThreeHundredStepsDownOrAtTheFourthKnockdown) {
    const struct {
        int earlierKnockdowns, stepsToLoss;
        std::string knockdownLine;
    } cases[] = {{0, 300, "Hero: knockdown #1, need 50 presses"},
                 {3, 1, "Hero: knockdown #4, need 110 presses"},
                 {4, 0, ""}};
    int losses = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.earlierKnockdowns);
        startFight(1);
        heard();
        TestAccess::setRoundKnockdowns(*m_hero, c.earlierKnockdowns);
        floorHero(*m_hero);
        if (c.stepsToLoss > 0) {
            EXPECT_EQ(countLogged(c.knockdownLine), 1);
            m_driver.advance(c.stepsToLoss - 1);
            EXPECT_EQ(countLogged("HERO LOSES BY TKO"), losses);
            m_driver.advance();
        }
        EXPECT_EQ(countLogged("HERO LOSES BY TKO"), ++losses);
        m_driver.advance(5);
        EXPECT_EQ(countLogged("HERO LOSES BY TKO"), losses);
        EXPECT_EQ(messages(), Lines{"You lost by TKO."});
        EXPECT_EQ(heard(), (Lines{"hero-hit", "tko"}));
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-down");
    }
}

TEST_F(HeroTest, AMoveKeyWhileFrozenOrDownShowsItsPoseButBlocksMovesAfterIt) {
    for (const bool frozen : {true, false}) {
        m_hero->setFrozen(frozen);
        m_opponent->setFrozen(frozen);
        if (!frozen)
            floorHero(*m_hero);
        heard();
        m_driver.tap(mw::KEY_P);
        m_driver.advance();
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-s-right");
        m_hero->setPosition(mw::Vector(3, 3));
        m_driver.tap(mw::KEY_O);
        m_driver.advance(20);
        EXPECT_EQ(m_hero->getSpriteLabel(), frozen ? "hero-s-right" : "hero-down");
        EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
        EXPECT_EQ(heard(), Lines{"hero-swing"}); // and the opponent takes no notice
        m_hero->setFrozen(false);
        m_opponent->setFrozen(false);
        m_driver.advance(10);
    }
    m_hero->setFrozen(true);
    TestAccess::setDown(*m_hero, false);
    TestAccess::setHealth(*m_hero, 10);
    swingAt(*m_hero, SWING_LEFT);
    EXPECT_FALSE(m_hero->isDown()); // not while frozen
}

TEST_F(HeroTest, TheEventHandlerSaysWhatItHandled) {
    using K = mw::EventKeyboard;
    EXPECT_EQ(m_hero->eventHandler(mw::EventStep(1)), 1);
    EXPECT_EQ(m_hero->eventHandler(K(mw::KEY_A, mw::KEY_PRESSED)), 0);
    EXPECT_EQ(m_hero->eventHandler(K(mw::KEY_P, mw::KEY_HELD)), 0);
    EXPECT_EQ(m_hero->eventHandler(K(mw::KEY_P, mw::KEY_PRESSED)), 1);
    EXPECT_EQ(m_hero->eventHandler(K(mw::KEY_O, mw::KEY_PRESSED)), 0);
    EXPECT_EQ(m_hero->eventHandler(EventBoxerCollision(SWING_LEFT)), 1);
    EXPECT_EQ(m_hero->eventHandler(EventBoxerCollision(DODGE_LEFT)), 0);
    EXPECT_EQ(m_hero->eventHandler(mw::Event()), 0);
    floorHero(*m_hero);
    EXPECT_EQ(m_hero->eventHandler(K(mw::KEY_Q, mw::KEY_HELD)), 1);
}

} // namespace
