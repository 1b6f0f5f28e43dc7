#include "game/ResourceManifest.h"
#include "engine/ResourceManager.h"

#include "support/TestSupport.h"

namespace {

using ResourceManifestTest = mwtest::EngineTest;

TEST_F(ResourceManifestTest, LoadsEverySpriteSoundAndTheMusicInOrderAndGoesOnPastAMissingOne) {
    for (const char* item : {"sprites", "audio"})
        std::filesystem::copy(mwtest::runDirectory() + "/" + item, item,
                              std::filesystem::copy_options::recursive);
    std::filesystem::remove("sprites/opponent-2/opponent2-tell.txt");
    std::filesystem::remove("audio/tko.wav");
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    resources.startUp();
    loadResources();
    std::vector<std::string> loads;
    for (const std::string& line : logLines()) {
        if (line.rfind("ResourceManager::load", 0) == 0)
            loads.push_back(line.substr(21));
    }
    ASSERT_EQ(loads.size(), 54u);
    const std::pair<int, std::string> expected[] = {
        {0, "Sprite - Loaded Sprite in 'sprites/world-spr.txt' with label 'world' succesfully"},
        {11,
         "Sprite - Loaded Sprite in 'sprites/hero-down.txt' with label 'hero-down' succesfully"},
        {14,
         "Sprite - Loaded Sprite in 'sprites/opponent-1/opponent-chargeswing-right.txt' with label "
         "'opponent-charge-right' succesfully"},
        {30, "Sprite - Failed to open file 'sprites/opponent-2/opponent2-tell.txt'"},
        {41, "Sprite - Loaded Sprite in 'sprites/opponent-3/opponent3-stunned.txt' with label "
             "'opponent3-stunned' succesfully"},
        {42, "Sound - Loaded sound with label 'hero-dodge' in 'audio/hero-dodge.wav' succesfully"},
        {51, "Sound - Unable to load sound 'tko' from file 'audio/tko.wav'"},
        {52, "Sound - Loaded sound with label 'successful-dodge' in 'audio/successful-dodge.wav' "
             "succesfully"},
        {53, "Music - Loaded music with label 'theme-music' from file 'audio/mwbrawlicktheme.wav' "
             "succesfully"},
    };
    for (const auto& [index, line] : expected)
        EXPECT_EQ(loads[index], line);
    EXPECT_EQ((std::vector<int>{resources.getSpriteCount(), resources.getSoundCount(),
                                resources.getMusicCount()}),
              (std::vector<int>{41, 10, 1}));
}

} // namespace
