#include "game/ResourceManifest.h"
#include "engine/ResourceManager.h"

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

using ResourceManifestTest = mwtest::EngineTest;

TEST_F(ResourceManifestTest, LoadsEverySpriteSoundAndTheMusicInOrderAndGoesOnPastAMissingOne) {
    for (const char* item : {"sprites", "audio"})
        fs::copy(fs::path(mwtest::runDirectory()) / item, m_scratch.path() / item,
                 fs::copy_options::recursive);
    fs::remove(m_scratch.path() / "sprites/opponent-2/opponent2-tell.txt");
    fs::remove(m_scratch.path() / "audio/tko.wav");
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    resources.startUp();
    loadResources();
    std::vector<std::string> loads;
    for (const std::string& line : logLines()) {
        if (line.rfind("ResourceManager::load", 0) == 0)
            loads.push_back(line);
    }
    ASSERT_EQ(loads.size(), 54u);
    const std::string sprite = "ResourceManager::loadSprite - Loaded Sprite in 'sprites/";
    const std::pair<int, std::string> expected[] = {
        {0, sprite + "world-spr.txt' with label 'world' succesfully"},
        {11, sprite + "hero-down.txt' with label 'hero-down' succesfully"},
        {14, sprite + "opponent-1/opponent-chargeswing-right.txt' with label "
                      "'opponent-charge-right' succesfully"},
        {30, "ResourceManager::loadSprite - Failed to open file "
             "'sprites/opponent-2/opponent2-tell.txt'"},
        {31,
         sprite + "opponent-2/opponent2-stunned.txt' with label 'opponent2-stunned' succesfully"},
        {41,
         sprite + "opponent-3/opponent3-stunned.txt' with label 'opponent3-stunned' succesfully"},
        {42, "ResourceManager::loadSound - Loaded sound with label 'hero-dodge' in "
             "'audio/hero-dodge.wav' succesfully"},
        {51, "ResourceManager::loadSound - Unable to load sound 'tko' from file 'audio/tko.wav'"},
        {52, "ResourceManager::loadSound - Loaded sound with label 'successful-dodge' in "
             "'audio/successful-dodge.wav' succesfully"},
        {53, "ResourceManager::loadMusic - Loaded music with label 'theme-music' from file "
             "'audio/mwbrawlicktheme.wav' succesfully"},
    };
    for (const auto& [index, line] : expected)
        EXPECT_EQ(loads[index], line);
    EXPECT_EQ(resources.getSpriteCount(), 41);
    EXPECT_EQ(resources.getSoundCount(), 10);
    EXPECT_EQ(resources.getMusicCount(), 1);
    EXPECT_NE(resources.getSound("opponent-tell"), nullptr);
}

} // namespace
