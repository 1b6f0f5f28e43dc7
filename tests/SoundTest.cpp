#include "engine/ResourceManager.h"

#include "support/TestSupport.h"

#include <SFML/Audio/Music.hpp>

#include <algorithm>
#include <cstdint>
#include <fstream>

using mw::ResourceManager;

namespace {

// A short 16-bit mono WAV of a square wave.
void writeWav(const std::filesystem::path& file, int samples) {
    std::ofstream out(file, std::ios::binary);
    auto put32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    put32(36 + samples * 2);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(1);
    put32(22050);
    put32(44100);
    put16(2);
    put16(16);
    out.write("data", 4);
    put32(samples * 2);
    for (int i = 0; i < samples; ++i)
        put16(static_cast<std::uint16_t>((i / 20) % 2 ? 8000 : -8000));
}

class SoundTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ResourceManager::getInstance().startUp();
        writeWav(m_scratch.path() / "beep.wav", 2205);
    }
};

TEST_F(SoundTest, TheHundredAndTwentyNinthSoundAndMusicAreRefused) {
    ResourceManager& resources = ResourceManager::getInstance();
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(resources.loadSound("beep.wav", "s" + std::to_string(i)), 0);
    EXPECT_EQ(resources.loadSound("beep.wav", "extra"), -1);
    EXPECT_EQ(countLogged("ResourceManager::loadSound - Sound array full!"), 1);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(resources.loadMusic("beep.wav", "m" + std::to_string(i)), 0);
    EXPECT_EQ(resources.loadMusic("beep.wav", "extra"), -1);
    EXPECT_EQ(countLogged("ResourceManager::loadMusic - Music array full!"), 1);
    EXPECT_EQ(resources.getSoundCount(), 128);
    EXPECT_EQ(resources.getMusicCount(), 128);
}

TEST_F(SoundTest, AFailedLoadLeavesItsRecordForTheNextOne) {
    ResourceManager& resources = ResourceManager::getInstance();
    writeFile("broken.wav", "RIFF but not really a wave file");
    EXPECT_EQ(resources.loadSound("missing.wav", "gone"), -1);
    EXPECT_EQ(resources.loadSound("broken.wav", "broken"), -1);
    EXPECT_EQ(resources.getSoundCount(), 0);
    ASSERT_EQ(resources.loadSound("beep.wav", "beep"), 0);
    EXPECT_EQ(resources.getSoundCount(), 1);
    EXPECT_EQ(resources.getSound("beep"), resources.getSound("beep"));
    EXPECT_EQ(resources.getSound("gone"), nullptr);
    EXPECT_EQ(countLogged("ResourceManager::loadSound - Unable to load sound 'gone' from file "
                          "'missing.wav'"),
              1);
    EXPECT_EQ(countLogged("ResourceManager::loadSound - Unable to load sound 'broken' from file "
                          "'broken.wav'"),
              1);
    EXPECT_EQ(
        countLogged("ResourceManager::loadSound - Loaded sound with label 'beep' in 'beep.wav' "
                    "succesfully"),
        1);

    EXPECT_EQ(resources.loadMusic("missing.wav", "theme"), -1);
    EXPECT_EQ(resources.getMusic("theme"), nullptr);
    ASSERT_EQ(resources.loadMusic("beep.wav", "theme"), 0);
    EXPECT_NE(resources.getMusic("theme"), nullptr);
    EXPECT_EQ(countLogged("ResourceManager::loadMusic - Unable to load music 'theme' from file "
                          "'missing.wav'"),
              1);
    EXPECT_EQ(countLogged("ResourceManager::loadMusic - Loaded music with label 'theme' from file "
                          "'beep.wav' succesfully"),
              1);
}

TEST_F(SoundTest, PlayingASoundAgainRestartsItsOneVoice) {
    ResourceManager& resources = ResourceManager::getInstance();
    ASSERT_EQ(resources.loadSound("beep.wav", "beep"), 0);
    mw::Sound* sound = resources.getSound("beep");
    sound->play();
    sound->getVoice()->setPlayingOffset(sf::milliseconds(80));
    sound->play();
    EXPECT_LT(sound->getVoice()->getPlayingOffset(), sf::milliseconds(80));
    EXPECT_FALSE(sound->getVoice()->isLooping());
    resources.playSound("not loaded"); // skipped quietly
    EXPECT_EQ(resources.getSound("hero-idle"), nullptr);
}

} // namespace
