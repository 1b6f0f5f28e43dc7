#include "support/GameSupport.h"
#include "support/ScriptedPlayer.h"
#include "support/TestAccess.h"

#include "game/BoxerMove.h"
#include "game/EventGameOver.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

namespace {

using gametest::firstOf;
using gametest::Player;
using gametest::PROMPT;
using gametest::showsMessage;

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
        m_outcome.timeLeft = TestAccess::timer(*referee)->getTimeLeft();
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
            if (referee != nullptr && TestAccess::isMatchOver(*referee) && outcome.result.empty())
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

    // The message that is neither the prompt nor the new best time under the
    // result; the result comes after any other.
    static std::string resultShown() {
        std::string result;
        for (const std::string& text : gametest::messages()) {
            if (text != PROMPT && text.rfind("New best: ", 0) != 0)
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
