#include "support/GameSupport.h"

#include "game/TitleScreen.h"

#include <regex>

namespace {

using namespace gametest;

enum Style {
    STANDS_STILL,       // only presses a key to go on after a prompt
    DODGES,             // dodges every wind-up and never punches
    FIGHTS,             // dodges, counters a swing on its side, punches the tell and the stun
    FIGHTS_THEN_DODGES, // fights until the opponent has been down once, then only dodges
};

class ScenarioTest : public GameTest, public ::testing::WithParamInterface<unsigned> {
protected:
    void play(Style style) {
        ++m_frame;
        if (std::ranges::count(messages(), "Press any key to continue.") > 0) {
            m_driver.tap(mw::KEY_SPACE);
            return;
        }
        const bool leftHeld = m_driver.isHeld(mw::KEY_Q);
        for (const mw::Key key : {mw::KEY_Q, mw::KEY_W}) // mashing: each key held one frame
            if (m_driver.isHeld(key))
                m_driver.release(key);
        if (m_hero->isDown()) {
            m_driver.press(leftHeld ? mw::KEY_W : mw::KEY_Q);
            return;
        }
        const int move = m_opponent->getMove(), state = m_opponent->getState();
        const bool windingUp = state == ATTACKING && (move == CHARGE_LEFT || move == CHARGE_RIGHT);
        m_windUpStart = windingUp && move != m_windUpSeen ? m_frame : m_windUpStart;
        m_windUpSeen = windingUp ? move : IDLE;
        if (m_hero->getMove() != IDLE || m_opponent->isDown())
            return;
        // A wind-up swings 31 frames after it is first seen and a dodge lasts
        // 10: dodging from its second frame on, the third dodge takes the swing.
        if (windingUp && style != STANDS_STILL) {
            if (m_frame > m_windUpStart)
                m_driver.tap(move == CHARGE_LEFT ? mw::KEY_Q : mw::KEY_W);
            return;
        }
        if (style == FIGHTS_THEN_DODGES ? m_opponent->getMatchKnockdowns() > 0 : style != FIGHTS)
            return;
        if (state == ATTACKING && move == SWING_LEFT)
            m_driver.tap(mw::KEY_O);
        else if ((state == ATTACKING && move == SWING_RIGHT) || state == TELL || state == STUNNED)
            m_driver.tap(mw::KEY_P);
    }

    int m_frame = 0, m_windUpStart = 0, m_windUpSeen = IDLE;
};

TEST_P(ScenarioTest, FightsEndAsThePlayerDeserves) {
    const struct {
        int opponent;
        Style style;
        std::string before, result, after; // after: a pattern of "hsdata.txt"
        int round, downs; // round of the result (0: any); opponent's downs times 10 plus the hero's
    } fights[] = {
        {1, FIGHTS, "(none)", "You won by TKO!", "[0-4][0-9][0-9]\n\n\n", 0, 30},
        {2, FIGHTS, "207\n001\n", "You won by TKO!", "207\n001\n\n", 0, 30},
        {3, FIGHTS, "(none)", "You won by KO!", "\n\n[0-4][0-9][0-9]\n", 0, 60},
        {1, STANDS_STILL, "105\n", "You lost by TKO.", "105\n", 0, 1},
        {3, FIGHTS_THEN_DODGES, "(none)", "You won by decision!", "\n\n430\n", 4, -1},
        {1, DODGES, "(none)", "The judges have ruled the game a tie.", "\\(none\\)", 4, 0},
    };
    for (const auto& f : fights) {
        SCOPED_TRACE(f.result);
        useHighScoreFile(f.before);
        std::srand(GetParam()); // each seed is another fight
        startFight(f.opponent);
        std::string result;
        int round = 0, downs = 0;
        for (int frame = 0; frame < 12000 && firstOf<TitleScreen>() == nullptr; ++frame) {
            const Lines shown = messages();
            if (result.empty() && !shown.empty() &&
                (shown[0].starts_with("You ") || shown[0].starts_with("The judges"))) {
                result = shown[0];
                round = m_rounds->getRound();
                downs = m_opponent->getMatchKnockdowns() * 10 + m_hero->getMatchKnockdowns();
            }
            if (firstOf<Hero>() != nullptr)
                play(f.style);
            m_driver.advance();
        }
        EXPECT_EQ(worldTypes(), Lines{"TitleScreen"});
        EXPECT_EQ(result, f.result);
        EXPECT_TRUE(std::regex_match(highScoreFile(), std::regex(f.after))) << highScoreFile();
        EXPECT_TRUE(f.round == 0 || round == f.round) << round;
        EXPECT_TRUE(f.downs < 0    ? downs / 10 > downs % 10
                    : f.downs == 0 ? downs == 0
                                   : downs >= f.downs)
            << downs;
        mw::WorldManager::getInstance().markForDelete(firstOf<TitleScreen>());
        mw::WorldManager::getInstance().update();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, ScenarioTest, ::testing::Values(1u, 2u));

} // namespace
