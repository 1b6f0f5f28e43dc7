// The opponents' wind-up sprites as the game ships them: the cocked glove flashes
// (a frame with a '*' in it) in the wind-up's last twelve steps and never before.

#include "engine/Animation.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include "support/TestSupport.h"

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

} // namespace
