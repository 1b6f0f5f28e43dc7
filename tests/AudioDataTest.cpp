// Decodes the generated sound effects and theme music with SFML, the way the
// game loads them, and checks their format, length, level and joins.

#include <SFML/Audio/SoundBuffer.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Decoded {
    std::vector<std::int16_t> samples;
    float seconds = 0;
};

// Mono at 44100 or 22050 Hz, normalised near -1 dBFS without clipping, not a
// lone spike, and starting and ending within 2 % of full scale (no click).
Decoded decodeAndCheck(const std::string& name) {
    SCOPED_TRACE(name);
    sf::SoundBuffer buffer;
    Decoded out;
    EXPECT_TRUE(buffer.loadFromFile(std::string(MW_RUN_DIR) + "/audio/" + name + ".wav"));
    out.samples.assign(buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
    out.seconds = buffer.getDuration().asSeconds();
    EXPECT_EQ(buffer.getChannelCount(), 1u);
    EXPECT_TRUE(buffer.getSampleRate() == 44100u || buffer.getSampleRate() == 22050u);
    if (out.samples.size() < 32) {
        ADD_FAILURE() << "too short";
        return out;
    }
    int peak = 0;
    double sum = 0;
    for (std::int16_t s : out.samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        sum += static_cast<double>(s) * s;
    }
    EXPECT_LT(peak, 32767);
    EXPECT_GT(peak, 16000);
    EXPECT_GT(std::sqrt(sum / out.samples.size()), 1000.0);
    EXPECT_LE(std::abs(out.samples.front()), 655);
    EXPECT_LE(std::abs(out.samples.back()), 655);
    return out;
}

TEST(AudioDataTest, EffectsAreShortDistinctClips) {
    std::vector<std::vector<std::int16_t>> all;
    for (const char* name : {"hero-dodge", "hero-hit", "hero-swing", "opponent-dodge",
                             "opponent-hit", "opponent-swing", "opponent-stunned",
                             "opponent-charge", "opponent-tell", "tko", "successful-dodge"}) {
        const Decoded sound = decodeAndCheck(name);
        EXPECT_GT(sound.seconds, 0.05f) << name;
        EXPECT_LE(sound.seconds, 1.0f) << name;
        EXPECT_EQ(std::count(all.begin(), all.end(), sound.samples), 0) << name;
        all.push_back(sound.samples);
    }
}

TEST(AudioDataTest, ThemeLastsTwentyToFortySecondsAndLoopsWithoutAClick) {
    const Decoded theme = decodeAndCheck("mwbrawlicktheme");
    EXPECT_GE(theme.seconds, 20.0f);
    EXPECT_LE(theme.seconds, 40.0f);
    const std::vector<std::int16_t>& s = theme.samples;
    ASSERT_GT(s.size(), 32u);
    EXPECT_LE(std::abs(s.back() - s.front()), 655);
    for (std::size_t i = 1; i < 16; ++i) {
        EXPECT_LE(std::abs(s[i] - s[i - 1]), 655) << i;
        EXPECT_LE(std::abs(s[s.size() - i] - s[s.size() - i - 1]), 655) << i;
    }
}

} // namespace
