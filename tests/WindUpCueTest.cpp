#include "game/ResourceManifest.h"

#include "support/GameSupport.h"

#include <array>
#include <set>

namespace {

class WindUpInAFightTest : public gametest::GameTest, public ::testing::WithParamInterface<int> {
protected:
    bool withSounds() const override { return false; }
    void SetUp() override {
        GameTest::SetUp();
        MW_OPEN_WINDOW();
        mw::ResourceManager::getInstance().shutDown(); // the game's own sprites instead
        std::filesystem::copy(std::filesystem::path(MW_RUN_DIR) / "sprites",
                              m_scratch.path() / "sprites",
                              std::filesystem::copy_options::recursive);
        loadResources();
        startFight(GetParam());
    }

    std::string flashes(int frames) {
        std::string shown;
        for (int frame = 0; frame < frames; ++frame) {
            m_driver.advance();
            bool flash = false;
            for (int row = 0; row < 24; ++row)
                flash = flash || shownRow(row).find('*') != std::string::npos;
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
