#include "support/GameSupport.h"
#include "support/TestAccess.h"

#include "engine/DisplayManager.h"
#include "game/BoxerMove.h"
#include "game/EventBoxerCollision.h"
#include "game/EventGameOver.h"
#include "game/FightingOpponent.h"
#include "game/GameOverResult.h"
#include "game/HealthUI.h"
#include "game/Ring.h"
#include "game/TitleScreen.h"
#include "game/TutorialMode.h"

namespace {

using gametest::firstOf;
using gametest::objectsOf;

const std::vector<std::string> PROMPTS = {"Press Q to DODGE LEFT", "Press W to DODGE RIGHT",
                                          "Press O to PUNCH LEFT", "Press P to PUNCH RIGHT",
                                          "Great! Press ENTER to exit"};
const std::vector<mw::Key> STEP_KEYS = {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P};
const std::vector<std::string> POSES = {"opponent-charge-left", "opponent-charge-right",
                                        "opponent-tell", "opponent-tell", "opponent-idle"};
// Step events after the frame in which the right key went down until the next
// step begins: 300 ms less nine 33 ms frames still leaves 3.
constexpr int FRAMES_TO_NEXT_STEP = 10;

class TutorialTest : public gametest::GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        loadBoxerSprites();
        startFromTitle();
    }

    // The tutorial as T on the title screen builds it.
    void startFromTitle() {
        MatchLoader::getInstance().clearWorld();
        new TitleScreen;
        gametest::sendKey(mw::KEY_T, mw::KEY_PRESSED);
        m_tutorial = firstOf<TutorialMode>();
        ASSERT_NE(m_tutorial, nullptr);
    }

    // Plays the tutorial's keys until the step is reached.
    void playUntil(int step) {
        for (int done = TestAccess::step(*m_tutorial); done < step; ++done) {
            m_driver.tap(STEP_KEYS[done]);
            m_driver.advance(1 + FRAMES_TO_NEXT_STEP);
        }
        ASSERT_EQ(TestAccess::step(*m_tutorial), step);
    }

    std::string opponentSprite() const {
        return TestAccess::opponent(*m_tutorial)->getSpriteLabel();
    }

    TutorialMode* m_tutorial = nullptr;
};

TEST_F(TutorialTest, DrivesTheOneOpponentTheTitleScreenMade) {
    const std::vector<Opponent*> opponents = objectsOf<Opponent>();
    ASSERT_EQ(opponents.size(), 1u);
    EXPECT_NE(dynamic_cast<Opponent1*>(opponents.front()), nullptr);
    EXPECT_EQ(TestAccess::opponent(*m_tutorial), opponents.front());
    EXPECT_EQ(objectsOf<Ring>().size(), 1u);
    EXPECT_EQ(objectsOf<Hero>().size(), 1u);
    EXPECT_TRUE(objectsOf<TitleScreen>().empty());
    EXPECT_TRUE(objectsOf<RoundSystem>().empty());
    EXPECT_EQ(gametest::messages(), (std::vector<std::string>{"Tutorial"}));
    EXPECT_EQ(m_tutorial->getType(), "TutorialMode");
    EXPECT_EQ(TestAccess::step(*m_tutorial), 0);
    EXPECT_EQ(TestAccess::prompt(*m_tutorial), PROMPTS[0]);
    EXPECT_EQ(opponentSprite(), POSES[0]);
    EXPECT_EQ(TestAccess::opponent(*m_tutorial)->getPosition(), mw::Vector(42, 16));
}

TEST_F(TutorialTest, ClearsEarlierMessagesAndShowsOnlyItsTitle) {
    new TextDisplay("You lost by KO.", mw::Vector(43, 10));
    new TutorialMode;
    m_driver.advance();
    ASSERT_EQ(gametest::messages(), (std::vector<std::string>{"Tutorial"}));
    EXPECT_EQ(firstOf<TextDisplay>()->getPosition(), mw::Vector(40, 2));
}

TEST_F(TutorialTest, TIsHeldIntoTheTitleScreenThatEndsAFight) {
    // Leaving a result with T builds the title screen and, at the held event of
    // the same frame, the tutorial, while the fight is still listed.
    MatchLoader::getInstance().startMatch(2);
    m_driver.advance();
    mw::GameManager::getInstance().onEvent(EventGameOver(LOST_BY_TKO));
    m_driver.advance(90);
    m_driver.press(mw::KEY_T);
    m_driver.advance();
    m_tutorial = firstOf<TutorialMode>();
    ASSERT_NE(m_tutorial, nullptr);
    const std::vector<Opponent*> opponents = objectsOf<Opponent>();
    ASSERT_EQ(opponents.size(), 1u);
    EXPECT_EQ(TestAccess::opponent(*m_tutorial), opponents.front());
    m_driver.release(mw::KEY_T);
    m_driver.tap(mw::KEY_Q);
    m_driver.advance(1 + FRAMES_TO_NEXT_STEP);
    EXPECT_EQ(TestAccess::step(*m_tutorial), 1);
    EXPECT_EQ(opponents.front()->getSpriteLabel(), POSES[1]);
}

TEST_F(TutorialTest, OnlyTheStepsKeyGoingDownCounts) {
    struct Case {
        int step;
        mw::Key key;
        mw::KeyboardAction action;
        bool counts;
    };
    const Case cases[] = {
        {0, mw::KEY_Q, mw::KEY_PRESSED, true},      {0, mw::KEY_Q, mw::KEY_HELD, false},
        {0, mw::KEY_Q, mw::KEY_RELEASED, false},    {0, mw::KEY_W, mw::KEY_PRESSED, false},
        {0, mw::KEY_ENTER, mw::KEY_PRESSED, false}, {1, mw::KEY_Q, mw::KEY_PRESSED, false},
        {1, mw::KEY_W, mw::KEY_PRESSED, true},      {1, mw::KEY_W, mw::KEY_HELD, false},
        {2, mw::KEY_P, mw::KEY_PRESSED, false},     {2, mw::KEY_O, mw::KEY_PRESSED, true},
        {3, mw::KEY_O, mw::KEY_PRESSED, false},     {3, mw::KEY_ENTER, mw::KEY_PRESSED, false},
        {3, mw::KEY_P, mw::KEY_PRESSED, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("step " + std::to_string(c.step) + " key " + std::to_string(c.key) +
                     " action " + std::to_string(c.action));
        startFromTitle();
        playUntil(c.step);
        gametest::sendKey(c.key, c.action);
        // Nothing is pending at 0 or below, where the last wait ended.
        if (c.counts) {
            EXPECT_EQ(TestAccess::advanceTime(*m_tutorial), 300);
        } else {
            EXPECT_LE(TestAccess::advanceTime(*m_tutorial), 0);
        }
        if (c.counts) {
            EXPECT_EQ(opponentSprite(), "opponent-stunned");
            EXPECT_EQ(TestAccess::opponent(*m_tutorial)->getPosition(), mw::Vector(42, 16));
        }
        EXPECT_EQ(TestAccess::prompt(*m_tutorial), PROMPTS[c.step]);
        EXPECT_EQ(firstOf<TutorialMode>(), m_tutorial);
    }
}

TEST_F(TutorialTest, MovesOnAtTheTenthStepWithTheKeyStillHeld) {
    for (int step = 0; step < 4; ++step) {
        SCOPED_TRACE(step);
        // Held all the way: only its going down counts.
        m_driver.press(STEP_KEYS[step]);
        m_driver.advance();
        m_driver.advance(FRAMES_TO_NEXT_STEP - 1);
        EXPECT_EQ(TestAccess::step(*m_tutorial), step);
        EXPECT_EQ(TestAccess::prompt(*m_tutorial), PROMPTS[step]);
        m_driver.advance();
        EXPECT_EQ(TestAccess::step(*m_tutorial), step + 1);
        EXPECT_EQ(TestAccess::prompt(*m_tutorial), PROMPTS[step + 1]);
        EXPECT_LE(TestAccess::advanceTime(*m_tutorial), 0);
        // The opponent's own step comes first in a frame, so the new pose is
        // what that frame shows.
        EXPECT_EQ(opponentSprite(), POSES[step + 1]);
        EXPECT_EQ(TestAccess::opponent(*m_tutorial)->getPosition(), mw::Vector(42, 16));
        m_driver.release(STEP_KEYS[step]);
        m_driver.advance();
    }
}

TEST_F(TutorialTest, TheRightKeyAgainStartsTheWaitAnew) {
    m_driver.tap(mw::KEY_Q);
    m_driver.advance(5);
    m_driver.tap(mw::KEY_Q);
    m_driver.advance(FRAMES_TO_NEXT_STEP);
    EXPECT_EQ(TestAccess::step(*m_tutorial), 0);
    m_driver.advance();
    EXPECT_EQ(TestAccess::step(*m_tutorial), 1);
}

TEST_F(TutorialTest, EnterOnlyEndsTheLastStep) {
    playUntil(TutorialMode::DONE);
    EXPECT_EQ(TestAccess::prompt(*m_tutorial), PROMPTS[4]);
    for (const mw::Key key : STEP_KEYS) {
        m_driver.tap(key);
        m_driver.advance(1 + FRAMES_TO_NEXT_STEP);
        EXPECT_EQ(TestAccess::step(*m_tutorial), TutorialMode::DONE) << key;
        EXPECT_LE(TestAccess::advanceTime(*m_tutorial), 0) << key;
    }
    gametest::sendKey(mw::KEY_ENTER, mw::KEY_HELD);
    gametest::sendKey(mw::KEY_ENTER, mw::KEY_RELEASED);
    EXPECT_EQ(firstOf<TutorialMode>(), m_tutorial);

    m_driver.tap(mw::KEY_ENTER);
    m_driver.advance();
    EXPECT_EQ(gametest::worldTypes(), (std::vector<std::string>{"TitleScreen"}));
}

TEST_F(TutorialTest, AResultIsAnnouncedOnceAndShownUntilEnter) {
    // Nothing referees the practice fight: the tutorial itself must stop the
    // loser from announcing its result again at every step.
    struct Case {
        const char* name;
        bool heroLoses;
        std::string logLine;
        std::string message;
    };
    const Case cases[] = {
        {"hero stays down", true, "HERO LOSES BY TKO", "You lost by TKO."},
        {"third knockdown of the opponent", false, "PLAYER WINS BY TKO", "You won by TKO!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startFromTitle();
        m_driver.advance();
        Hero* hero = firstOf<Hero>();
        ASSERT_NE(hero, nullptr);
        auto* opponent = dynamic_cast<FightingOpponent*>(TestAccess::opponent(*m_tutorial));
        ASSERT_NE(opponent, nullptr);
        if (c.heroLoses) {
            for (int swing = 0; swing < 10; ++swing)
                hero->eventHandler(EventBoxerCollision(SWING_LEFT));
            ASSERT_TRUE(hero->isDown());
        } else {
            TestAccess::setRoundKnockdowns(*opponent, 2);
            opponent->getHealthUI()->setHealth(10);
            opponent->takeHit();
            ASSERT_TRUE(opponent->isDown());
        }
        // Long past the 300 steps the hero may stay down.
        m_driver.advance(400);
        EXPECT_EQ(countLogged(c.logLine), 1);
        EXPECT_EQ(gametest::messages(), (std::vector<std::string>{"Tutorial", c.message}));
        EXPECT_EQ(TestAccess::prompt(*m_tutorial), "Press ENTER to exit");
        EXPECT_TRUE(hero->isFrozen());
        EXPECT_TRUE(opponent->isFrozen());
        // The lesson's key no longer counts; ENTER leaves.
        m_driver.tap(mw::KEY_Q);
        m_driver.advance(1 + FRAMES_TO_NEXT_STEP);
        EXPECT_EQ(TestAccess::advanceTime(*m_tutorial), 0);
        m_driver.tap(mw::KEY_ENTER);
        m_driver.advance();
        EXPECT_EQ(gametest::worldTypes(), (std::vector<std::string>{"TitleScreen"}));
    }
}

TEST_F(TutorialTest, PromptIsYellowUnderTheRingAndTheTitleWhiteAbove) {
    MW_OPEN_WINDOW();
    m_driver.advance();
    struct Item {
        std::string text;
        int column, row;
        mw::Color color;
    };
    // Centred: the first character at column c - ceil(n / 2).
    const Item items[] = {{PROMPTS[0], 32, 22, mw::COLOR_YELLOW},
                          {"Glove cocked on the right: lean away, left", 22, 23, mw::COLOR_WHITE},
                          {"Tutorial", 36, 2, mw::COLOR_WHITE}};
    for (const Item& item : items) {
        for (int i = 0; i < static_cast<int>(item.text.size()); ++i) {
            const mw::Cell cell = TestAccess::shownCell(item.column + i, item.row);
            EXPECT_EQ(cell.ch, item.text[i]) << item.text << " at " << i;
            EXPECT_EQ(cell.color, item.color) << item.text << " at " << i;
        }
    }
}

} // namespace
