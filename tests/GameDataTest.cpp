#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "game/ResourceManifest.h"

#include "support/TestSupport.h"

#include <SFML/Audio/SoundBuffer.hpp>

#include <cmath>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

using GameDataTest = mwtest::EngineTest;

TEST_F(GameDataTest, EverySpriteHasItsColourAndFitsWhereItIsDrawn) {
    // By the first part of the name that matches: the centre it is drawn at (0: 39 on
    // the left, 45 on the right), the rows it must keep within and the widest it may be.
    const std::tuple<const char*, double, double, double, double, int> places[] = {
        {"world", 40, 12, 0, 24, 80}, {"ring", 42.5, 14, 4, 22, 80},
        {"title", 40, 6, 2, 11, 80},  {"frame", 40, 16, 13, 19, 23},
        {"hero", 42, 19, 16, 21, 13}, {"charge", 0, 16, 11, 21, 21},
        {"dodge", 0, 16, 11, 21, 21}, {"opponent", 42, 16, 11, 21, 21}};
    const fs::path root = fs::path(MW_SOURCE_DIR) / "data" / "sprites";
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    std::map<std::string, std::set<int>> heights;   // the poses of an opponent share one
    std::map<std::string, std::string> firstFrames; // a left pose is not the right one
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string file = entry.path().lexically_relative(root).generic_string();
        if (entry.path().extension() != ".txt")
            continue;
        SCOPED_TRACE(file);
        ASSERT_EQ(resources.loadSprite(entry.path().string(), file), 0);
        const mw::Sprite& sprite = *resources.getSprite(file);
        const int width = sprite.getWidth(), height = sprite.getHeight();
        const std::vector<std::string> lines = mwtest::readLines(entry.path());
        for (std::size_t row = 5; row < lines.size(); ++row) // exactly the width, printable
            EXPECT_TRUE(
                lines[row].size() == std::size_t(width) &&
                std::ranges::all_of(lines[row], [](char c) { return c >= ' ' && c <= '~'; }));
        // An opponent's sprites and frame in its own colour, which nothing else uses.
        const int owners[] = {mw::COLOR_MAGENTA, mw::COLOR_YELLOW, mw::COLOR_RED};
        const std::size_t digit = file.find_first_of("123");
        const bool anyColour = file.starts_with("world") || file.starts_with("game-title");
        EXPECT_TRUE(anyColour || (digit != std::string::npos
                                      ? sprite.getColor() == owners[file[digit] - '1']
                                      : std::ranges::count(owners, sprite.getColor()) == 0));
        const auto& [part, x, y, top, bottom, widest] = *std::ranges::find_if(
            places, [&](const auto& p) { return file.find(std::get<0>(p)) != std::string::npos; });
        const bool left = file.find("-left") != std::string::npos;
        const double column = (x != 0 ? x : left ? 39 : 45) - width / 2;
        EXPECT_TRUE(column >= 0 && column + width <= 80 && width <= widest) << part << width;
        EXPECT_TRUE(y - height / 2 >= top && y - height / 2 + height <= bottom) << part << height;
        if (file.starts_with("opponent-"))
            heights[file.substr(0, file.find('/'))].insert(height);
        firstFrames[file] = sprite.getFrame(0).getString();
    }
    for (const auto& [file, frame] : firstFrames) {
        const auto side = file.find("-left");
        EXPECT_TRUE(side == std::string::npos ||
                    frame != firstFrames[file.substr(0, side) + "-right.txt"])
            << file;
    }
    for (const auto& [folder, set] : heights)
        EXPECT_EQ(set.size(), 1u) << folder << " poses differ in height";
    EXPECT_EQ(firstFrames.size(), 42u);
}

// The theme peaks at -14 dBFS, every effect at -12 dBFS with an RMS 2 dB over the theme's;
// each starts and ends within 2 % of silence. Effects started in one frame are mixed.
TEST(GameAudioTest, EffectsAreDistinctClipsThatFitOverTheThemeAndTheThemeLoopsWithoutAClick) {
    std::map<std::string, std::vector<std::int16_t>> clips;
    std::set<std::vector<std::int16_t>> heard;
    int themePeak = 0;
    double themeRms = 0;
    for (const std::string name :
         {"mwbrawlicktheme", "hero-dodge", "hero-hit", "hero-swing", "opponent-dodge",
          "opponent-hit", "opponent-swing", "opponent-stunned", "opponent-charge", "opponent-tell",
          "tko", "successful-dodge"}) {
        sf::SoundBuffer buffer;
        ASSERT_TRUE(buffer.loadFromFile(MW_RUN_DIR "/audio/" + name + ".wav")) << name;
        const std::vector<std::int16_t>& s = clips[name] = std::vector<std::int16_t>(
            buffer.getSamples(), buffer.getSamples() + buffer.getSampleCount());
        ASSERT_GT(s.size(), 32u) << name;
        int peak = 0;
        double power = 0;
        for (const std::int16_t sample : s) {
            peak = std::max(peak, std::abs(static_cast<int>(sample)));
            power += static_cast<double>(sample) * sample;
        }
        const double rms = std::sqrt(power / s.size());
        const float seconds = buffer.getDuration().asSeconds();
        const bool theme = name == "mwbrawlicktheme";
        if (theme) {
            themePeak = peak;
            themeRms = rms;
        }
        EXPECT_TRUE(buffer.getChannelCount() == 1u &&
                    (buffer.getSampleRate() == 44100u || buffer.getSampleRate() == 22050u) &&
                    (theme ? peak > 6000 && peak < 7000 && rms > 900
                           : peak > 7800 && peak < 8700 && rms > 1.25 * themeRms) &&
                    std::abs(s.front()) <= 655 && std::abs(s.back()) <= 655 &&
                    (theme ? seconds >= 20 && seconds <= 40 : seconds > 0.05f && seconds <= 1))
            << name << " " << peak << " " << rms << " " << seconds;
        for (std::size_t i = 1; theme && i < 16; ++i) // and it joins smoothly when it loops
            EXPECT_TRUE(std::abs(s[i] - s[i - 1]) <= 655 &&
                        std::abs(s[s.size() - i] - s[s.size() - i - 1]) <= 655)
                << i;
        EXPECT_TRUE(heard.insert(s).second) << name;
    }
    const std::vector<std::vector<std::string>> together = {
        {"hero-swing", "opponent-hit", "opponent-stunned"},
        {"hero-swing", "opponent-dodge"},
        {"hero-swing", "opponent-hit"},
        {"opponent-swing", "hero-hit"},
        {"opponent-swing", "successful-dodge"},
        {"hero-hit", "tko"}};
    for (const std::vector<std::string>& group : together) {
        std::vector<int> mix;
        for (const std::string& name : group) {
            mix.resize(std::max(mix.size(), clips[name].size()));
            for (std::size_t i = 0; i < clips[name].size(); ++i)
                mix[i] += clips[name][i];
        }
        const int peak = std::ranges::max(mix, {}, [](int v) { return std::abs(v); });
        EXPECT_LT(std::abs(peak) + themePeak, 32767)
            << group[0] << " + " << group[1] << (group.size() > 2 ? " + " + group[2] : "");
    }
}

TEST_F(GameDataTest, TheManifestLoadsEverythingInOrderAndGoesOnPastAMissingFile) {
    for (const char* item : {"sprites", "audio"})
        fs::copy(MW_RUN_DIR "/" + std::string(item), item, fs::copy_options::recursive);
    fs::remove("sprites/opponent-2/opponent2-tell.txt");
    fs::remove("audio/tko.wav");
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    resources.startUp();
    loadResources();
    std::vector<std::string> loads;
    for (const std::string& line : logLines())
        if (line.starts_with("ResourceManager::load"))
            loads.push_back(line.substr(21));
    ASSERT_EQ(loads.size(), 54u);
    const std::pair<int, std::string> expected[] = {
        {14,
         "Sprite - Loaded Sprite in 'sprites/opponent-1/opponent-chargeswing-right.txt' with label "
         "'opponent-charge-right' succesfully"},
        {30, "Sprite - Failed to open file 'sprites/opponent-2/opponent2-tell.txt'"},
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
