// The generated sounds, decoded as the game loads them: mono, of their length,
// loud without clipping, starting and ending within 2 % of silence (no click).

#include <SFML/Audio/SoundBuffer.hpp>

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(AudioDataTest, EffectsAreShortDistinctClipsAndTheThemeLoopsWithoutAClick) {
    std::vector<std::vector<std::int16_t>> effects;
    for (const std::string name :
         {"hero-dodge", "hero-hit", "hero-swing", "opponent-dodge", "opponent-hit",
          "opponent-swing", "opponent-stunned", "opponent-charge", "opponent-tell", "tko",
          "successful-dodge", "mwbrawlicktheme"}) {
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromFile(MW_RUN_DIR "/audio/" + name + ".wav")) << name;
        const std::vector<std::int16_t> s(buffer.getSamples(),
                                          buffer.getSamples() + buffer.getSampleCount());
        const float seconds = buffer.getDuration().asSeconds();
        EXPECT_TRUE(buffer.getChannelCount() == 1u &&
                    (buffer.getSampleRate() == 44100u || buffer.getSampleRate() == 22050u))
            << name;
        ASSERT_GT(s.size(), 32u) << name;
        int peak = 0;
        double power = 0;
        for (const std::int16_t sample : s) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
            power += static_cast<double>(sample) * sample;
        }
        EXPECT_TRUE(peak > 16000 && peak < 32767 && std::sqrt(power / s.size()) > 1000.0) << name;
        EXPECT_TRUE(std::abs(s.front()) <= 655 && std::abs(s.back()) <= 655) << name;
        if (name == "mwbrawlicktheme") {
            EXPECT_TRUE(seconds >= 20.0f && seconds <= 40.0f) << seconds;
            for (std::size_t i = 1; i < 16; ++i) { // and it joins smoothly when it loops
                EXPECT_LE(std::abs(s[i] - s[i - 1]), 655) << i;
                EXPECT_LE(std::abs(s[s.size() - i] - s[s.size() - i - 1]), 655) << i;
            }
        } else {
            EXPECT_TRUE(seconds > 0.05f && seconds <= 1.0f) << name << " " << seconds;
            EXPECT_EQ(std::count(effects.begin(), effects.end(), s), 0) << name;
            effects.push_back(s);
        }
    }
}

} // namespace
