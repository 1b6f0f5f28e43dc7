// Loads every sprite file the game ships once and checks its format, its
// colour and that it fits where the game draws it on the 80 x 24 screen.

#include "engine/Color.h"
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
constexpr int ANY_COLOUR = -1, NOT_AN_OPPONENTS = -2;

struct SpriteFile {
    std::string file;
    int color;
    Place place;
    std::string group; // the poses of one opponent share a height
};

std::vector<SpriteFile> spriteFiles() {
    std::vector<SpriteFile> files = {
        {"world-spr.txt", ANY_COLOUR, ANYWHERE, ""},
        {"ring-spr.txt", NOT_AN_OPPONENTS, RING, ""},
        {"frame-opponent1.txt", mw::COLOR_MAGENTA, CARD, ""},
        {"frame-opponent2.txt", mw::COLOR_YELLOW, CARD, ""},
        {"frame-opponent3.txt", mw::COLOR_RED, CARD, ""},
        {"game-title.txt", ANY_COLOUR, TITLE, ""},
    };
    for (const char* pose :
         {"dodge-left", "dodge-right", "swing-left", "swing-right", "idle", "down"})
        files.push_back({std::string("hero-") + pose + ".txt", NOT_AN_OPPONENTS, HERO, ""});
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
    const std::pair<const char*, int> opponents[] = {{"opponent-1/opponent-", mw::COLOR_MAGENTA},
                                                     {"opponent-2/opponent2-", mw::COLOR_YELLOW},
                                                     {"opponent-3/opponent3-", mw::COLOR_RED}};
    for (const auto& [prefix, color] : opponents) {
        for (const auto& [pose, place] : poses)
            files.push_back({prefix + std::string(pose) + ".txt", color, place, prefix});
    }
    return files;
}

const fs::path ROOT = fs::path(MW_SOURCE_DIR) / "data" / "sprites";

using SpriteDataTest = mwtest::EngineTest;

TEST_F(SpriteDataTest, EveryFileLoadsWithItsColourAndFitsWhereItIsDrawn) {
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    std::map<std::string, std::set<int>> heights;
    std::set<std::string> expected, found;
    for (const SpriteFile& f : spriteFiles()) {
        SCOPED_TRACE(f.file);
        expected.insert(f.file);
        ASSERT_EQ(resources.loadSprite((ROOT / f.file).string(), f.file), 0);
        const mw::Sprite& sprite = *resources.getSprite(f.file);
        const int width = sprite.getWidth(), height = sprite.getHeight();
        ASSERT_GE(sprite.getFrameCount(), 1);
        // Each row of the file is exactly the width, of printable characters.
        const std::vector<std::string> lines = mwtest::readLines(ROOT / f.file);
        ASSERT_GE(lines.size(), 5u + static_cast<std::size_t>(sprite.getFrameCount()) * height);
        for (int row = 0; row < sprite.getFrameCount() * height; ++row) {
            const std::string& line = lines[5 + row];
            EXPECT_EQ(line.size(), static_cast<std::size_t>(width)) << "row " << row;
            EXPECT_TRUE(
                std::all_of(line.begin(), line.end(), [](char c) { return c >= ' ' && c <= '~'; }));
        }
        const int color = sprite.getColor();
        EXPECT_TRUE(f.color < 0 || color == f.color) << color;
        EXPECT_TRUE(
            f.color != NOT_AN_OPPONENTS ||
            (color != mw::COLOR_MAGENTA && color != mw::COLOR_YELLOW && color != mw::COLOR_RED))
            << color;
        const double left = f.place.x - width / 2, top = f.place.y - height / 2;
        EXPECT_TRUE(left >= 0 && left + width <= 80 && width <= f.place.maxWidth) << width;
        EXPECT_TRUE(top >= f.place.top && top + height <= f.place.bottom) << height;
        if (!f.group.empty())
            heights[f.group].insert(height);
        // Left and right poses differ.
        if (const auto at = f.file.find("-left"); at != std::string::npos) {
            std::string right = f.file;
            right.replace(at, 5, "-right");
            ASSERT_EQ(resources.loadSprite((ROOT / right).string(), right + "?"), 0);
            EXPECT_NE(sprite.getFrame(0).getString(),
                      resources.getSprite(right + "?")->getFrame(0).getString());
        }
    }
    for (const auto& [group, set] : heights)
        EXPECT_EQ(set.size(), 1u) << group << " poses differ in height";
    for (const auto& entry : fs::recursive_directory_iterator(ROOT)) {
        if (entry.is_regular_file() && entry.path().extension() == ".txt")
            found.insert(entry.path().lexically_relative(ROOT).generic_string());
    }
    EXPECT_EQ(expected.size(), 42u);
    EXPECT_EQ(found, expected);
}

} // namespace
