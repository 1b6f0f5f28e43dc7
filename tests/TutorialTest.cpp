#include "support/GameSupport.h"

#include "game/TitleScreen.h"
#include "game/TutorialMode.h"

namespace {

using namespace gametest;

class TutorialTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        enter();
    }

    void enter() {
        MatchLoader::getInstance().clearWorld();
        mw::WorldManager::getInstance().update();
        new TitleScreen;
        sendKey(mw::KEY_T, mw::KEY_PRESSED);
        m_hero = firstOf<Hero>();
        m_opponent = firstOf<FightingOpponent>();
        ASSERT_TRUE(firstOf<TutorialMode>() != nullptr && m_hero != nullptr &&
                    m_opponent != nullptr);
    }

    std::string pose() const { return m_opponent->getSpriteLabel(); }

    const Lines m_prompts = {at(32, "Press Q to DODGE LEFT"), at(32, "Press W to DODGE RIGHT"),
                             at(32, "Press O to PUNCH LEFT"), at(32, "Press P to PUNCH RIGHT"),
                             at(30, "Great! Press ENTER to exit")};
};

TEST_F(TutorialTest, EachLessonIsShownAndWaitsForItsKeyThenMovesOnAtTheTenthStep) {
    MW_OPEN_WINDOW();
    m_driver.advance();
    EXPECT_EQ(shownRow(2), at(5, "HP: [" + std::string(24, '#') + "] Tutorial      HP: [" +
                                     std::string(24, '#') + "]"));
    EXPECT_EQ(shownRow(1), at(5, "YOU") + at(42, "'Zaz Eruz Arizi'"));
    // The lesson in yellow under the ring, its hint below.
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
        const char* pose;
        std::vector<mw::Key> ignored;
    } lessons[] = {
        {mw::KEY_Q, "opponent-charge-left", {mw::KEY_W, mw::KEY_ENTER}},
        {mw::KEY_W, "opponent-charge-right", {mw::KEY_Q, mw::KEY_P}},
        {mw::KEY_O, "opponent-tell", {mw::KEY_P, mw::KEY_W}},
        {mw::KEY_P, "opponent-tell", {mw::KEY_O, mw::KEY_ENTER}},
        {mw::KEY_UNDEFINED, "opponent-idle", {}},
    };
    for (int step = 0; step < 4; ++step) {
        const auto& lesson = lessons[step];
        SCOPED_TRACE(m_prompts[step]);
        for (const mw::Key key : lesson.ignored)
            sendKey(key, mw::KEY_PRESSED);
        sendKey(lesson.key, mw::KEY_HELD);
        sendKey(lesson.key, mw::KEY_RELEASED);
        EXPECT_EQ(pose(), lesson.pose); // no key of the frame has counted
        sendKey(lesson.key, mw::KEY_PRESSED);
        EXPECT_EQ(pose(), "opponent-stunned");
        m_driver.advance(4);
        sendKey(lesson.key, mw::KEY_PRESSED); // again: the wait starts anew
        m_driver.advance(9);
        EXPECT_EQ(shownRow(22), m_prompts[step]);
        m_driver.advance();
        EXPECT_EQ(pose(), lessons[step + 1].pose);
        EXPECT_EQ(shownRow(22), m_prompts[step + 1]);
        EXPECT_EQ(m_opponent->getPosition(), mw::Vector(42, 16));
    }
    for (const mw::Key key : {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P})
        sendKey(key, mw::KEY_PRESSED);
    sendKey(mw::KEY_ENTER, mw::KEY_HELD);
    m_driver.advance(12);
    EXPECT_EQ(shownRow(22), m_prompts[4]);
    sendKey(mw::KEY_ENTER, mw::KEY_PRESSED);
    EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
}

TEST_F(TutorialTest, APracticeLostIsAnnouncedOnceWithWhatWentWrongAndShownUntilEnter) {
    MW_OPEN_WINDOW();
    // Down for the whole count, then down a fourth time, once the lessons are done.
    for (const int knockdowns : {1, 4}) {
        for (const mw::Key key : {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P}) {
            sendKey(key, mw::KEY_PRESSED);
            m_driver.advance(10);
        }
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
        EXPECT_EQ(shownRow(22), at(33, "Press ENTER to exit"));
        EXPECT_TRUE(m_hero->isFrozen() && m_opponent->isFrozen());
        sendKey(mw::KEY_ENTER, mw::KEY_PRESSED);
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
        enter();
    }
}

// Reacting to what was shown 7 to 9 frames ago: punching every tell, stun and swing, dodging
// as a dodge lesson says (or, not having understood, never). Each lesson is shown for the
// reaction and the ten-frame wait at least.
TEST_F(TutorialTest, ANewcomerWhoPunchesEveryOpeningIsShownEveryLessonBeforeItCanEnd) {
    MW_OPEN_WINDOW();
    const Lines& lessons = m_prompts;
    for (const auto& [seed, dodges, prompts] : {std::tuple{1u, true, lessons},
                                                {2u, true, lessons},
                                                {3u, true, lessons},
                                                {1u, false, Lines{lessons[0]}}}) {
        SCOPED_TRACE(std::to_string(seed) + (dodges ? " dodging" : ""));
        std::srand(seed);
        enter();
        std::vector<std::tuple<std::string, int, int>> seen; // the prompt, state and move
        Lines shown;
        std::vector<int> framesShown;
        mw::Key punch = mw::KEY_O, mash = mw::KEY_Q;
        for (int frame = 0; frame < 6000; ++frame) {
            m_driver.advance();
            if (firstOf<TutorialMode>() == nullptr)
                break;
            const std::string prompt = shownRow(22);
            seen.emplace_back(prompt, m_opponent->getState(), m_opponent->getMove());
            if (!prompt.empty() && (shown.empty() || shown.back() != prompt)) {
                shown.push_back(prompt);
                framesShown.push_back(0);
            }
            if (!framesShown.empty())
                ++framesShown.back();
            if (m_hero->isDown()) {
                if (frame % 4 == 0) {
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
            const auto& [was, state, move] = seen[seen.size() - 1 - reaction];
            const bool dodgeLeft = was == lessons[0] && move == CHARGE_LEFT;
            const bool dodgeRight = was == lessons[1] && move == CHARGE_RIGHT;
            if (was == lessons[4]) {
                m_driver.tap(mw::KEY_ENTER);
            } else if (state == TELL || state == STUNNED) {
                m_driver.tap(punch);
                punch = punch == mw::KEY_O ? mw::KEY_P : mw::KEY_O;
            } else if (move == SWING_LEFT || move == SWING_RIGHT) {
                m_driver.tap(move == SWING_LEFT ? mw::KEY_O : mw::KEY_P);
            } else if (dodges && (dodgeLeft || dodgeRight)) {
                m_driver.tap(dodgeLeft ? mw::KEY_Q : mw::KEY_W);
            }
        }
        EXPECT_EQ(shown, prompts);
        for (std::size_t lesson = 0; lesson + 1 < shown.size(); ++lesson)
            EXPECT_GE(framesShown[lesson], 17) << shown[lesson];
        // Never having dodged: still at the first lesson, nobody down and no result.
        EXPECT_EQ(dodges ? worldTypes() : messages(),
                  dodges ? Lines{"TitleScreen"} : Lines{"Tutorial"});
    }
}

// Until the lessons are done no swing takes the hero down.
TEST_F(TutorialTest, HintsFollowTheOpponentsStateAndAHeroDownSeesOnlyHowToGetUp) {
    MW_OPEN_WINDOW();
    const std::string wait =
        at(11, "Punch in his tell (beep), his stun, or on the side of his swing");
    const std::string open = at(31, "He is open: hit him now!");
    const std::string getUp = at(29, "Alternate Q W O P to get up!");
    const std::string left = at(14, "Glove cocked on the right: when it flashes, lean away left");
    const std::string right = at(14, "Glove cocked on the left: when it flashes, lean away right");
    const struct {
        int step, state;
        bool floored;                // twenty swings taken and twenty punches landed
        std::string hint, knockdown; // the prompt is the step's, unless the hero is down
        int heroHealth, opponentHealth;
    } rows[] = {
        {0, NEUTRAL, false, left, "", 100, 100},    {0, ATTACKING, true, left, "", 10, 10},
        {1, ATTACKING, false, right, "", 100, 100}, {2, NEUTRAL, false, wait, "", 100, 100},
        {2, ATTACKING, false, wait, "", 100, 100},  {2, TELL, false, open, "", 100, 100},
        {2, TELL, true, open, "", 10, 10},          {3, DODGING, false, wait, "", 100, 100},
        {3, STUNNED, true, open, "", 10, 10},       {4, NEUTRAL, false, "", "", 100, 100},
        {4, TELL, true, "", getUp, 0, 0},
    };
    const mw::Key keys[] = {mw::KEY_Q, mw::KEY_W, mw::KEY_O, mw::KEY_P};
    FightingOpponent& opponent = *m_opponent;
    int step = 0;
    for (const auto& row : rows) {
        const std::string prompt = row.knockdown.empty() ? m_prompts[row.step] : "";
        SCOPED_TRACE(prompt + "|" + row.hint);
        for (; step < row.step; ++step) {
            sendKey(keys[step], mw::KEY_PRESSED);
            m_driver.advance(10);
        }
        m_hero->getHealthUI()->setHealth(100);
        opponent.getHealthUI()->setHealth(100);
        if (row.floored) {
            floorHero(*m_hero);
            for (int punch = 0; punch < 20; ++punch)
                opponent.takeHit();
        }
        TestAccess::setState(opponent, row.state);
        m_driver.advance();
        EXPECT_EQ(shownRow(22) + "|" + shownRow(23), prompt + "|" + row.hint);
        EXPECT_EQ(shownRow(4), row.knockdown);
        EXPECT_EQ(m_hero->getHealth(), row.heroHealth);
        EXPECT_EQ(opponent.getHealthUI()->getHealth(), row.opponentHealth);
    }
    for (int press = 0; press < 50; ++press) {
        m_driver.press(keys[press % 2]);
        m_driver.advance();
        m_driver.release(keys[press % 2]);
    }
    EXPECT_EQ(shownRow(22) + "|" + shownRow(4), "|" + getUp);
    m_driver.advance();
    EXPECT_EQ(shownRow(22) + "|" + shownRow(4), m_prompts[4] + "|");
}

} // namespace
