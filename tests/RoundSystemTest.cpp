#include "support/GameSupport.h"

#include "game/KnockdownPrompt.h"
#include "game/RoundUI.h"

#include <functional>

namespace {

using namespace gametest;

const std::string PROMPT = "Press any key to continue.";

class RoundSystemTest : public FightTest {
protected:
    int framesUntil(const std::function<bool()>& condition) {
        int frames = 0;
        for (; !condition() && frames < 3000; ++frames)
            m_driver.advance();
        return frames;
    }
    int framesToPrompt() {
        return framesUntil([] { return std::ranges::count(messages(), PROMPT) > 0; });
    }
    int framesToRoundEnd() {
        clock().setTimeLeft(1);
        return framesUntil([] { return !messages().empty(); });
    }

    std::string shown() const {
        std::string text = firstOf<RoundUI>()->getText() + ", " + clock().getText();
        for (const TextDisplay* message : objectsOf<TextDisplay>())
            text += ", " + message->getText() + " at " +
                    std::to_string(int(message->getPosition().getX())) + "," +
                    std::to_string(int(message->getPosition().getY()));
        return text;
    }

    void knockDownOpponent() {
        if (m_opponent->isDown())
            m_opponent->startRound();
        m_opponent->getHealthUI()->setHealth(10);
        m_opponent->takeHit();
    }
};

TEST_F(RoundSystemTest, ThreeRoundsWithPausesBetweenEndInTheJudgesDecision) {
    m_driver.advance(30);
    EXPECT_EQ(shown(), "ROUND 1, TIME 1:29");
    m_hero->getHealthUI()->setHealth(95);
    EXPECT_EQ(framesToRoundEnd(), 31); // a second is 30 steps
    EXPECT_EQ(shown(), "ROUND 1, TIME 0:00, End of round. at 43,10");
    EXPECT_TRUE(m_hero->isFrozen() && m_opponent->isFrozen());
    m_driver.tap(mw::KEY_A); // too early
    EXPECT_EQ(framesToPrompt(), 90);
    EXPECT_EQ(shown(), "ROUND 1, TIME 0:00, " + PROMPT + " at 43,22");
    const TextDisplay* prompt = firstOf<TextDisplay>();
    m_driver.advance(89);
    EXPECT_EQ(firstOf<TextDisplay>(), prompt);
    m_driver.advance(); // shown afresh every 90 steps
    EXPECT_NE(firstOf<TextDisplay>(), prompt);
    EXPECT_EQ(messages(), Lines{PROMPT});
    m_driver.advance(40);
    sendKey(mw::KEY_SPACE, mw::KEY_HELD);
    sendKey(mw::KEY_SPACE, mw::KEY_RELEASED);
    EXPECT_EQ(m_rounds->getRound(), 1);
    sendKey(mw::KEY_SPACE, mw::KEY_PRESSED);
    EXPECT_EQ(shown(), "ROUND 2, TIME 1:30");
    EXPECT_EQ(m_hero->getHealth(), 100);
    EXPECT_FALSE(m_hero->isFrozen() || m_opponent->isFrozen());
    // Round 2 ends with both boxers down, mid-count and off home.
    knockDownOpponent();
    floorHero(*m_hero);
    mash(7);
    TestAccess::setMove(*m_opponent, CHARGE_LEFT);
    m_hero->setPosition(mw::Vector(3, 3));
    m_opponent->setPosition(mw::Vector(5, 5));
    framesToRoundEnd();
    EXPECT_EQ(framesToPrompt(), 90 - 40); // the pause count ran on after the last prompt
    m_driver.tap(mw::KEY_ENTER);
    m_driver.advance();
    EXPECT_EQ(shown(), "ROUND 3, TIME 1:30");
    // Up at home, health kept (the hero's with 10 more), no knockdowns this round.
    const auto rested = [](const auto& boxer) {
        return std::tuple(boxer.isDown(), boxer.getDownTime(), boxer.getRoundKnockdowns(),
                          boxer.getMatchKnockdowns(), boxer.getPosition());
    };
    EXPECT_EQ(rested(*m_hero), std::tuple(false, 0, 0, 1, mw::Vector(42, 19)));
    EXPECT_EQ(rested(*m_opponent), std::tuple(false, 0, 0, 1, mw::Vector(42, 16)));
    EXPECT_EQ(m_hero->getSpriteLabel() + m_opponent->getSpriteLabel(), "hero-idleopponent-down");
    EXPECT_EQ(std::tuple(m_hero->getHealth(), m_hero->getMashCount(), m_hero->getLastMashKey(),
                         m_opponent->getHealthUI()->getHealth(), m_opponent->getMove()),
              std::tuple(10, 0, -1, 0, 0));

    knockDownOpponent();
    framesToRoundEnd();
    framesToPrompt();
    m_driver.advance(200); // a decision counts three full rounds whatever the pause
    m_driver.tap(mw::KEY_A);
    m_driver.advance();
    EXPECT_EQ(shown(), "ROUND 3, TIME 0:00, You won by decision! at 43,10, Times down: you 1, "
                       "him 2 at 43,11, New best: 4:30 at 43,12");
    EXPECT_EQ(highScoreFile(), "430\n\n\n");
    framesToPrompt();
    m_driver.tap(mw::KEY_SPACE);
    m_driver.tap(mw::KEY_ENTER);
    m_driver.advance();
    EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
}

TEST_F(RoundSystemTest, TheJudgesGiveTheFightToWhoWasDownLessOften) {
    for (const auto& [hero, opponent, result] :
         {std::tuple{0, 0,
                     Lines{"The judges have ruled the game a tie.", "Times down: you 0, him 0"}},
          {1, 1, Lines{"The judges have ruled the game a tie.", "Times down: you 1, him 1"}},
          {1, 2, Lines{"You won by decision!", "Times down: you 1, him 2", "New best: 0:00"}},
          {1, 0, Lines{"You lost by decision.", "Times down: you 1, him 0"}},
          {2, 1, Lines{"You lost by decision.", "Times down: you 2, him 1"}}}) {
        startFight(1);
        for (int knockdown = 0; knockdown < hero; ++knockdown) {
            m_hero->startRound();
            floorHero(*m_hero);
        }
        for (int knockdown = 0; knockdown < opponent; ++knockdown)
            knockDownOpponent();
        m_rounds->judgeDecision();
        EXPECT_EQ(messages(), result) << hero << ":" << opponent;
    }
    // Without boxers nothing is done to them.
    MatchLoader::getInstance().clearWorld();
    mw::WorldManager::getInstance().update();
    m_rounds = new RoundSystem(nullptr, nullptr);
    clock().setTimeLeft(0);
    EXPECT_EQ(framesToPrompt(), 91);
    sendKey(mw::KEY_SPACE, mw::KEY_PRESSED);
    m_rounds->judgeDecision();
    EXPECT_EQ(messages(),
              (Lines{"The judges have ruled the game a tie.", "Times down: you 0, him 0"}));
}

std::string bar(int filled) {
    return "HP: [" + std::string(filled, '#') + std::string(24 - filled, '.') + "]";
}
std::string barColours(int filled, char colour) {
    return "wwwww" + std::string(filled, colour) + std::string(25 - filled, 'w');
}

TEST_F(RoundSystemTest, BarsClockRoundAndKnockdownCountAreDrawnWhereAndHowTheyBelong) {
    MW_OPEN_WINDOW();
    const struct {
        int hero, opponent, timeLeft, round, heroCells, opponentCells;
        char heroColour, opponentColour;
        const char* clock;
    } cases[] = {{100, 51, 90, 1, 24, 12, 'g', 'g', "TIME 1:30"},
                 {50, 21, 61, 2, 12, 5, 'y', 'y', "TIME 1:01"},
                 {20, 1, 60, 3, 4, 0, 'r', 'r', "TIME 1:00"},
                 {0, 99, 59, 10, 0, 23, 'r', 'g', "TIME 0:59"},
                 {75, 25, 5, 1, 18, 6, 'g', 'y', "TIME 0:05"},
                 {100, 100, -7, 1, 24, 24, 'g', 'g', "TIME 0:00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clock);
        m_hero->getHealthUI()->setHealth(c.hero);
        m_opponent->getHealthUI()->setHealth(c.opponent);
        clock().setTimeLeft(c.timeLeft);
        clock().updateText();
        firstOf<RoundUI>()->setRound(c.round);
        firstOf<RoundUI>()->updateText();
        m_driver.advance();
        const std::string round = "ROUND " + std::to_string(c.round);
        const std::string gap(11 - round.size(), ' ');
        EXPECT_EQ(shownRow(1), at(5, "YOU") + at(31, round) + gap + "'Zaz Eruz Arizi'");
        EXPECT_EQ(shownRow(1, true), ".....ccc" + std::string(31, '.') +
                                         std::string(round.size(), 'w') +
                                         std::string(gap.size(), '.') + std::string(16, 'm'));
        EXPECT_EQ(shownRow(2),
                  at(5, bar(c.heroCells)) + at(3, c.clock) + at(3, bar(c.opponentCells)));
        EXPECT_EQ(shownRow(2, true), "....." + barColours(c.heroCells, c.heroColour) + "..." +
                                         std::string(9, 'w') + "..." +
                                         barColours(c.opponentCells, c.opponentColour));
        EXPECT_EQ(shownRow(4), "");
    }
    floorHero(*m_hero);
    for (const mw::Key key : {mw::KEY_Q, mw::KEY_W}) {
        m_driver.press(key);
        m_driver.advance();
        m_driver.release(key);
    }
    EXPECT_EQ(shownRow(4), at(29, "Alternate Q W O P to get up!"));
    EXPECT_EQ(shownRow(4, true), std::string(29, '.') + std::string(28, 'y'));
    EXPECT_EQ(shownRow(5), at(36, "Presses: 2/50"));
    EXPECT_EQ(shownRow(5, true), std::string(36, '.') + std::string(13, 'w'));
    EXPECT_EQ(shownRow(6), at(35, "10 seconds left"));
    EXPECT_EQ(shownRow(6, true), std::string(35, '.') + std::string(15, 'r'));
    mash(48);
    m_driver.advance(2);
    EXPECT_EQ(shownRow(4) + shownRow(5) + shownRow(6), "");
    floorHero(*m_hero);
    m_driver.advance();
    EXPECT_EQ(shownRow(5), at(36, "Presses: 0/70"));
    clock().setTimeLeft(0);
    m_driver.advance(2);
    EXPECT_EQ(shownRow(4) + shownRow(5) + shownRow(6), "");
    EXPECT_EQ(shownRow(10), at(36, "End of round."));
    EXPECT_EQ(shownRow(10, true), std::string(36, '.') + std::string(13, 'w'));
    EXPECT_EQ(firstOf<KnockdownPrompt>()->draw(), 0); // with nothing to show
    startFight(1);
    floorHero(*m_hero);
    std::string changes, last = "?"; // the frame at which row 6 changed, its column and text
    for (int frame = 1; frame <= 301; ++frame) {
        m_driver.advance();
        const std::string row = shownRow(6);
        const std::size_t column = std::min(row.find_first_not_of(' '), row.size());
        if (row != last)
            changes += std::to_string(frame) + "@" + std::to_string(column) + " " +
                       row.substr(column) + ", ";
        last = row;
    }
    EXPECT_EQ(changes, "1@35 10 seconds left, 30@36 9 seconds left, 60@36 8 seconds left, 90@36 7 "
                       "seconds left, 120@36 6 seconds left, 150@36 5 seconds left, 180@36 4 "
                       "seconds left, 210@36 3 seconds left, 240@36 2 seconds left, 270@36 1 "
                       "second left, 300@0 , ");
    EXPECT_EQ(messages(), Lines{"You lost by TKO."});
}

} // namespace
