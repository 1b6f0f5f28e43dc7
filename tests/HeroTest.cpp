#include "support/GameSupport.h"

namespace {

using namespace gametest;

using HeroTest = FightTest;

TEST_F(HeroTest, EachKeyStartsATenFrameMoveWithItsSpriteAndSound) {
    // A punch makes the waiting opponent dodge, then wind up; the next punch finds it winding up.
    for (const auto& [key, move, sprite, sounds, later] :
         {std::tuple{mw::KEY_Q, DODGE_LEFT, "hero-d-left", Lines{"hero-dodge"}, Lines{}},
          {mw::KEY_W, DODGE_RIGHT, "hero-d-right", Lines{"hero-dodge"}, Lines{}},
          {mw::KEY_P, SWING_RIGHT, "hero-s-right", Lines{"hero-swing", "opponent-dodge"},
           Lines{"opponent-charge"}},
          {mw::KEY_O, SWING_LEFT, "hero-s-left", Lines{"hero-swing"}, Lines{}}}) {
        m_driver.tap(key);
        std::string shown; // per frame: M the move's sprite, i idle
        for (int frame = 0; frame < 12; ++frame) {
            if (frame == 5)
                m_driver.tap(mw::KEY_P); // no second move while one lasts
            m_driver.advance();
            const std::string label = m_hero->getSpriteLabel();
            shown += label == sprite ? 'M' : label == "hero-idle" ? 'i' : '?';
            if (frame == 0) {
                EXPECT_EQ(m_hero->getMove(), move) << sprite;
                EXPECT_EQ(heard(), sounds) << sprite;
            }
        }
        EXPECT_EQ(shown, "MMMMMMMMMMii") << sprite;
        EXPECT_EQ(heard(), later) << sprite;
    }
}

TEST_F(HeroTest, ADodgeTakesTheSwingOfItsSideUntilItEnds) {
    for (const auto& [dodge, swing, framesAfter, health, sound] :
         {std::tuple{mw::KEY_W, SWING_RIGHT, 9, 100, "successful-dodge"},
          {mw::KEY_W, SWING_RIGHT, 10, 90, "hero-hit"},
          {mw::KEY_Q, SWING_LEFT, 9, 100, "successful-dodge"},
          {mw::KEY_Q, SWING_LEFT, 10, 90, "hero-hit"},
          {mw::KEY_Q, SWING_RIGHT, 4, 90, "hero-hit"},
          {mw::KEY_W, SWING_LEFT, 4, 90, "hero-hit"}}) {
        m_hero->getHealthUI()->setHealth(100);
        m_driver.tap(dodge);
        m_driver.advance(1 + framesAfter);
        m_hero->eventHandler(EventBoxerCollision(swing));
        EXPECT_EQ(m_hero->getHealth(), health) << dodge << " " << framesAfter;
        EXPECT_EQ(heard(), (Lines{"hero-dodge", sound})) << dodge << " " << framesAfter;
        m_driver.advance(10);
    }
}

TEST_F(HeroTest, TenHitsFloorHimMashingGetsHimUpAndAFourthKnockdownIsATko) {
    for (int swing = 0; swing < 9; ++swing)
        m_hero->eventHandler(EventBoxerCollision(SWING_RIGHT));
    EXPECT_EQ(m_hero->getHealth(), 10);
    mw::Key key = mw::KEY_W;
    for (const auto& [knockdown, needed, health] :
         {std::tuple{1, 50, 75}, {2, 70, 50}, {3, 90, 25}, {4, 110, 0}}) {
        SCOPED_TRACE(knockdown);
        m_hero->setPosition(mw::Vector(3, 3));
        floorHero(*m_hero);
        EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-down");
        const std::string count = std::to_string(needed);
        EXPECT_EQ(countLogged("Hero: knockdown #" + std::to_string(knockdown) + ", need " + count +
                              " presses"),
                  1);
        if (knockdown == 4)
            break;
        if (knockdown == 1) { // neither a key held while frozen nor another key counts
            m_hero->setFrozen(true);
            sendKey(mw::KEY_Q, mw::KEY_HELD);
            m_hero->setFrozen(false);
            sendKey(mw::KEY_A, mw::KEY_HELD);
            sendKey(mw::KEY_SPACE, mw::KEY_HELD);
            EXPECT_EQ(m_hero->getMashCount(), 0);
        }
        for (int press = 1; press <= needed; ++press) {
            if (press == needed) {
                m_driver.advance(); // the held key is sent again but counts once
                m_hero->setPosition(mw::Vector(3, 3));
            }
            m_driver.release(key);
            key = key == mw::KEY_Q ? mw::KEY_W : mw::KEY_Q;
            m_driver.press(key);
            m_driver.advance();
        }
        EXPECT_TRUE(m_hero->isDown()); // counted after this frame's step: up at the next one
        EXPECT_TRUE(logged("Mash " + count + "/" + count +
                           " (key=" + std::to_string(static_cast<int>(key)) + ")"));
        m_driver.advance();
        EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
        EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
        EXPECT_EQ(m_hero->getHealth(), health);
        EXPECT_EQ(countLogged("Hero: RECOVERED (HP=" + std::to_string(health) + ")"), 1);
    }
    EXPECT_TRUE(logged("Mash 1/50 (key=" + std::to_string(static_cast<int>(mw::KEY_Q)) + ")"));
    EXPECT_EQ(m_hero->getMatchKnockdowns(), 4);
    // The fourth loses at the next step, once.
    heard();
    EXPECT_FALSE(logged("HERO LOSES BY TKO"));
    m_driver.advance();
    EXPECT_EQ(countLogged("HERO LOSES BY TKO"), 1);
    m_driver.advance(5);
    EXPECT_EQ(countLogged("HERO LOSES BY TKO"), 1);
    EXPECT_EQ(messages(), Lines{"You lost by TKO."});
    EXPECT_EQ(heard(), (Lines{"tko"}));
    EXPECT_EQ(m_hero->getSpriteLabel(), "hero-down");
}

TEST_F(HeroTest, WhileFrozenOrDownAMoveKeyShowsItsPoseButBlocksMovesAfterIt) {
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
    m_hero->startRound();
    m_hero->setFrozen(true);
    m_hero->getHealthUI()->setHealth(10);
    m_hero->eventHandler(EventBoxerCollision(SWING_LEFT));
    EXPECT_FALSE(m_hero->isDown()); // not while frozen
}

} // namespace
