// Whole fights played at the keyboard by a scripted player, from the title
// screen's choice back to the title screen.

#include "support/GameSupport.h"
#include "support/ScriptedPlayer.h"

#include "game/TitleScreen.h"

namespace {

using namespace gametest;

struct Outcome {
    std::string result; // the message shown with the result
    int round, heroKnockdowns, opponentKnockdowns, stuns;
};

class ScenarioTest : public GameTest, public ::testing::WithParamInterface<unsigned> {
protected:
    Outcome fight(int opponent, Player::Style style, const std::string& highScores = "") {
        if (!highScores.empty())
            useHighScoreFile(highScores);
        std::srand(GetParam()); // each seed is another fight
        startFight(opponent);
        Player player(style);
        Outcome outcome{};
        // Three rounds with their pauses take under 8,500 frames.
        for (int frame = 0; frame < 12000 && firstOf<TitleScreen>() == nullptr; ++frame) {
            if (outcome.result.empty() && TestAccess::isMatchOver(*m_rounds)) {
                outcome = {messages().front(), m_rounds->getRound(), m_hero->getMatchKnockdowns(),
                           m_opponent->getMatchKnockdowns(), player.stunsSeen()};
            }
            player.play(m_driver);
            m_driver.advance();
            player.watch();
        }
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
        return outcome;
    }
};

TEST_P(ScenarioTest, FirstOpponentIsBeatenByTechnicalKnockout) {
    const Outcome outcome = fight(1, Player::FIGHTS);
    EXPECT_EQ(outcome.result, "You won by TKO!");
    EXPECT_GE(outcome.opponentKnockdowns, 3);
    EXPECT_GT(outcome.stuns, 0);
    EXPECT_EQ(highScoreFile().substr(3), "\n\n\n");
}

TEST_P(ScenarioTest, SecondOpponentBeatenSlowerThanTheRecordKeepsIt) {
    const Outcome outcome = fight(2, Player::FIGHTS, "207\n001\n");
    EXPECT_EQ(outcome.result, "You won by TKO!");
    EXPECT_EQ(highScoreFile(), "207\n001\n\n");
}

TEST_P(ScenarioTest, ThirdOpponentIsKnockedOutAtItsSixthKnockdown) {
    const Outcome outcome = fight(3, Player::FIGHTS);
    EXPECT_EQ(outcome.result, "You won by KO!");
    EXPECT_EQ(outcome.opponentKnockdowns, 6);
    EXPECT_EQ(highScoreFile().substr(0, 2), "\n\n");
}

TEST_P(ScenarioTest, APlayerWhoDoesNothingLosesAndNothingIsWritten) {
    const Outcome outcome = fight(1, Player::STANDS_STILL, "105\n");
    EXPECT_EQ(outcome.result, "You lost by TKO.");
    EXPECT_EQ(outcome.opponentKnockdowns, 0);
    EXPECT_EQ(highScoreFile(), "105\n");
}

TEST_P(ScenarioTest, FewerKnockdownsWinOnTheJudgesCards) {
    const Outcome outcome = fight(3, Player::FIGHTS_THEN_DODGES);
    EXPECT_EQ(outcome.result, "You won by decision!");
    EXPECT_EQ(outcome.round, 4);
    EXPECT_LT(outcome.heroKnockdowns, outcome.opponentKnockdowns);
    EXPECT_EQ(highScoreFile(), "\n\n430\n");
}

TEST_P(ScenarioTest, ThreeRoundsWithoutAPunchAreADraw) {
    const Outcome outcome = fight(1, Player::DODGES);
    EXPECT_EQ(outcome.result, "The judges have ruled the game a tie.");
    EXPECT_EQ(outcome.round, 4);
    EXPECT_EQ(outcome.heroKnockdowns + outcome.opponentKnockdowns, 0);
    EXPECT_EQ(highScoreFile(), "(none)");
}

INSTANTIATE_TEST_SUITE_P(Seeds, ScenarioTest, ::testing::Values(1u, 2u, 3u));

} // namespace
