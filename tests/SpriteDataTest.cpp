// Loads every sprite file the game ships once and checks its format, its
// colour and that it fits where the game draws it on the 80 x 24 screen.

#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include "support/TestSupport.h"

#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

// Where a sprite is centred, and the rows (bottom exclusive) and width it must keep within.
struct Place {
    double x, y;
    int top, bottom, maxWidth;
};
constexpr Place HOME{42, 16, 11, 21, 21}, LEFT{39, 16, 11, 21, 21}, RIGHT{45, 16, 11, 21, 21},
    HERO{42, 19, 16, 21, 13}, RING{42.5, 14, 4, 22, 80}, TITLE{40, 6, 2, 11, 80},
    CARD{40, 16, 13, 19, 23}, ANYWHERE{40, 12, 0, 24, 80};
constexpr int ANY = -1, NOT_AN_OPPONENTS = -2; // colours

using SpriteDataTest = mwtest::EngineTest;

TEST_F(SpriteDataTest, EveryFileLoadsWithItsColourAndFitsWhereItIsDrawn) {
    std::vector<std::tuple<std::string, int, Place>> files = {
        {"world-spr.txt", ANY, ANYWHERE},
        {"ring-spr.txt", NOT_AN_OPPONENTS, RING},
        {"frame-opponent1.txt", mw::COLOR_MAGENTA, CARD},
        {"frame-opponent2.txt", mw::COLOR_YELLOW, CARD},
        {"frame-opponent3.txt", mw::COLOR_RED, CARD},
        {"game-title.txt", ANY, TITLE}};
    for (const char* pose :
         {"dodge-left", "dodge-right", "swing-left", "swing-right", "idle", "down"})
        files.push_back({std::string("hero-") + pose + ".txt", NOT_AN_OPPONENTS, HERO});
    const std::pair<const char*, Place> poses[] = {{"idle", HOME},
                                                   {"swing-right", HOME},
                                                   {"chargeswing-right", RIGHT},
                                                   {"swing-left", HOME},
                                                   {"chargeswing-left", LEFT},
                                                   {"dodge-right", RIGHT},
                                                   {"dodge-left", LEFT},
                                                   {"down", HOME},
                                                   {"tell", HOME},
                                                   {"stunned", HOME}};
    for (const auto& [prefix, color] : {std::pair{"opponent-1/opponent-", mw::COLOR_MAGENTA},
                                        {"opponent-2/opponent2-", mw::COLOR_YELLOW},
                                        {"opponent-3/opponent3-", mw::COLOR_RED}})
        for (const auto& [pose, place] : poses)
            files.push_back({prefix + std::string(pose) + ".txt", color, place});
    const fs::path root = fs::path(MW_SOURCE_DIR) / "data" / "sprites";
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    std::map<std::string, std::set<int>> heights; // the poses of an opponent share one
    std::set<std::string> expected, found;
    for (const auto& [file, color, place] : files) {
        SCOPED_TRACE(file);
        expected.insert(file);
        ASSERT_EQ(resources.loadSprite((root / file).string(), file), 0);
        const mw::Sprite& sprite = *resources.getSprite(file);
        const int width = sprite.getWidth(), height = sprite.getHeight();
        // Each row of the file is exactly the width, of printable characters.
        const std::vector<std::string> lines = mwtest::readLines(root / file);
        for (std::size_t row = 5; row < lines.size(); ++row)
            EXPECT_TRUE(lines[row].size() == std::size_t(width) &&
                        std::all_of(lines[row].begin(), lines[row].end(),
                                    [](char c) { return c >= ' ' && c <= '~'; }))
                << row;
        const int shown = sprite.getColor();
        EXPECT_TRUE(color == ANY || color == shown ||
                    (color == NOT_AN_OPPONENTS && shown != mw::COLOR_MAGENTA &&
                     shown != mw::COLOR_YELLOW && shown != mw::COLOR_RED))
            << shown;
        const double left = place.x - width / 2, top = place.y - height / 2;
        EXPECT_TRUE(left >= 0 && left + width <= 80 && width <= place.maxWidth) << width;
        EXPECT_TRUE(top >= place.top && top + height <= place.bottom) << height;
        if (file.find('/') != std::string::npos)
            heights[file.substr(0, file.find('/'))].insert(height);
        if (const auto side = file.find("-left"); side != std::string::npos) { // differs from right
            const std::string right = file.substr(0, side) + "-right.txt";
            ASSERT_EQ(resources.loadSprite((root / right).string(), right + "?"), 0);
            EXPECT_NE(sprite.getFrame(0).getString(),
                      resources.getSprite(right + "?")->getFrame(0).getString());
        }
    }
    for (const auto& [folder, set] : heights)
        EXPECT_EQ(set.size(), 1u) << folder << " poses differ in height";
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().extension() == ".txt")
            found.insert(entry.path().lexically_relative(root).generic_string());
    EXPECT_EQ(expected.size(), 42u);
    EXPECT_EQ(found, expected);
}

} // namespace
