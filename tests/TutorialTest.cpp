#include "support/GameSupport.h"

#include "game/TitleScreen.h"
#include "game/TutorialMode.h"

namespace {

using namespace gametest;

class TutorialTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        new TitleScreen;
        sendKey(mw::KEY_T, mw::KEY_PRESSED);
        m_tutorial = firstOf<TutorialMode>();
        m_hero = firstOf<Hero>();
        ASSERT_TRUE(m_tutorial != nullptr && m_hero != nullptr);
    }

    std::string pose() const { return TestAccess::opponent(*m_tutorial)->getSpriteLabel(); }

    // Each lesson's key, and the wait after it.
    void finishLessons() {
        for (const mw::Key key : {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P}) {
            sendKey(key, mw::KEY_PRESSED);
            m_driver.advance(10);
        }
        ASSERT_EQ(TestAccess::step(*m_tutorial), TutorialMode::DONE);
    }

    TutorialMode* m_tutorial = nullptr;
};

TEST_F(TutorialTest, EachLessonIsShownAndWaitsForItsKeyThenMovesOnAtTheTenthStep) {
    MW_OPEN_WINDOW();
    m_driver.advance();
    EXPECT_EQ(shownRow(2), at(5, "HP: [" + std::string(24, '#') + "] Tutorial      HP: [" +
                                     std::string(24, '#') + "]"));
    EXPECT_EQ(shownRow(1), at(5, "YOU") + at(42, "'Zaz Eruz Arizi'"));
    // The lesson in yellow under the ring, its hint below.
    EXPECT_EQ(shownRow(22) + "|" + shownRow(23),
              at(32, "Press Q to DODGE LEFT") + "|" +
                  at(14, "Glove cocked on the right: when it flashes, lean away left"));
    EXPECT_EQ(shownRow(22, true) + "|" + shownRow(23, true),
              std::string(32, '.') + std::string(21, 'y') + "|" + std::string(14, '.') +
                  std::string(58, 'w'));
    EXPECT_EQ(worldTypes(),
              (Lines{"Ring", "Hero", "OpponentHealthUI", "Opponent", "OpponentHealthUI",
                     "TutorialMode", "TextDisplay", "KnockdownPrompt"}));
    // A tutorial takes away the messages before it.
    new TextDisplay("You lost by KO.", mw::Vector(43, 10));
    mw::WorldManager::getInstance().markForDelete(new TutorialMode);
    mw::WorldManager::getInstance().update();
    EXPECT_EQ(messages(), Lines{"Tutorial"});
    const struct {
        mw::Key key;
        const char *prompt, *pose;
        std::vector<mw::Key> ignored;
    } lessons[] = {
        {mw::KEY_Q, "Press Q to DODGE LEFT", "opponent-charge-left", {mw::KEY_W, mw::KEY_ENTER}},
        {mw::KEY_W, "Press W to DODGE RIGHT", "opponent-charge-right", {mw::KEY_Q, mw::KEY_P}},
        {mw::KEY_O, "Press O to PUNCH LEFT", "opponent-tell", {mw::KEY_P, mw::KEY_W}},
        {mw::KEY_P, "Press P to PUNCH RIGHT", "opponent-tell", {mw::KEY_O, mw::KEY_ENTER}},
    };
    EXPECT_EQ(pose(), lessons[0].pose);
    for (int step = 0; step < 4; ++step) {
        const auto& lesson = lessons[step];
        SCOPED_TRACE(lesson.prompt);
        EXPECT_EQ(TestAccess::prompt(*m_tutorial), lesson.prompt);
        for (const mw::Key key : lesson.ignored)
            sendKey(key, mw::KEY_PRESSED);
        sendKey(lesson.key, mw::KEY_HELD);
        sendKey(lesson.key, mw::KEY_RELEASED);
        // What the wait before left: none before the first lesson, then a step's overshoot.
        EXPECT_EQ(TestAccess::advanceTime(*m_tutorial), (std::array{0, -30, -30, -32}[step]));
        sendKey(lesson.key, mw::KEY_PRESSED);
        EXPECT_EQ(pose(), "opponent-stunned");
        m_driver.advance(4);
        EXPECT_EQ(TestAccess::advanceTime(*m_tutorial), 300 - 4 * 33);
        sendKey(lesson.key, mw::KEY_PRESSED); // again: the wait starts anew
        m_driver.advance(9);
        EXPECT_EQ(TestAccess::advanceTime(*m_tutorial), 300 - 9 * 33);
        EXPECT_EQ(TestAccess::step(*m_tutorial), step);
        if (step == 2) { // a step that leaves 1 ms of the wait, which the next one uses up
            TestAccess::setAdvanceTime(*m_tutorial, 34);
            m_driver.advance();
            EXPECT_EQ(TestAccess::step(*m_tutorial), step);
        }
        if (step == 3) // a step that uses up the wait exactly
            TestAccess::setAdvanceTime(*m_tutorial, 33);
        m_driver.advance();
        EXPECT_EQ(TestAccess::step(*m_tutorial), step + 1);
        EXPECT_EQ(pose(), step < 3 ? lessons[step + 1].pose : "opponent-idle");
        EXPECT_EQ(TestAccess::opponent(*m_tutorial)->getPosition(), mw::Vector(42, 16));
    }
    EXPECT_EQ(TestAccess::prompt(*m_tutorial), "Great! Press ENTER to exit");
    for (const mw::Key key : {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P})
        sendKey(key, mw::KEY_PRESSED);
    sendKey(mw::KEY_ENTER, mw::KEY_HELD);
    m_driver.advance(12);
    EXPECT_EQ(TestAccess::step(*m_tutorial), TutorialMode::DONE);
    sendKey(mw::KEY_ENTER, mw::KEY_PRESSED);
    EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
}

// Played from the screen with a newcomer's reaction time: the prompt and the opponent
// as they were 7 to 9 frames (200 to 300 ms) ago. Whenever the hero is free it punches
// every opening (a tell or a stun with O and P in turn, a swing on its side), dodges as a dodge
// lesson says when the glove is cocked on that side (or, not having understood, never dodges), gets
// up by alternating Q and W at 7.5 presses a second, and leaves with ENTER when asked.
TEST_F(TutorialTest, ANewcomerWhoPunchesEveryOpeningIsShownEveryLessonBeforeItsKeyCounts) {
    MW_OPEN_WINDOW();
    const Lines lessons = {at(32, "Press Q to DODGE LEFT"), at(32, "Press W to DODGE RIGHT"),
                           at(32, "Press O to PUNCH LEFT"), at(32, "Press P to PUNCH RIGHT"),
                           at(30, "Great! Press ENTER to exit")};
    const struct {
        unsigned seed;
        bool dodges;
        Lines prompts;
        int lessonsDone;
    } players[] = {{1, true, lessons, 4},
                   {2, true, lessons, 4},
                   {3, true, lessons, 4},
                   {1, false, Lines{lessons[0]}, 0}};
    for (const auto& player : players) {
        SCOPED_TRACE(std::to_string(player.seed) + (player.dodges ? " dodging" : ""));
        MatchLoader::getInstance().clearWorld();
        new TitleScreen;
        mw::WorldManager::getInstance().update();
        std::srand(player.seed);
        sendKey(mw::KEY_T, mw::KEY_PRESSED);
        m_tutorial = firstOf<TutorialMode>();
        m_hero = firstOf<Hero>();
        ASSERT_TRUE(m_tutorial != nullptr && m_hero != nullptr);
        const auto& opponent = *static_cast<FightingOpponent*>(TestAccess::opponent(*m_tutorial));
        struct Seen {
            std::string prompt;
            int state, move;
        };
        std::vector<Seen> seen;
        Lines prompts;
        // Frames each lesson was on screen before its key started the wait.
        std::vector<int> shownBeforeKey;
        int shownSince = 0, mashSteps = 0;
        mw::Key punch = mw::KEY_O, mash = mw::KEY_Q;
        for (int frame = 0; frame < 6000; ++frame) {
            const int step = TestAccess::step(*m_tutorial);
            m_driver.advance();
            if (firstOf<TutorialMode>() != m_tutorial)
                break;
            const std::string prompt = shownRow(22);
            seen.push_back({prompt, opponent.getState(), opponent.getMove()});
            if (!prompt.empty() && (prompts.empty() || prompts.back() != prompt)) {
                prompts.push_back(prompt);
                shownSince = frame;
            }
            if (TestAccess::step(*m_tutorial) == step &&
                TestAccess::advanceTime(*m_tutorial) == 300 &&
                static_cast<int>(shownBeforeKey.size()) == step)
                shownBeforeKey.push_back(frame - shownSince);
            if (m_hero->isDown()) {
                if (++mashSteps % 4 == 0) {
                    m_driver.release(mash);
                    mash = mash == mw::KEY_Q ? mw::KEY_W : mw::KEY_Q;
                    m_driver.press(mash);
                }
                continue;
            }
            m_driver.release(mash);
            const int reaction = 7 + frame % 3;
            if (m_hero->getMove() != IDLE || static_cast<int>(seen.size()) <= reaction)
                continue;
            const Seen& then = seen[seen.size() - 1 - reaction];
            const bool dodgeLeft =
                then.prompt.find("Press Q") != std::string::npos && then.move == CHARGE_LEFT;
            const bool dodgeRight =
                then.prompt.find("Press W") != std::string::npos && then.move == CHARGE_RIGHT;
            if (then.prompt.find("ENTER") != std::string::npos) {
                m_driver.tap(mw::KEY_ENTER);
            } else if (then.state == TELL || then.state == STUNNED) {
                m_driver.tap(punch);
                punch = punch == mw::KEY_O ? mw::KEY_P : mw::KEY_O;
            } else if (then.move == SWING_LEFT || then.move == SWING_RIGHT) {
                m_driver.tap(then.move == SWING_LEFT ? mw::KEY_O : mw::KEY_P);
            } else if (player.dodges && (dodgeLeft || dodgeRight)) {
                m_driver.tap(dodgeLeft ? mw::KEY_Q : mw::KEY_W);
            }
        }
        EXPECT_EQ(prompts, player.prompts);
        ASSERT_EQ(shownBeforeKey.size(), player.lessonsDone);
        for (const int frames : shownBeforeKey)
            EXPECT_GE(frames, 7);
        // A practice that never ends: the lesson stays and nobody has gone down.
        if (player.lessonsDone == 0) {
            EXPECT_EQ(messages(), Lines{"Tutorial"});
        }
    }
}

TEST_F(TutorialTest, APracticeLostIsAnnouncedOnceWithWhatWentWrongAndShownUntilEnter) {
    // Down for the whole count, then down a fourth time, once the lessons are done.
    for (const int knockdowns : {1, 4}) {
        finishLessons();
        for (int knockdown = 0; knockdown < knockdowns; ++knockdown) {
            if (m_hero->isDown()) {
                mash(m_hero->getPressesNeeded());
                m_driver.advance();
            }
            floorHero(*m_hero);
        }
        m_driver.advance(400);
        EXPECT_EQ(countLogged("HERO LOSES BY TKO"), knockdowns == 1 ? 1 : 2);
        EXPECT_EQ(messages(),
                  (Lines{"Tutorial", "You lost by TKO.",
                         knockdowns == 1 ? "The count ran out: alternate the keys to get up in time"
                                         : "Down four times: lean away when his glove flashes"}));
        EXPECT_EQ(TestAccess::prompt(*m_tutorial), "Press ENTER to exit");
        EXPECT_TRUE(m_hero->isFrozen() && TestAccess::opponent(*m_tutorial)->isFrozen());
        sendKey(mw::KEY_ENTER, mw::KEY_PRESSED);
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
        sendKey(mw::KEY_T, mw::KEY_PRESSED);
        m_tutorial = firstOf<TutorialMode>();
        m_hero = firstOf<Hero>();
    }
}

// The line under the lesson says only what is true of the opponent at the moment.
// Until the lessons are done no swing takes the hero down; once he can go down, the
// knockdown prompt is the only instruction on screen until he is up again.
TEST_F(TutorialTest, HintsFollowTheOpponentsStateAndAHeroDownSeesOnlyHowToGetUp) {
    MW_OPEN_WINDOW();
    const std::string wait =
        at(11, "Punch in his tell (beep), his stun, or on the side of his swing");
    const std::string open = at(31, "He is open: hit him now!");
    const std::string getUp = at(29, "Alternate Q W O P to get up!");
    const struct {
        int step, state;
        bool floored; // twenty swings taken and twenty punches landed
        std::string prompt, hint, knockdown;
        int heroHealth, opponentHealth;
    } rows[] = {
        {0, NEUTRAL, false, at(32, "Press Q to DODGE LEFT"),
         at(14, "Glove cocked on the right: when it flashes, lean away left"), "", 100, 100},
        {0, ATTACKING, true, at(32, "Press Q to DODGE LEFT"),
         at(14, "Glove cocked on the right: when it flashes, lean away left"), "", 10, 10},
        {1, ATTACKING, false, at(32, "Press W to DODGE RIGHT"),
         at(14, "Glove cocked on the left: when it flashes, lean away right"), "", 100, 100},
        {2, NEUTRAL, false, at(32, "Press O to PUNCH LEFT"), wait, "", 100, 100},
        {2, ATTACKING, false, at(32, "Press O to PUNCH LEFT"), wait, "", 100, 100},
        {2, TELL, false, at(32, "Press O to PUNCH LEFT"), open, "", 100, 100},
        {2, TELL, true, at(32, "Press O to PUNCH LEFT"), open, "", 10, 10},
        {3, DODGING, false, at(32, "Press P to PUNCH RIGHT"), wait, "", 100, 100},
        {3, STUNNED, true, at(32, "Press P to PUNCH RIGHT"), open, "", 10, 10},
        {4, NEUTRAL, false, at(30, "Great! Press ENTER to exit"), "", "", 100, 100},
        {4, TELL, true, "", "", getUp, 0, 0},
    };
    const mw::Key keys[] = {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P};
    auto& opponent = *static_cast<FightingOpponent*>(TestAccess::opponent(*m_tutorial));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.prompt + "|" + row.hint);
        while (TestAccess::step(*m_tutorial) < row.step) {
            sendKey(keys[TestAccess::step(*m_tutorial)], mw::KEY_PRESSED);
            m_driver.advance(10);
        }
        TestAccess::setHealth(*m_hero, 100);
        opponent.getHealthUI()->setHealth(100);
        if (row.floored) {
            floorHero(*m_hero);
            for (int punch = 0; punch < 20; ++punch)
                opponent.takeHit();
        }
        TestAccess::setState(opponent, row.state);
        m_driver.advance();
        EXPECT_EQ(shownRow(22) + "|" + shownRow(23), row.prompt + "|" + row.hint);
        EXPECT_EQ(shownRow(4), row.knockdown);
        EXPECT_EQ(m_hero->getHealth(), row.heroHealth);
        EXPECT_EQ(opponent.getHealthUI()->getHealth(), row.opponentHealth);
    }
    // Up again by alternating the keys: the last step's prompt is back.
    for (int press = 0; press < 50; ++press) {
        m_driver.press(keys[press % 2]);
        m_driver.advance();
        m_driver.release(keys[press % 2]);
    }
    EXPECT_EQ(shownRow(22) + "|" + shownRow(4), "|" + getUp);
    m_driver.advance();
    EXPECT_EQ(shownRow(22) + "|" + shownRow(4), at(30, "Great! Press ENTER to exit") + "|");
}

} // namespace
