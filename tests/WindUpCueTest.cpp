// The opponents' wind-up sprites as the game ships them: the cocked glove flashes
// (a frame with a '*' in it) in the wind-up's last twelve steps and never before.

#include "engine/Animation.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"

#include "support/GameSupport.h"

#include <gmock/gmock.h>

#include <array>

namespace {

using WindUpCueTest = mwtest::EngineTest;

TEST_F(WindUpCueTest, TheCockedGloveFlashesOnTheLastTwelveOfTheWindUpsThirtyOneFramesOnly) {
    // A wind-up is drawn on 31 frames in a row and the swing comes on the next one. A
    // dodge pressed from the 23rd frame on avoids it and a player takes 5 to 10 frames
    // to react, so the glove flashes from the 20th frame to the last.
    const std::pair<const char*, int> windUps[] = {
        {"opponent-1/opponent-chargeswing-left.txt", mw::COLOR_MAGENTA},
        {"opponent-1/opponent-chargeswing-right.txt", mw::COLOR_MAGENTA},
        {"opponent-2/opponent2-chargeswing-left.txt", mw::COLOR_YELLOW},
        {"opponent-2/opponent2-chargeswing-right.txt", mw::COLOR_YELLOW},
        {"opponent-3/opponent3-chargeswing-left.txt", mw::COLOR_RED},
        {"opponent-3/opponent3-chargeswing-right.txt", mw::COLOR_RED}};
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    for (const auto& [file, colour] : windUps) {
        SCOPED_TRACE(file);
        const std::string path = std::string(MW_SOURCE_DIR) + "/data/sprites/" + file;
        ASSERT_EQ(resources.loadSprite(path, file), 0);
        mw::Sprite* sprite = resources.getSprite(file);
        EXPECT_EQ((std::vector<int>{sprite->getWidth(), sprite->getHeight(), sprite->getColor()}),
                  (std::vector<int>{21, 10, colour}));
        mw::Animation animation;
        animation.setSprite(sprite);
        std::string cued;               // per frame drawn: '*' with the cue, '.' without
        std::vector<std::string> looks; // the cue frames in turn, a repeat counted once
        for (int step = 1; step <= 31; ++step) {
            // The frame the next draw shows.
            const std::string& shown = sprite->getFrame(animation.getIndex()).getString();
            const bool cue = shown.find('*') != std::string::npos;
            cued += cue ? '*' : '.';
            if (cue && (looks.empty() || looks.back() != shown))
                looks.push_back(shown);
            ASSERT_EQ(animation.draw(mw::Vector(39, 16)), 0);
        }
        EXPECT_EQ(cued, std::string(19, '.') + std::string(12, '*'));
        // A flash: two different looks of the glove, each shown twice, in turn.
        ASSERT_EQ(looks.size(), 4u);
        EXPECT_TRUE(looks[0] != looks[1] && looks[0] == looks[2] && looks[1] == looks[3]);
    }
}

// A fight against one opponent with the game's own sprites, on screen.
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

    // Per frame, '*' when the screen shows the flash and '.' when not.
    std::string flashes(int frames) {
        std::string shown;
        for (int frame = 0; frame < frames; ++frame) {
            m_driver.advance();
            bool flash = false;
            for (int row = 0; row < 24; ++row)
                for (int column = 0; column < 80; ++column)
                    flash = flash || mw::DisplayManager::getInstance().shownCell(column, row).ch == '*';
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

// The flash falls on the wind-up's last twelve frames, the dodge's moment, whatever
// count the wind-up starts from (the end of an attack spell leaves its count to the
// next one), and the swing follows. A frozen wind-up does not flash.
TEST_P(WindUpInAFightTest, TheGloveFlashesOnTheLastTwelveFramesOfEveryWindUpWhateverItsStart) {
    const std::pair<int, const char*> windUps[] = {
        {0, "...................************."},
        {5, "..............************."},
        {19, "************."},
        {25, "******."},
        {30, "*."},
    };
    for (const auto& [count, shown] : windUps) {
        windUpFrom(count);
        EXPECT_EQ(flashes(static_cast<int>(std::string(shown).size())), shown) << count;
        EXPECT_THAT(m_opponent->getSpriteLabel(), ::testing::HasSubstr("swing-")) << count;
    }
    windUpFrom(15);
    EXPECT_EQ(flashes(8), "....****");
    m_opponent->setFrozen(true);
    EXPECT_EQ(flashes(40), std::string(40, '.'));
    m_opponent->setFrozen(false);
    EXPECT_EQ(flashes(9), "********.");
}

INSTANTIATE_TEST_SUITE_P(Opponents, WindUpInAFightTest, ::testing::Values(1, 2, 3));

} // namespace
