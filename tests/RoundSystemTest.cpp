#include "support/GameSupport.h"

#include "engine/EventStep.h"
#include "game/RoundUI.h"

#include <functional>

namespace {

using namespace gametest;

const std::string PROMPT = "Press any key to continue.";

class RoundSystemTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        startFight(1);
    }

    // Frames run until the condition holds (at most 3000).
    int framesUntil(const std::function<bool()>& condition) {
        int frames = 0;
        while (!condition() && frames < 3000) {
            m_driver.advance();
            ++frames;
        }
        return frames;
    }
    int framesToPrompt() {
        return framesUntil([&] { return TestAccess::isAwaitingKey(*m_rounds); });
    }
    int framesToRoundEnd() {
        return framesUntil([&] { return !TestAccess::isRoundActive(*m_rounds); });
    }

    // The messages with where they are centred.
    static Lines placedMessages() {
        Lines placed;
        for (const TextDisplay* message : objectsOf<TextDisplay>())
            placed.push_back(message->getText() + " at " +
                             std::to_string(int(message->getPosition().getX())) + "," +
                             std::to_string(int(message->getPosition().getY())));
        return placed;
    }

    void knockDownOpponent() {
        TestAccess::setDown(*m_opponent, false);
        m_opponent->getHealthUI()->setHealth(10);
        m_opponent->takeHit();
    }
};

TEST_F(RoundSystemTest, ThreeRoundsOfNinetySecondsWithPausesEndInTheJudgesDecision) {
    EXPECT_EQ(TestAccess::roundUI(*m_rounds)->getText(), "ROUND 1");
    m_driver.advance(30);
    EXPECT_EQ(clock().getText(), "TIME 1:29");
    TestAccess::setHealth(*m_hero, 95);
    clock().setTimeLeft(1);
    EXPECT_EQ(framesToRoundEnd(), 31);
    EXPECT_EQ(placedMessages(), Lines{"End of round. at 43,10"});
    EXPECT_TRUE(m_hero->isFrozen() && m_opponent->isFrozen());
    m_driver.tap(mw::KEY_A); // too early
    EXPECT_EQ(framesToPrompt(), 90);
    EXPECT_EQ(placedMessages(), Lines{PROMPT + " at 43,22"});
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
    EXPECT_EQ(m_rounds->getRound(), 2);
    EXPECT_EQ(TestAccess::roundUI(*m_rounds)->getText(), "ROUND 2");
    EXPECT_EQ(clock().getText(), "TIME 1:30");
    EXPECT_EQ(m_hero->getHealth(), 100);
    EXPECT_TRUE(messages().empty());
    EXPECT_FALSE(m_hero->isFrozen() || m_opponent->isFrozen());

    // Round 2 ends with both boxers down, mid-count and off home.
    clock().setTimeLeft(1);
    knockDownOpponent();
    floorHero(*m_hero);
    TestAccess::setMash(*m_hero, 7, mw::KEY_Q);
    TestAccess::setMove(*m_opponent, CHARGE_LEFT);
    m_hero->setPosition(mw::Vector(3, 3));
    m_opponent->setPosition(mw::Vector(5, 5));
    framesToRoundEnd();
    // The pause count runs on after the last prompt until the key.
    EXPECT_EQ(framesToPrompt(), 90 - 40);
    m_driver.tap(mw::KEY_ENTER);
    m_driver.advance();
    EXPECT_EQ(TestAccess::roundUI(*m_rounds)->getText(), "ROUND 3");
    EXPECT_FALSE(m_hero->isDown());
    EXPECT_EQ(m_hero->getDownTime(), 0);
    EXPECT_EQ(m_hero->getRoundKnockdowns(), 0);
    EXPECT_EQ(m_hero->getMatchKnockdowns(), 1);
    EXPECT_EQ(m_hero->getMashCount(), 0);
    EXPECT_EQ(TestAccess::lastMashKey(*m_hero), -1);
    EXPECT_EQ(m_hero->getSpriteLabel(), "hero-idle");
    EXPECT_EQ(m_hero->getPosition(), mw::Vector(42, 19));
    EXPECT_EQ(m_hero->getHealth(), 10);
    EXPECT_FALSE(m_opponent->isDown());
    EXPECT_EQ(m_opponent->getDownTime(), 0);
    EXPECT_EQ(m_opponent->getRoundKnockdowns(), 0);
    EXPECT_EQ(m_opponent->getMatchKnockdowns(), 1);
    EXPECT_EQ(m_opponent->getMove(), IDLE);
    EXPECT_EQ(m_opponent->getPosition(), mw::Vector(42, 16));
    EXPECT_EQ(m_opponent->getHealthUI()->getHealth(), 0); // not healed between rounds

    knockDownOpponent();
    clock().setTimeLeft(1);
    framesToRoundEnd();
    framesToPrompt();
    m_driver.advance(200); // a decision counts three full rounds whatever the pause
    m_driver.tap(mw::KEY_A);
    m_driver.advance();
    EXPECT_EQ(placedMessages(),
              (Lines{"You won by decision! at 43,10", "New best: 4:30 at 43,11"}));
    EXPECT_EQ(highScoreFile(), "430\n\n\n");
    EXPECT_EQ(TestAccess::roundUI(*m_rounds)->getText(), "ROUND 3");
    framesToPrompt();
    m_driver.tap(mw::KEY_SPACE);
    m_driver.tap(mw::KEY_ENTER);
    m_driver.advance();
    EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
}

TEST_F(RoundSystemTest, OnlyAClockAtExactlyZeroEndsTheRound) {
    for (const int timeLeft : {-1, 1, 0}) {
        clock().setTimeLeft(timeLeft);
        m_driver.advance();
        EXPECT_EQ(TestAccess::isRoundActive(*m_rounds), timeLeft != 0) << timeLeft;
    }
}

TEST_F(RoundSystemTest, AResultIsShownAndOnlyAWinIsRecordedAndAnnouncedWhenFaster) {
    const std::string none = "(none)";
    const struct {
        int code;
        std::string kept;
        Lines shown;
        std::string file;
    } cases[] = {
        {WON_BY_TKO, none, {"You won by TKO!", "New best: 0:15"}, "015\n\n\n"},
        {WON_BY_KO, "020\n", {"You won by KO!", "New best: 0:15"}, "015\n\n\n"},
        {WON_BY_DECISION, "015\n", {"You won by decision!"}, "015\n\n\n"},
        {WON_BY_TKO, "010\n\n207\n", {"You won by TKO!"}, "010\n\n207\n"},
        {WON_BY_TKO, "junk\n", {"You won by TKO!", "New best: 0:15"}, "015\n\n\n"},
        {LOST_BY_TKO, none, {"You lost by TKO."}, none},
        {LOST_BY_KO, "105\n", {"You lost by KO."}, "105\n"},
        {LOST_BY_DECISION, none, {"You lost by decision."}, none},
        {DRAW, none, {"The judges have ruled the game a tie."}, none},
        {7, none, {}, none},
        {-1, none, {}, none},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(m_scratch.path() / "hsdata.txt");
        if (c.kept != none)
            writeFile("hsdata.txt", c.kept);
        MatchLoader::getInstance().startUp();
        startFight(1);
        clock().setTimeLeft(75);
        EXPECT_EQ(m_rounds->eventHandler(EventGameOver(c.code)), 1);
        EXPECT_EQ(messages(), c.shown) << c.code;
        EXPECT_EQ(highScoreFile(), c.file) << c.code;
        EXPECT_TRUE(TestAccess::isMatchOver(*m_rounds) && !TestAccess::isRoundActive(*m_rounds));
        EXPECT_TRUE(m_hero->isFrozen() && m_opponent->isFrozen());
        EXPECT_EQ(framesToPrompt(), 90) << c.code; // the result gives way to the prompt
        EXPECT_EQ(messages(), Lines{PROMPT});
    }
}

TEST_F(RoundSystemTest, TheJudgesGiveTheFightToWhoWasDownLessOften) {
    const struct {
        int hero, opponent;
        std::string result;
    } cases[] = {{0, 0, "The judges have ruled the game a tie."},
                 {1, 1, "The judges have ruled the game a tie."},
                 {1, 2, "You won by decision!"},
                 {1, 0, "You lost by decision."},
                 {2, 1, "You lost by decision."}};
    for (const auto& c : cases) {
        startFight(1);
        for (int knockdown = 0; knockdown < c.hero; ++knockdown) {
            TestAccess::setDown(*m_hero, false);
            TestAccess::setHealth(*m_hero, 10);
            swingAt(*m_hero, SWING_LEFT);
        }
        for (int knockdown = 0; knockdown < c.opponent; ++knockdown)
            knockDownOpponent();
        m_rounds->judgeDecision();
        EXPECT_EQ(messages().front(), c.result) << c.hero << ":" << c.opponent;
    }
    // Without boxers nothing is done to them.
    MatchLoader::getInstance().clearWorld();
    mw::WorldManager::getInstance().update();
    m_rounds = new RoundSystem(nullptr, nullptr);
    clock().setTimeLeft(0);
    EXPECT_EQ(framesToPrompt(), 91);
    sendKey(mw::KEY_SPACE, mw::KEY_PRESSED);
    m_rounds->judgeDecision();
    EXPECT_EQ(messages(), Lines{"The judges have ruled the game a tie."});
    EXPECT_EQ(m_rounds->eventHandler(mw::EventStep(1)), 1);
    EXPECT_EQ(m_rounds->eventHandler(mw::EventKeyboard(mw::KEY_A, mw::KEY_HELD)), 1);
    EXPECT_EQ(m_rounds->eventHandler(mw::Event()), 0);
}

TEST_F(RoundSystemTest, AResultDuringThePauseEndsTheFight) {
    for (const bool afterPrompt : {false, true}) {
        startFight(2);
        clock().setTimeLeft(0);
        m_driver.advance(afterPrompt ? 91 : 30);
        mw::GameManager::getInstance().onEvent(EventGameOver(LOST_BY_KO));
        EXPECT_EQ(messages().back(), "You lost by KO.");
        framesToPrompt();
        m_driver.tap(mw::KEY_SPACE);
        m_driver.advance();
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"}) << afterPrompt;
    }
}

} // namespace
