// Whole fights played at the keyboard by a scripted player, from the title
// screen's choice back to the title screen, one after another as in one run.

#include "support/GameSupport.h"
#include "support/ScriptedPlayer.h"

#include "game/TitleScreen.h"

#include <regex>

namespace {

using namespace gametest;

class ScenarioTest : public GameTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(ScenarioTest, FightsEndAsThePlayerDeserves) {
    const struct {
        int opponent;
        Player::Style style;
        std::string before, result, after; // after: a pattern of "hsdata.txt"
        int round, knockdowns; // round of the result (0: any); knockdowns: at least, opponent's
                               // times 10 plus the hero's; -1: the hero was down more often
    } fights[] = {
        {1, Player::FIGHTS, "(none)", "You won by TKO!", "[0-4][0-9][0-9]\n\n\n", 0, 30},
        {2, Player::FIGHTS, "207\n001\n", "You won by TKO!", "207\n001\n\n", 0, 30},
        {3, Player::FIGHTS, "(none)", "You won by KO!", "\n\n[0-4][0-9][0-9]\n", 0, 60},
        {1, Player::STANDS_STILL, "105\n", "You lost by TKO.", "105\n", 0, 0},
        {3, Player::FIGHTS_THEN_DODGES, "(none)", "You won by decision!", "\n\n430\n", 4, -1},
        {1, Player::DODGES, "(none)", "The judges have ruled the game a tie.", "\\(none\\)", 4, 0},
    };
    for (const auto& f : fights) {
        SCOPED_TRACE(f.result);
        useHighScoreFile(f.before);
        std::srand(GetParam()); // each seed is another fight
        startFight(f.opponent);
        Player player(f.style);
        std::string result;
        int round = 0, knockdowns = 0;
        // Three rounds with their pauses take under 8,500 frames.
        for (int frame = 0; frame < 12000 && firstOf<TitleScreen>() == nullptr; ++frame) {
            if (result.empty() && TestAccess::isMatchOver(*m_rounds)) {
                result = messages().front();
                round = m_rounds->getRound();
                knockdowns = m_opponent->getMatchKnockdowns() * 10 + m_hero->getMatchKnockdowns();
            }
            player.play(m_driver);
            m_driver.advance();
        }
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
        EXPECT_EQ(result, f.result);
        EXPECT_TRUE(std::regex_match(highScoreFile(), std::regex(f.after))) << highScoreFile();
        EXPECT_TRUE(f.round == 0 || round == f.round) << round;
        const bool downsAsExpected = f.knockdowns > 0            ? knockdowns >= f.knockdowns
                                     : f.knockdowns < 0          ? knockdowns / 10 > knockdowns % 10
                                     : f.style == Player::DODGES ? knockdowns == 0
                                                                 : true;
        EXPECT_TRUE(downsAsExpected) << knockdowns;
        mw::WorldManager::getInstance().markForDelete(firstOf<TitleScreen>());
        mw::WorldManager::getInstance().update();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ScenarioTest, ::testing::Values(1u, 2u, 3u));

} // namespace
