#include "support/GameSupport.h"
#include "support/TestAccess.h"

#include "engine/DisplayManager.h"
#include "game/KnockdownPrompt.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

#include <functional>

namespace {

using gametest::firstOf;

class KnockdownPromptTest : public gametest::GameTest {
protected:
    static bool rowIsEmpty(int row) {
        for (int column = 0; column < 80; ++column) {
            if (TestAccess::shownCell(column, row).drawn)
                return false;
        }
        return true;
    }

    // One key changed while down: the press starts nothing, the held event counts.
    void mash(mw::Key key) {
        m_driver.press(key);
        m_driver.advance();
        m_driver.release(key);
    }
};

TEST_F(KnockdownPromptTest, ShowsTheKeysAndPressesWhileTheHeroIsDown) {
    MW_OPEN_WINDOW();
    struct Case {
        const char* name;
        // Ends the knockdown, or the fight, of the hero given.
        std::function<void(Hero&, mw::FrameDriver&)> leaveTheFloor;
    };
    const Case cases[] = {
        {"he gets up",
         [](Hero& hero, mw::FrameDriver& driver) {
             TestAccess::setMash(hero, 50, mw::KEY_UNDEFINED);
             driver.advance();
             ASSERT_FALSE(hero.isDown());
         }},
        {"the round ends",
         [](Hero& hero, mw::FrameDriver& driver) {
             TestAccess::timer(*firstOf<RoundSystem>())->setTimeLeft(0);
             driver.advance();
             ASSERT_TRUE(hero.isFrozen());
         }},
        {"he stays down and loses",
         [](Hero& hero, mw::FrameDriver& driver) {
             driver.advance(300);
             ASSERT_TRUE(hero.isFrozen());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MatchLoader::getInstance().startMatch(1);
        m_driver.advance();
        Hero* hero = firstOf<Hero>();
        ASSERT_NE(hero, nullptr);
        EXPECT_TRUE(rowIsEmpty(4));
        EXPECT_TRUE(rowIsEmpty(5));

        for (int swing = 0; swing < 10; ++swing)
            hero->takeHit();
        ASSERT_TRUE(hero->isDown());
        m_driver.advance();
        // Centred on column 43: 23 characters from column 31, 13 from column 36.
        EXPECT_EQ(shownText(31, 4, 23), "Mash Q W O P to get up!");
        EXPECT_TRUE(shownInColor(31, 4, 23, mw::COLOR_YELLOW));
        EXPECT_EQ(shownText(36, 5, 13), "Presses: 0/50");
        EXPECT_TRUE(shownInColor(36, 5, 13, mw::COLOR_WHITE));

        mash(mw::KEY_Q);
        mash(mw::KEY_W);
        EXPECT_EQ(shownText(36, 5, 13), "Presses: 2/50");

        c.leaveTheFloor(*hero, m_driver);
        m_driver.advance();
        EXPECT_TRUE(rowIsEmpty(4));
        EXPECT_TRUE(rowIsEmpty(5));
    }
}

TEST_F(KnockdownPromptTest, LeavesTheTutorialsLinesUncovered) {
    // In the tutorial nothing freezes the hero, so the prompt shares the
    // screen with the lesson's lines.
    MW_OPEN_WINDOW();
    MatchLoader::getInstance().clearWorld();
    new TitleScreen;
    gametest::sendKey(mw::KEY_T, mw::KEY_PRESSED);
    Hero* hero = firstOf<Hero>();
    ASSERT_NE(hero, nullptr);
    for (int swing = 0; swing < 10; ++swing)
        hero->takeHit();
    m_driver.advance();
    EXPECT_EQ(shownText(31, 4, 23), "Mash Q W O P to get up!");
    EXPECT_EQ(shownText(36, 2, 8), "Tutorial");
    EXPECT_EQ(shownText(32, 22, 21), "Press Q to DODGE LEFT");
    EXPECT_EQ(shownText(22, 23, 42), "Glove cocked on the right: lean away, left");
}

} // namespace
