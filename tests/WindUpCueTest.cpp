#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"

#include "support/GameSupport.h"

#include <array>
#include <set>

namespace {

class WindUpInAFightTest : public mwtest::EngineTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MW_OPEN_WINDOW();
        sharedCounts().reset();
        std::srand(1);
        std::filesystem::copy(std::filesystem::path(MW_RUN_DIR) / "sprites",
                              m_scratch.path() / "sprites",
                              std::filesystem::copy_options::recursive);
        loadResources();
        MatchLoader::getInstance().startUp();
        MatchLoader::getInstance().startMatch(GetParam());
        mw::WorldManager::getInstance().update();
        m_opponent = gametest::firstOf<FightingOpponent>();
        ASSERT_NE(m_opponent, nullptr);
    }
    void TearDown() override {
        MatchLoader::getInstance().shutDown();
        EngineTest::TearDown();
    }

    std::string flashes(int frames) {
        std::string shown;
        for (int frame = 0; frame < frames; ++frame) {
            m_driver.advance();
            bool flash = false;
            for (int row = 0; row < 24; ++row)
                for (int column = 0; column < 80; ++column)
                    flash =
                        flash || mw::DisplayManager::getInstance().shownCell(column, row).ch == '*';
            shown += flash ? '*' : '.';
        }
        return shown;
    }

    // Starts a wind-up from the count, as after a wind-up cut short.
    void windUpFrom(int count) {
        SharedCounts& counts = sharedCounts();
        *std::array{&counts.opponent1AttackSteps, &counts.opponent2AttackSteps,
                    &counts.opponent3AttackSteps}[GetParam() - 1] = count;
        TestAccess::setState(*m_opponent, ATTACKING);
        TestAccess::setMove(*m_opponent, IDLE);
    }

    mw::FrameDriver m_driver;
    FightingOpponent* m_opponent = nullptr;
};

// The end of an attack spell leaves its count to the next wind-up.
TEST_P(WindUpInAFightTest, TheGloveFlashesOnTheLastTwelveFramesOfEveryWindUpWhateverItsStart) {
    const std::pair<int, const char*> windUps[] = {
        {0, "...................************."},
        {5, "..............************."},
        {19, "************."},
        {25, "******."},
        {30, "*."},
    };
    std::set<std::string> swings;
    for (const auto& [count, shown] : windUps) {
        windUpFrom(count);
        EXPECT_EQ(flashes(static_cast<int>(std::string(shown).size())), shown) << count;
        const std::string label = m_opponent->getSpriteLabel();
        swings.insert(label.substr(std::min(label.find("swing-"), label.size())));
    }
    EXPECT_EQ(swings, (std::set<std::string>{"swing-left", "swing-right"}));
    windUpFrom(15);
    EXPECT_EQ(flashes(8), "....****");
    m_opponent->setFrozen(true);
    EXPECT_EQ(flashes(40), std::string(40, '.'));
    m_opponent->setFrozen(false);
    EXPECT_EQ(flashes(9), "********.");
}

INSTANTIATE_TEST_SUITE_P(Opponents, WindUpInAFightTest, ::testing::Values(1, 2, 3));

} // namespace
