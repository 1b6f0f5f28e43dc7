#include "game/ResourceManifest.h"
#include "engine/ResourceManager.h"

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class ResourceManifestTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (const char* item : {"sprites", "audio"})
            fs::copy(fs::path(mwtest::runDirectory()) / item, m_scratch.path() / item,
                     fs::copy_options::recursive);
        mw::ResourceManager::getInstance().startUp();
    }
    // The log lines of the loads, without the managers' own lines.
    std::vector<std::string> loadLines() const {
        std::vector<std::string> loads;
        for (const std::string& line : logLines())
            if (line.rfind("ResourceManager::load", 0) == 0)
                loads.push_back(line);
        return loads;
    }
};

TEST_F(ResourceManifestTest, LoadsEverySpriteSoundAndTheMusicInOrder) {
    loadResources();
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    EXPECT_EQ(resources.getSpriteCount(), 42);
    EXPECT_EQ(resources.getSoundCount(), 11);
    EXPECT_EQ(resources.getMusicCount(), 1);
    const auto loads = loadLines();
    ASSERT_EQ(loads.size(), 54u);
    EXPECT_EQ(loads[0], "ResourceManager::loadSprite - Loaded Sprite in 'sprites/world-spr.txt' "
                        "with label 'world' succesfully");
    EXPECT_EQ(loads[14], "ResourceManager::loadSprite - Loaded Sprite in "
                         "'sprites/opponent-1/opponent-chargeswing-right.txt' with label "
                         "'opponent-charge-right' succesfully");
    EXPECT_EQ(loads[41], "ResourceManager::loadSprite - Loaded Sprite in "
                         "'sprites/opponent-3/opponent3-stunned.txt' with label "
                         "'opponent3-stunned' succesfully");
    EXPECT_EQ(loads[42], "ResourceManager::loadSound - Loaded sound with label 'hero-dodge' in "
                         "'audio/hero-dodge.wav' succesfully");
    EXPECT_EQ(loads[52], "ResourceManager::loadSound - Loaded sound with label 'successful-dodge' "
                         "in 'audio/successful-dodge.wav' succesfully");
    EXPECT_EQ(loads[53], "ResourceManager::loadMusic - Loaded music with label 'theme-music' from "
                         "file 'audio/mwbrawlicktheme.wav' succesfully");
    EXPECT_NE(resources.getSprite("opponent-tell"), nullptr);
    EXPECT_NE(resources.getSound("opponent-tell"), nullptr);
}

TEST_F(ResourceManifestTest, AMissingFileIsLoggedAndLoadingGoesOn) {
    fs::remove(m_scratch.path() / "sprites/opponent-2/opponent2-tell.txt");
    fs::remove(m_scratch.path() / "audio/tko.wav");
    loadResources();
    const auto loads = loadLines();
    ASSERT_EQ(loads.size(), 54u);
    EXPECT_EQ(loads[30], "ResourceManager::loadSprite - Failed to open file "
                         "'sprites/opponent-2/opponent2-tell.txt'");
    EXPECT_EQ(loads[31], "ResourceManager::loadSprite - Loaded Sprite in "
                         "'sprites/opponent-2/opponent2-stunned.txt' with label "
                         "'opponent2-stunned' succesfully");
    EXPECT_EQ(loads[51], "ResourceManager::loadSound - Unable to load sound 'tko' from file "
                         "'audio/tko.wav'");
    EXPECT_EQ(mw::ResourceManager::getInstance().getSpriteCount(), 41);
    EXPECT_EQ(mw::ResourceManager::getInstance().getSoundCount(), 10);
    EXPECT_EQ(mw::ResourceManager::getInstance().getSprite("opponent2-tell"), nullptr);
}

} // namespace
