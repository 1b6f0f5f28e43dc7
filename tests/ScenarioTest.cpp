#include "support/GameSupport.h"

#include "game/BoxerMove.h"
#include "game/EventGameOver.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

namespace {

using gametest::firstOf;
using gametest::showsMessage;

const std::string PROMPT = "Press any key to continue.";

// Plays a fight at the keyboard from what the screen shows: the opponent's
// move and state stand for its pictures, the messages for the prompts.
class Player {
public:
    enum Style {
        // Only presses a key to go on after a prompt.
        STANDS_STILL,
        // Dodges every wind-up and never punches.
        DODGES,
        // Dodges, counters a swing on its side, punches the tell and keeps
        // punching while the opponent is stunned.
        FIGHTS,
        // Fights until the opponent has been down once, then only dodges.
        FIGHTS_THEN_DODGES,
    };

    explicit Player(Style style) : m_style(style) {}

    // Chooses the keys of the next frame.
    void play(mw::FrameDriver& keys) {
        ++m_frame;
        if (showsMessage(PROMPT)) {
            keys.tap(mw::KEY_SPACE);
            return;
        }
        const Hero* hero = firstOf<Hero>();
        const Opponent* opponent = firstOf<Opponent>();
        if (hero == nullptr || opponent == nullptr)
            return;
        if (hero->isDown()) {
            mash(keys);
            return;
        }
        letGoOfMashing(keys);
        const int move = opponent->getMove();
        const int state = opponent->getState();
        const bool windingUp = state == ATTACKING && (move == CHARGE_LEFT || move == CHARGE_RIGHT);
        if (windingUp && move != m_windUpSeen)
            m_windUpStart = m_frame;
        m_windUpSeen = windingUp ? move : IDLE;
        if (hero->getMove() != IDLE || opponent->isDown())
            return;

        // A fresh wind-up swings 31 frames after it is first seen and a dodge
        // lasts 10: dodging from the second frame on chains three dodges, the
        // last of them still going when the swing comes.
        if (windingUp && m_style != STANDS_STILL) {
            if (m_frame - m_windUpStart >= 1)
                keys.tap(move == CHARGE_LEFT ? mw::KEY_Q : mw::KEY_W);
            return;
        }
        if (!punches(*opponent))
            return;
        if (state == ATTACKING && move == SWING_LEFT)
            keys.tap(mw::KEY_O);
        else if (state == ATTACKING && move == SWING_RIGHT)
            keys.tap(mw::KEY_P);
        else if (state == TELL || state == STUNNED)
            keys.tap(mw::KEY_P);
    }

    int stunsSeen() const { return m_stuns; }

    // Counts the stuns the player caused; called after every frame.
    void watch() {
        const Opponent* opponent = firstOf<Opponent>();
        const bool stunned = opponent != nullptr && opponent->getState() == STUNNED;
        if (stunned && !m_wasStunned)
            ++m_stuns;
        m_wasStunned = stunned;
    }

private:
    bool punches(const Opponent& opponent) const {
        if (m_style == FIGHTS)
            return true;
        return m_style == FIGHTS_THEN_DODGES && opponent.getMatchKnockdowns() == 0;
    }

    // Alternating keys, each held for one frame: every held event counts.
    void mash(mw::FrameDriver& keys) {
        const bool leftHeld = keys.isHeld(mw::KEY_Q);
        letGoOfMashing(keys);
        keys.press(leftHeld ? mw::KEY_W : mw::KEY_Q);
    }

    static void letGoOfMashing(mw::FrameDriver& keys) {
        for (const mw::Key key : {mw::KEY_Q, mw::KEY_W}) {
            if (keys.isHeld(key))
                keys.release(key);
        }
    }

    Style m_style;
    int m_frame = 0;
    int m_windUpStart = 0;
    int m_windUpSeen = IDLE;
    int m_stuns = 0;
    bool m_wasStunned = false;
};

// What a fight came to, as the screen showed it.
struct Outcome {
    std::string result;
    int round = 0;
    int timeLeft = 0;
    int heroKnockdowns = 0;
    int opponentKnockdowns = 0;
    int stuns = 0;
    bool backAtTitle = false;
};

// Notes the clock and the knockdowns at the moment the result is announced,
// which is when the winning time is taken.
class Witness : public mw::Object {
public:
    explicit Witness(Outcome& outcome) : m_outcome(outcome) {
        setType("Witness");
        setSolidness(mw::INTANGIBLE);
    }

    int eventHandler(const mw::Event& event) override {
        if (event.getType() != GAME_OVER_EVENT)
            return 0;
        const RoundSystem* referee = firstOf<RoundSystem>();
        m_outcome.round = referee->getRound();
        m_outcome.timeLeft = referee->getTimer()->getTimeLeft();
        m_outcome.heroKnockdowns = firstOf<Hero>()->getMatchKnockdowns();
        m_outcome.opponentKnockdowns = firstOf<Opponent>()->getMatchKnockdowns();
        return 1;
    }

private:
    Outcome& m_outcome;
};

class ScenarioTest : public gametest::GameTest, public ::testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        GameTest::SetUp();
        loadBoxerSprites();
        std::srand(GetParam());
    }

    // A whole fight from the title screen's choice to the title screen again.
    const Outcome& fight(int opponent, Player::Style style) {
        Player player(style);
        Outcome& outcome = m_outcome;
        MatchLoader::getInstance().startMatch(opponent);
        new Witness(outcome);
        // Three rounds with their pauses take under 8,500 frames.
        for (int frame = 0; frame < 12000 && !outcome.backAtTitle; ++frame) {
            const RoundSystem* referee = firstOf<RoundSystem>();
            if (referee != nullptr && referee->isMatchOver() && outcome.result.empty())
                outcome.result = resultShown();
            player.play(m_driver);
            m_driver.advance();
            player.watch();
            outcome.backAtTitle = firstOf<TitleScreen>() != nullptr && firstOf<Hero>() == nullptr;
        }
        outcome.stuns = player.stunsSeen();
        return outcome;
    }

    // Outlives the fight's objects, the witness among them.
    Outcome m_outcome;

    // The message that is not the prompt; the result comes after any other.
    static std::string resultShown() {
        std::string result;
        for (const std::string& text : gametest::messages()) {
            if (text != PROMPT)
                result = text;
        }
        return result;
    }

    // The time stored for a win at that moment of the fight.
    static std::string storedTime(const Outcome& outcome) {
        const int seconds = (outcome.round - 1) * 90 + (90 - outcome.timeLeft);
        const std::string secondsText = std::to_string(seconds % 60);
        return std::to_string(seconds / 60) + std::string(2 - secondsText.size(), '0') +
               secondsText;
    }

    static std::string shownTime(const std::string& stored) {
        return stored.substr(0, 1) + ":" + stored.substr(1);
    }
};

TEST_P(ScenarioTest, FirstOpponentIsBeatenByTechnicalKnockout) {
    const Outcome& outcome = fight(1, Player::FIGHTS);
    ASSERT_EQ(outcome.result, "You won by TKO!");
    EXPECT_GE(outcome.opponentKnockdowns, 3);
    EXPECT_GT(outcome.stuns, 0);
    const std::string time = storedTime(outcome);
    EXPECT_EQ(highScoreLines(), (std::vector<std::string>{time, "", ""}));
    EXPECT_TRUE(outcome.backAtTitle);
    EXPECT_EQ(MatchLoader::getInstance().getHighScore(1), shownTime(time));
}

TEST_P(ScenarioTest, SecondOpponentBeatenSlowerThanTheRecordKeepsIt) {
    // A record no fight can beat, written by hand.
    useHighScoreFile("207\n001\n");
    const Outcome& outcome = fight(2, Player::FIGHTS);
    ASSERT_EQ(outcome.result, "You won by TKO!");
    EXPECT_GT(outcome.stuns, 0);
    // Rewritten all the same, now with its three lines.
    EXPECT_EQ(highScoreLines(), (std::vector<std::string>{"207", "001", ""}));
    EXPECT_TRUE(outcome.backAtTitle);
}

TEST_P(ScenarioTest, ThirdOpponentIsKnockedOutAtItsSixthKnockdown) {
    const Outcome& outcome = fight(3, Player::FIGHTS);
    ASSERT_EQ(outcome.result, "You won by KO!");
    EXPECT_EQ(outcome.opponentKnockdowns, 6);
    EXPECT_GT(outcome.stuns, 0);
    EXPECT_EQ(highScoreLines(), (std::vector<std::string>{"", "", storedTime(outcome)}));
    EXPECT_TRUE(outcome.backAtTitle);
}

TEST_P(ScenarioTest, APlayerWhoDoesNothingLosesAndNothingIsWritten) {
    useHighScoreFile("105\n");
    const Outcome& outcome = fight(1, Player::STANDS_STILL);
    ASSERT_EQ(outcome.result, "You lost by TKO.");
    EXPECT_GE(outcome.heroKnockdowns, 1);
    EXPECT_EQ(outcome.opponentKnockdowns, 0);
    EXPECT_EQ(highScoreFileContent(), "105\n");
    EXPECT_TRUE(outcome.backAtTitle);
}

TEST_P(ScenarioTest, FewerKnockdownsWinOnTheJudgesCards) {
    const Outcome& outcome = fight(3, Player::FIGHTS_THEN_DODGES);
    ASSERT_EQ(outcome.result, "You won by decision!");
    EXPECT_EQ(outcome.round, 4);
    EXPECT_LT(outcome.heroKnockdowns, outcome.opponentKnockdowns);
    EXPECT_EQ(highScoreLines(), (std::vector<std::string>{"", "", "430"}));
    EXPECT_EQ(MatchLoader::getInstance().getHighScore(3), "4:30");
    EXPECT_TRUE(outcome.backAtTitle);
}

TEST_P(ScenarioTest, ThreeRoundsWithoutAPunchAreADraw) {
    const Outcome& outcome = fight(1, Player::DODGES);
    ASSERT_EQ(outcome.result, "The judges have ruled the game a tie.");
    EXPECT_EQ(outcome.round, 4);
    EXPECT_EQ(outcome.heroKnockdowns, 0);
    EXPECT_EQ(outcome.opponentKnockdowns, 0);
    EXPECT_FALSE(std::filesystem::exists(m_scratch.path() / HIGH_SCORE_FILE));
    EXPECT_TRUE(outcome.backAtTitle);
}

// The opponents roll with rand(): each seed is another fight.
INSTANTIATE_TEST_SUITE_P(Seeds, ScenarioTest, ::testing::Values(1u, 2u, 3u));

} // namespace
