// The top rows of a fight as shown: the round, both health bars, the clock,
// and the knockdown prompt under them.

#include "support/GameSupport.h"

#include "game/RoundUI.h"

namespace {

using namespace gametest;

using MatchDisplayTest = GameTest;

// A health bar's 24 cells: `filled` of them '#' in the colour, the rest '.' in white.
std::string bar(int filled) {
    return "HP: [" + std::string(filled, '#') + std::string(24 - filled, '.') + "]";
}
std::string barColours(int filled, char colour) {
    return "wwwww" + std::string(filled, colour) + std::string(25 - filled, 'w');
}

TEST_F(MatchDisplayTest, BarsClockAndRoundAreDrawnWhereAndHowTheyBelong) {
    MW_OPEN_WINDOW();
    startFight(1);
    const struct {
        int hero, opponent, timeLeft, round;
        int heroCells;
        char heroColour;
        int opponentCells;
        char opponentColour;
        const char* clock;
    } cases[] = {
        {100, 51, 90, 1, 24, 'g', 12, 'g', "TIME 1:30"},
        {50, 21, 61, 2, 12, 'y', 5, 'y', "TIME 1:01"},
        {20, 1, 60, 3, 4, 'r', 0, 'r', "TIME 1:00"},
        {0, 99, 59, 10, 0, 'r', 23, 'g', "TIME 0:59"},
        {75, 25, 5, 1, 18, 'g', 6, 'y', "TIME 0:05"},
        {100, 100, -7, 1, 24, 'g', 24, 'g', "TIME 0:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clock);
        TestAccess::setHealth(*m_hero, c.hero);
        m_opponent->getHealthUI()->setHealth(c.opponent);
        clock().setTimeLeft(c.timeLeft);
        clock().updateText();
        TestAccess::roundUI(*m_rounds)->setRound(c.round);
        TestAccess::roundUI(*m_rounds)->updateText();
        m_driver.advance();
        const std::string round = "ROUND " + std::to_string(c.round);
        EXPECT_EQ(shownRow(1), at(39, round));
        EXPECT_EQ(shownRow(1, true), std::string(39, '.') + std::string(round.size(), 'w'));
        EXPECT_EQ(shownRow(2),
                  at(5, bar(c.heroCells)) + at(3, c.clock) + at(3, bar(c.opponentCells)));
        EXPECT_EQ(shownRow(2, true), "....." + barColours(c.heroCells, c.heroColour) + "..." +
                                         std::string(9, 'w') + "..." +
                                         barColours(c.opponentCells, c.opponentColour));
        EXPECT_EQ(shownRow(4), "");
    }

    // Shown while the hero is down and the fight goes on.
    floorHero(*m_hero);
    for (const mw::Key key : {mw::KEY_Q, mw::KEY_W}) {
        m_driver.press(key);
        m_driver.advance();
        m_driver.release(key);
    }
    EXPECT_EQ(shownRow(4), at(31, "Mash Q W O P to get up!"));
    EXPECT_EQ(shownRow(4, true), std::string(31, '.') + std::string(23, 'y'));
    EXPECT_EQ(shownRow(5), at(36, "Presses: 2/50"));
    EXPECT_EQ(shownRow(5, true), std::string(36, '.') + std::string(13, 'w'));
    TestAccess::setMash(*m_hero, 50, mw::KEY_UNDEFINED);
    m_driver.advance(2);
    EXPECT_EQ(shownRow(4) + shownRow(5), "");
    floorHero(*m_hero);
    m_driver.advance();
    EXPECT_EQ(shownRow(5), at(36, "Presses: 0/70"));
    clock().setTimeLeft(0);
    m_driver.advance(2);
    EXPECT_EQ(shownRow(4) + shownRow(5), "");
    EXPECT_EQ(shownRow(10), at(36, "End of round."));
    EXPECT_EQ(shownRow(10, true), std::string(36, '.') + std::string(13, 'w'));
}

} // namespace
