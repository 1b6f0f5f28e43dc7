#include "engine/ResourceManager.h"

#include "support/TestSupport.h"

namespace {

class SoundTest : public mwtest::EngineTest {};

TEST_F(SoundTest, AFailedLoadIsLoggedAndAGoodOnePlaysFromItsStartEachTime) {
    std::filesystem::copy_file(mwtest::runDirectory() + "/audio/hero-hit.wav", "hit.wav");
    writeFile("broken.wav", "RIFF but not really a wave file");
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    resources.startUp();
    EXPECT_EQ(resources.loadSound("missing.wav", "gone") +
                  resources.loadMusic("missing.wav", "theme") +
                  resources.loadSound("broken.wav", "broken"),
              -3);
    EXPECT_EQ(resources.getSoundCount() + resources.getMusicCount(), 0);
    ASSERT_EQ(resources.loadSound("hit.wav", "hit") + resources.loadMusic("hit.wav", "theme"), 0);
    EXPECT_TRUE(resources.getSound("gone") == nullptr && resources.getMusic("theme") != nullptr);
    for (const char* line :
         {"Sound - Unable to load sound 'gone' from file 'missing.wav'",
          "Sound - Unable to load sound 'broken' from file 'broken.wav'",
          "Music - Unable to load music 'theme' from file 'missing.wav'",
          "Sound - Loaded sound with label 'hit' in 'hit.wav' succesfully",
          "Music - Loaded music with label 'theme' from file 'hit.wav' succesfully"})
        EXPECT_EQ(countLogged(std::string("ResourceManager::load") + line), 1) << line;
    mw::Sound* sound = resources.getSound("hit");
    sound->play();
    EXPECT_EQ(sound->getVoice()->getStatus(), sf::Sound::Status::Playing);
    sound->getVoice()->setPlayingOffset(sf::milliseconds(80));
    resources.playSound("hit");
    EXPECT_LT(sound->getVoice()->getPlayingOffset(), sf::milliseconds(80));
    EXPECT_FALSE(sound->getVoice()->isLooping());
    resources.playSound("not loaded"); // skipped quietly
}

} // namespace
