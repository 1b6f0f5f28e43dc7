#include "support/GameSupport.h"
#include "support/TestAccess.h"

#include "game/BoxerMove.h"
#include "game/EventGameOver.h"
#include "game/GameOverResult.h"
#include "game/HealthUI.h"
#include "game/RoundUI.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

#include <optional>

namespace {

using gametest::firstOf;
using gametest::messages;
using gametest::objectsOf;
using gametest::showsMessage;
using Lines = std::vector<std::string>;

const std::string END_OF_ROUND = "End of round.";
const std::string PROMPT = "Press any key to continue.";

class RoundSystemTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        loadBoxerSprites();
        newFight();
    }

    // A fight against the first opponent, the title screen's way.
    void newFight() {
        MatchLoader::getInstance().startMatch(1);
        mw::WorldManager::getInstance().update();
        m_referee = firstOf<RoundSystem>();
        m_hero = firstOf<Hero>();
        m_opponent = firstOf<Opponent1>();
        ASSERT_NE(m_referee, nullptr);
        ASSERT_NE(m_hero, nullptr);
        ASSERT_NE(m_opponent, nullptr);
    }

    Timer& timer() const { return *TestAccess::timer(*m_referee); }

    // The clock reads 0 at the next step, which ends the round.
    void endRound() {
        timer().setTimeLeft(0);
        m_driver.advance();
        ASSERT_FALSE(TestAccess::isRoundActive(*m_referee));
    }

    // Steps until the prompt shows, which takes at most ninety.
    void waitForPrompt() {
        for (int steps = 0; steps < 90; ++steps) {
            m_driver.advance();
            if (TestAccess::isAwaitingKey(*m_referee))
                return;
        }
        ADD_FAILURE() << "no prompt";
    }

    void pressKey(mw::Key key = mw::KEY_SPACE) {
        m_driver.tap(key);
        m_driver.advance();
    }

    void playToNextRound() {
        endRound();
        waitForPrompt();
        pressKey();
    }

    // Lands full bars of punches; the hero is left down.
    void knockDownHero(int times) {
        for (int knockdown = 0; knockdown < times; ++knockdown) {
            TestAccess::setDown(*m_hero, false);
            TestAccess::setHealth(*m_hero, 100);
            for (int punch = 0; punch < 10; ++punch)
                m_hero->takeHit();
        }
    }

    void knockDownOpponent(int times) {
        for (int knockdown = 0; knockdown < times; ++knockdown) {
            TestAccess::setDown(*m_opponent, false);
            m_opponent->getHealthUI()->setHealth(100);
            for (int punch = 0; punch < 10; ++punch)
                m_opponent->takeHit();
        }
    }

    static mw::Vector positionOf(const std::string& text) {
        for (const TextDisplay* message : objectsOf<TextDisplay>()) {
            if (message->getText() == text)
                return message->getPosition();
        }
        ADD_FAILURE() << "no message " << text;
        return {};
    }

    RoundSystem* m_referee = nullptr;
    Hero* m_hero = nullptr;
    Opponent1* m_opponent = nullptr;
};

TEST_F(RoundSystemTest, OnlyAClockAtExactlyZeroEndsTheRound) {
    struct Case {
        int timeLeft;
        bool ends;
    };
    for (const Case c : {Case{1, false}, Case{0, true}, Case{-1, false}}) {
        SCOPED_TRACE(c.timeLeft);
        newFight();
        timer().setTimeLeft(c.timeLeft);
        m_driver.advance();
        EXPECT_EQ(TestAccess::isRoundActive(*m_referee), !c.ends);
        EXPECT_EQ(m_hero->isFrozen(), c.ends);
        EXPECT_EQ(m_opponent->isFrozen(), c.ends);
        EXPECT_EQ(messages(), c.ends ? Lines{END_OF_ROUND} : Lines{});
        if (c.ends) {
            EXPECT_EQ(positionOf(END_OF_ROUND), mw::Vector(43, 10));
        }
        EXPECT_FALSE(TestAccess::isAwaitingKey(*m_referee));
    }
}

TEST_F(RoundSystemTest, PromptFollowsWhatIsLeftOfNinetyPausedSteps) {
    struct Case {
        int leftOver;
        int steps;
    };
    // The count is shared by every pause of the program and reset only when a
    // prompt shows, so an earlier pause can shorten this one.
    for (const Case c : {Case{0, 90}, Case{50, 40}, Case{89, 1}}) {
        SCOPED_TRACE(c.leftOver);
        newFight();
        endRound();
        sharedCounts().pauseSteps = c.leftOver;
        m_driver.advance(c.steps - 1);
        EXPECT_FALSE(TestAccess::isAwaitingKey(*m_referee));
        EXPECT_EQ(messages(), (Lines{END_OF_ROUND}));
        m_driver.advance();
        EXPECT_TRUE(TestAccess::isAwaitingKey(*m_referee));
        EXPECT_EQ(messages(), (Lines{PROMPT}));
        EXPECT_EQ(positionOf(PROMPT), mw::Vector(43, 22));
        EXPECT_EQ(sharedCounts().pauseSteps, 0);

        // Shown afresh every ninety steps while nobody presses a key.
        const TextDisplay* prompt = firstOf<TextDisplay>();
        m_driver.advance(90 - 1);
        EXPECT_EQ(firstOf<TextDisplay>(), prompt);
        m_driver.advance();
        EXPECT_NE(firstOf<TextDisplay>(), prompt);
        EXPECT_EQ(messages(), Lines{PROMPT});
        EXPECT_EQ(m_referee->getRound(), 1);
    }
}

TEST_F(RoundSystemTest, OnlyAKeyGoingDownAfterThePromptStartsTheNextRound) {
    endRound();
    m_driver.advance(10);
    pressKey(mw::KEY_Q);
    EXPECT_EQ(m_referee->getRound(), 1);

    waitForPrompt();
    gametest::sendKey(mw::KEY_SPACE, mw::KEY_HELD);
    gametest::sendKey(mw::KEY_SPACE, mw::KEY_RELEASED);
    EXPECT_EQ(m_referee->getRound(), 1);
    EXPECT_EQ(TestAccess::roundUI(*m_referee)->getText(), "ROUND 1");
    EXPECT_TRUE(TestAccess::isAwaitingKey(*m_referee));

    gametest::sendKey(mw::KEY_SPACE, mw::KEY_PRESSED);
    EXPECT_EQ(m_referee->getRound(), 2);
    EXPECT_EQ(TestAccess::roundUI(*m_referee)->getRound(), 2);
    EXPECT_EQ(TestAccess::roundUI(*m_referee)->getText(), "ROUND 2");
    EXPECT_EQ(timer().getTimeLeft(), 90);
    EXPECT_EQ(timer().getText(), "TIME 1:30");
    EXPECT_TRUE(TestAccess::isRoundActive(*m_referee));
    EXPECT_FALSE(TestAccess::isAwaitingKey(*m_referee));
    EXPECT_FALSE(m_hero->isFrozen());
    EXPECT_FALSE(m_opponent->isFrozen());
    EXPECT_TRUE(messages().empty());
}

TEST_F(RoundSystemTest, NewRoundGivesTheHeroTenHealthUpToTheMaximum) {
    struct Case {
        int before, after;
    };
    for (const Case c : {Case{55, 65}, Case{0, 10}, Case{95, 100}, Case{100, 100}}) {
        SCOPED_TRACE(c.before);
        newFight();
        endRound();
        TestAccess::setHealth(*m_hero, c.before);
        waitForPrompt();
        pressKey();
        EXPECT_EQ(m_hero->getHealth(), c.after);
    }
}

TEST_F(RoundSystemTest, NewRoundStandsBothBoxersUpAtHome) {
    knockDownOpponent(1);
    knockDownHero(1);
    endRound();
    // Down, mid-count and off home while the round is over.
    TestAccess::setDownTime(*m_hero, 40);
    TestAccess::setMash(*m_hero, 7, mw::KEY_Q);
    m_hero->setPosition(mw::Vector(3, 3));
    m_opponent->getHealthUI()->setHealth(30);
    TestAccess::setDownTime(*m_opponent, 12);
    TestAccess::setMove(*m_opponent, CHARGE_LEFT);
    m_opponent->setPosition(mw::Vector(5, 5));
    waitForPrompt();
    pressKey();

    EXPECT_FALSE(m_hero->isDown());
    EXPECT_EQ(m_hero->getDownTime(), 0);
    EXPECT_EQ(m_hero->getRoundKnockdowns(), 0);
    EXPECT_EQ(m_hero->getMatchKnockdowns(), 1);
    EXPECT_EQ(m_hero->getMashCount(), 0);
    EXPECT_EQ(TestAccess::lastMashKey(*m_hero), -1);
    EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
    EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));

    EXPECT_FALSE(m_opponent->isDown());
    EXPECT_EQ(m_opponent->getDownTime(), 0);
    EXPECT_EQ(m_opponent->getRoundKnockdowns(), 0);
    EXPECT_EQ(m_opponent->getMatchKnockdowns(), 1);
    EXPECT_EQ(m_opponent->getPosition(), mw::Vector(42, 16));
    EXPECT_EQ(m_opponent->getMove(), IDLE);
    // Not healed between rounds.
    EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), 30);
}

TEST_F(RoundSystemTest, ResultsShowTheirTextAndOnlyWinsAreRecorded) {
    struct Case {
        int code;
        std::optional<std::string> text;
        bool recorded;
    };
    const Case cases[] = {
        {WON_BY_TKO, "You won by TKO!", true},
        {WON_BY_KO, "You won by KO!", true},
        {WON_BY_DECISION, "You won by decision!", true},
        {LOST_BY_TKO, "You lost by TKO.", false},
        {LOST_BY_KO, "You lost by KO.", false},
        {LOST_BY_DECISION, "You lost by decision.", false},
        {DRAW, "The judges have ruled the game a tie.", false},
        {7, std::nullopt, false},
        {-1, std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        std::filesystem::remove(m_scratch.path() / HIGH_SCORE_FILE);
        MatchLoader::getInstance().startUp();
        newFight();
        timer().setTimeLeft(75);
        mw::GameManager::getInstance().onEvent(EventGameOver(c.code));

        EXPECT_TRUE(TestAccess::isMatchOver(*m_referee));
        EXPECT_FALSE(TestAccess::isRoundActive(*m_referee));
        EXPECT_TRUE(m_hero->isFrozen());
        EXPECT_TRUE(m_opponent->isFrozen());
        // The first win against an opponent is always a new best.
        if (c.recorded) {
            EXPECT_EQ(messages(), (Lines{*c.text, "New best: 0:15"}));
        } else {
            EXPECT_EQ(messages(), c.text ? Lines{*c.text} : Lines{});
        }
        if (c.text) {
            EXPECT_EQ(positionOf(*c.text), mw::Vector(43, 10));
        }
        if (c.recorded) {
            EXPECT_EQ(highScoreLines(), (Lines{"015", "", ""}));
        } else {
            EXPECT_FALSE(std::filesystem::exists(m_scratch.path() / HIGH_SCORE_FILE));
        }
    }
}

TEST_F(RoundSystemTest, AWinFasterThanTheKeptTimeIsAnnouncedUnderTheResult) {
    struct Case {
        const char* kept; // the first line of the high-score file
        std::optional<std::string> line;
    };
    const Case cases[] = {
        {"", "New best: 0:15"}, {"020", "New best: 0:15"},  {"015", std::nullopt},
        {"010", std::nullopt},  {"junk", "New best: 0:15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kept);
        useHighScoreFile(std::string(c.kept) + "\n\n\n");
        newFight();
        timer().setTimeLeft(75);
        mw::GameManager::getInstance().onEvent(EventGameOver(WON_BY_TKO));
        if (c.line) {
            EXPECT_EQ(messages(), (Lines{"You won by TKO!", *c.line}));
            EXPECT_EQ(positionOf(*c.line), mw::Vector(43, 11));
        } else {
            EXPECT_EQ(messages(), (Lines{"You won by TKO!"}));
        }
        // Both lines give way to the prompt.
        waitForPrompt();
        EXPECT_EQ(messages(), (Lines{PROMPT}));
    }
}

TEST_F(RoundSystemTest, AResultDuringThePauseEndsTheFight) {
    for (const bool afterPrompt : {false, true}) {
        SCOPED_TRACE(afterPrompt ? "after the prompt" : "before the prompt");
        newFight();
        endRound();
        if (afterPrompt)
            waitForPrompt();
        else
            m_driver.advance(30);
        mw::GameManager::getInstance().onEvent(EventGameOver(LOST_BY_TKO));
        EXPECT_TRUE(showsMessage("You lost by TKO."));
        if (!afterPrompt)
            waitForPrompt();
        pressKey();
        EXPECT_EQ(gametest::worldTypes(), (Lines{"TitleScreen"}));
    }
}

TEST_F(RoundSystemTest, SeveralKeysAfterTheResultLeaveOneTitleScreen) {
    mw::GameManager::getInstance().onEvent(EventGameOver(LOST_BY_TKO));
    waitForPrompt();
    m_driver.tap(mw::KEY_SPACE);
    m_driver.tap(mw::KEY_ENTER);
    m_driver.tap(mw::KEY_A);
    m_driver.advance();
    EXPECT_EQ(gametest::worldTypes(), (Lines{"TitleScreen"}));
}

TEST_F(RoundSystemTest, TheJudgesCountKnockdownsAfterTheThirdRound) {
    // One whole match: the decision comes at the key after the third round and
    // counts three full rounds, however long the last pause lasted.
    knockDownOpponent(1);
    playToNextRound();
    playToNextRound();
    endRound();
    waitForPrompt();
    EXPECT_EQ(m_referee->getRound(), 3);
    EXPECT_FALSE(TestAccess::isMatchOver(*m_referee));
    m_driver.advance(200);
    pressKey();
    EXPECT_EQ(messages(), (Lines{"You won by decision!", "New best: 4:30"}));
    EXPECT_TRUE(TestAccess::isMatchOver(*m_referee));
    EXPECT_EQ(TestAccess::roundUI(*m_referee)->getText(), "ROUND 3");
    EXPECT_EQ(highScoreLines(), (Lines{"430", "", ""}));

    struct Case {
        int heroKnockdowns, opponentKnockdowns;
        std::string text;
    };
    const Case cases[] = {
        {0, 0, "The judges have ruled the game a tie."},
        {1, 1, "The judges have ruled the game a tie."},
        {1, 2, "You won by decision!"},
        {1, 0, "You lost by decision."},
        {2, 1, "You lost by decision."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.heroKnockdowns) + ":" + std::to_string(c.opponentKnockdowns));
        newFight();
        knockDownHero(c.heroKnockdowns);
        knockDownOpponent(c.opponentKnockdowns);
        m_referee->judgeDecision();
        ASSERT_FALSE(messages().empty());
        EXPECT_EQ(messages().front(), c.text);
        EXPECT_TRUE(TestAccess::isMatchOver(*m_referee));
    }
}

} // namespace
