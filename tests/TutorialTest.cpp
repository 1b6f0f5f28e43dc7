#include "support/GameSupport.h"

#include "engine/EventStep.h"
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
    EXPECT_EQ((std::vector{m_tutorial->eventHandler(mw::EventStep(1)),
                           m_tutorial->eventHandler(mw::EventKeyboard(mw::KEY_A, mw::KEY_HELD)),
                           m_tutorial->eventHandler(mw::Event()), m_tutorial->draw()}),
              (std::vector{1, 1, 0, 0}));
    sendKey(mw::KEY_ENTER, mw::KEY_PRESSED);
    EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
}

TEST_F(TutorialTest, APracticeLostIsAnnouncedOnceWithWhatWentWrongAndShownUntilEnter) {
    // Down for the whole count, then down a fourth time.
    for (const int knockdowns : {1, 4}) {
        for (int knockdown = 0; knockdown < knockdowns; ++knockdown) {
            TestAccess::setDown(*m_hero, false);
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
        sendKey(mw::KEY_Q, mw::KEY_PRESSED);
        EXPECT_EQ(TestAccess::advanceTime(*m_tutorial), 0);
        sendKey(mw::KEY_ENTER, mw::KEY_PRESSED);
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
        sendKey(mw::KEY_T, mw::KEY_PRESSED);
        m_tutorial = firstOf<TutorialMode>();
        m_hero = firstOf<Hero>();
    }
}

// The line under the lesson says only what is true of the opponent at the moment;
// nothing praises or teaches a hero who is down.
TEST_F(TutorialTest, HintsFollowTheOpponentsStateAndNoPraiseWhileTheHeroIsDown) {
    MW_OPEN_WINDOW();
    const std::string wait =
        at(11, "Punch in his tell (beep), his stun, or on the side of his swing");
    const std::string open = at(31, "He is open: hit him now!");
    const struct {
        int step, state;
        bool down;
        std::string prompt, hint;
    } rows[] = {
        {0, NEUTRAL, false, at(32, "Press Q to DODGE LEFT"),
         at(14, "Glove cocked on the right: when it flashes, lean away left")},
        {0, ATTACKING, true, at(32, "Press Q to DODGE LEFT"), ""},
        {1, ATTACKING, false, at(32, "Press W to DODGE RIGHT"),
         at(14, "Glove cocked on the left: when it flashes, lean away right")},
        {2, NEUTRAL, false, at(32, "Press O to PUNCH LEFT"), wait},
        {2, ATTACKING, false, at(32, "Press O to PUNCH LEFT"), wait},
        {2, TELL, false, at(32, "Press O to PUNCH LEFT"), open},
        {2, TELL, true, at(32, "Press O to PUNCH LEFT"), ""},
        {3, DODGING, false, at(32, "Press P to PUNCH RIGHT"), wait},
        {3, STUNNED, false, at(32, "Press P to PUNCH RIGHT"), open},
        {4, NEUTRAL, false, at(30, "Great! Press ENTER to exit"), ""},
        {4, NEUTRAL, true, at(33, "Press ENTER to exit"), ""},
    };
    const mw::Key keys[] = {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P};
    auto& opponent = *static_cast<FightingOpponent*>(TestAccess::opponent(*m_tutorial));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.prompt + "|" + row.hint);
        TestAccess::setDown(*m_hero, false);
        TestAccess::setHealth(*m_hero, 100);
        while (TestAccess::step(*m_tutorial) < row.step) {
            sendKey(keys[TestAccess::step(*m_tutorial)], mw::KEY_PRESSED);
            m_driver.advance(10);
        }
        if (row.down)
            floorHero(*m_hero);
        TestAccess::setState(opponent, row.state);
        m_driver.advance();
        EXPECT_EQ(shownRow(22) + "|" + shownRow(23), row.prompt + "|" + row.hint);
    }
}

} // namespace
