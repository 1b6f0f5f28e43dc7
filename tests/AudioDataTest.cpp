// Decodes the generated sound effects and theme music with SFML, the way the
// game loads them, and checks their length, level and joins.

#include <SFML/Audio/SoundBuffer.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kFullScale = 32767;
// Normalised to about -1 dBFS: well above half scale, never at the rail.
constexpr int kMinimumPeak = 16000;
// A join counts as a click when neighbouring samples jump by more than 2% of full scale.
constexpr int kMaximumJoinStep = 655;
// How many samples at each end of the theme must rise or fall gently.
constexpr std::size_t kEdgeSamples = 16;

std::string audioPath(const std::string& name) {
    return std::string(MW_RUN_DIR) + "/audio/" + name + ".wav";
}

// The decoded samples of one file, copied out of the buffer.
struct Decoded {
    std::vector<std::int16_t> samples;
    unsigned sampleRate = 0;
    unsigned channels = 0;
    float seconds = 0.0f;
};

::testing::AssertionResult decode(const std::string& name, Decoded& out) {
    sf::SoundBuffer buffer;
    if (!buffer.loadFromFile(audioPath(name)))
        return ::testing::AssertionFailure() << "cannot decode " << audioPath(name);
    const std::int16_t* first = buffer.getSamples();
    out.samples.assign(first, first + buffer.getSampleCount());
    out.sampleRate = buffer.getSampleRate();
    out.channels = buffer.getChannelCount();
    out.seconds = buffer.getDuration().asSeconds();
    return ::testing::AssertionSuccess();
}

int peakOf(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (std::int16_t sample : samples)
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

double rmsOf(const std::vector<std::int16_t>& samples) {
    double sum = 0.0;
    for (std::int16_t sample : samples)
        sum += static_cast<double>(sample) * sample;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// Largest jump between neighbours among samples [begin, end).
int largestStep(const std::vector<std::int16_t>& samples, std::size_t begin, std::size_t end) {
    int step = 0;
    for (std::size_t i = begin + 1; i < end; ++i)
        step = std::max(step, std::abs(samples[i] - samples[i - 1]));
    return step;
}

const std::vector<std::string>& effectNames() {
    static const std::vector<std::string> names = {
        "hero-dodge",       "hero-hit",         "hero-swing",      "opponent-dodge", "opponent-hit",
        "opponent-swing",   "opponent-stunned", "opponent-charge", "opponent-tell",  "tko",
        "successful-dodge",
    };
    return names;
}

// Format every file shares: mono at one of the two rates the synthesiser may use.
void expectGameFormat(const Decoded& sound) {
    EXPECT_EQ(sound.channels, 1u);
    EXPECT_TRUE(sound.sampleRate == 44100u || sound.sampleRate == 22050u) << sound.sampleRate;
    ASSERT_GT(sound.sampleRate, 0u);
    EXPECT_NEAR(sound.seconds, static_cast<double>(sound.samples.size()) / sound.sampleRate, 1e-3);
}

void expectNormalised(const Decoded& sound) {
    const int peak = peakOf(sound.samples);
    EXPECT_LT(peak, kFullScale) << "clipped";
    EXPECT_GT(peak, kMinimumPeak) << "not normalised";
}

class AudioEffectTest : public ::testing::TestWithParam<std::string> {};

TEST_P(AudioEffectTest, DecodesAsShortMonoClip) {
    Decoded sound;
    ASSERT_TRUE(decode(GetParam(), sound));
    expectGameFormat(sound);
    EXPECT_GT(sound.seconds, 0.05f);
    EXPECT_LE(sound.seconds, 1.0f);
}

TEST_P(AudioEffectTest, IsNormalisedAndAudible) {
    Decoded sound;
    ASSERT_TRUE(decode(GetParam(), sound));
    expectNormalised(sound);
    // A clip with one loud spike and nothing else would pass the peak check alone.
    EXPECT_GT(rmsOf(sound.samples), 1000.0);
}

TEST_P(AudioEffectTest, StartsAndEndsWithoutClick) {
    Decoded sound;
    ASSERT_TRUE(decode(GetParam(), sound));
    ASSERT_GT(sound.samples.size(), 2 * kEdgeSamples);
    EXPECT_LE(std::abs(sound.samples.front()), kMaximumJoinStep);
    EXPECT_LE(std::abs(sound.samples.back()), kMaximumJoinStep);
}

INSTANTIATE_TEST_SUITE_P(Audio, AudioEffectTest, ::testing::ValuesIn(effectNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(AudioEffects, AreAllDifferent) {
    const std::vector<std::string>& names = effectNames();
    std::vector<std::vector<std::int16_t>> all(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        Decoded sound;
        ASSERT_TRUE(decode(names[i], sound));
        all[i] = std::move(sound.samples);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j)
            EXPECT_NE(all[i], all[j]) << names[i] << " and " << names[j] << " are identical";
    }
}

class AudioThemeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(decode("mwbrawlicktheme", m_theme)); }

    Decoded m_theme;
};

TEST_F(AudioThemeTest, LastsTwentyToFortySeconds) {
    expectGameFormat(m_theme);
    EXPECT_GE(m_theme.seconds, 20.0f);
    EXPECT_LE(m_theme.seconds, 40.0f);
}

TEST_F(AudioThemeTest, IsNormalisedAndAudible) {
    expectNormalised(m_theme);
    EXPECT_GT(rmsOf(m_theme.samples), 1000.0);
}

TEST_F(AudioThemeTest, LoopsWithoutClickAtTheSeam) {
    const std::vector<std::int16_t>& samples = m_theme.samples;
    ASSERT_GT(samples.size(), 2 * kEdgeSamples);
    // Playing on from the last sample into the first must be one small step...
    EXPECT_LE(std::abs(samples.back() - samples.front()), kMaximumJoinStep);
    // ...and both sides of the join must move gently, or the seam still clicks.
    EXPECT_LE(largestStep(samples, 0, kEdgeSamples), kMaximumJoinStep);
    EXPECT_LE(largestStep(samples, samples.size() - kEdgeSamples, samples.size()),
              kMaximumJoinStep);
}

} // namespace
