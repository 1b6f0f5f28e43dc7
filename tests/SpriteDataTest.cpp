// Loads every sprite file of the game's data once and checks its format, its
// colour and that it fits where the game draws it on the 80 x 24 screen; the
// sprite folder must hold exactly the 42 files the game loads.

#include "engine/Color.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Where a sprite is drawn: the cells it must stay within when centred on (x, y).
struct Place {
    double x, y;
    int top, bottom, maxWidth; // bottom exclusive
};
constexpr Place kOpponentHome{42, 16, 11, 21, 21}, kOpponentLeft{39, 16, 11, 21, 21},
    kOpponentRight{45, 16, 11, 21, 21}, kHero{42, 19, 16, 21, 13}, kRing{42.5, 14, 4, 22, 80},
    kTitle{40, 6, 2, 11, 80}, kPortrait{40, 16, 13, 19, 23}, kAnywhere{40, 12, 0, 24, 80};

constexpr int kNotAnOpponentsColour = -1;
constexpr int kAnyColour = -2;

struct SpriteCase {
    std::string file, label;
    int color;
    Place place;
    std::string group; // poses of one opponent share a height
};

std::vector<SpriteCase> spriteCases() {
    std::vector<SpriteCase> cases = {
        {"world-spr.txt", "world", kAnyColour, kAnywhere, ""},
        {"ring-spr.txt", "ring", kNotAnOpponentsColour, kRing, ""},
        {"frame-opponent1.txt", "frame-opponent1", mw::COLOR_MAGENTA, kPortrait, ""},
        {"frame-opponent2.txt", "frame-opponent2", mw::COLOR_YELLOW, kPortrait, ""},
        {"frame-opponent3.txt", "frame-opponent3", mw::COLOR_RED, kPortrait, ""},
        {"game-title.txt", "game-title", kAnyColour, kTitle, ""},
    };
    for (const char* pose :
         {"dodge-left", "dodge-right", "swing-left", "swing-right", "idle", "down"})
        cases.push_back({std::string("hero-") + pose + ".txt", "hero-" + std::string(pose),
                         kNotAnOpponentsColour, kHero, ""});
    const struct {
        const char *file, *label;
        Place place;
    } poses[] = {{"idle", "idle", kOpponentHome},
                 {"swing-right", "swing-right", kOpponentHome},
                 {"chargeswing-right", "charge-right", kOpponentRight},
                 {"swing-left", "swing-left", kOpponentHome},
                 {"chargeswing-left", "charge-left", kOpponentLeft},
                 {"dodge-right", "dodge-right", kOpponentRight},
                 {"dodge-left", "dodge-left", kOpponentLeft},
                 {"down", "down", kOpponentHome},
                 {"tell", "tell", kOpponentHome},
                 {"stunned", "stunned", kOpponentHome}};
    const struct {
        const char *folder, *prefix;
        int color;
    } opponents[] = {{"opponent-1", "opponent-", mw::COLOR_MAGENTA},
                     {"opponent-2", "opponent2-", mw::COLOR_YELLOW},
                     {"opponent-3", "opponent3-", mw::COLOR_RED}};
    for (const auto& o : opponents)
        for (const auto& p : poses)
            cases.push_back({std::string(o.folder) + "/" + o.prefix + p.file + ".txt",
                             std::string(o.prefix) + p.label, o.color, p.place, o.folder});
    return cases;
}

const fs::path kRoot = fs::path(MW_SOURCE_DIR) / "data" / "sprites";

class SpriteDataTest : public mwtest::EngineTest {};

TEST_F(SpriteDataTest, EveryFileLoadsWithItsColourAndFitsWhereItIsDrawn) {
    mw::ResourceManager& rm = mw::ResourceManager::getInstance();
    std::map<std::string, std::set<int>> heights;
    for (const SpriteCase& c : spriteCases()) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(rm.loadSprite((kRoot / c.file).string(), c.label), 0);
        const mw::Sprite* sprite = rm.getSprite(c.label);
        ASSERT_NE(sprite, nullptr);
        const int width = sprite->getWidth(), height = sprite->getHeight();
        ASSERT_GE(sprite->getFrameCount(), 1);
        if (sprite->getFrameCount() > 1) {
            EXPECT_NE(sprite->getSlowdown(), -1);
        }
        for (int f = 0; f < sprite->getFrameCount(); ++f) {
            const std::string& cells = sprite->getFrame(f).getString();
            EXPECT_EQ(cells.size(), static_cast<std::size_t>(width) * height);
            for (char ch : cells)
                EXPECT_TRUE(ch >= ' ' && ch <= '~') << int(ch);
        }
        // Each row of the file is exactly the width, without carriage returns.
        const std::vector<std::string> lines = mwtest::readLines(kRoot / c.file);
        ASSERT_GE(lines.size(), 5u + static_cast<std::size_t>(sprite->getFrameCount()) * height);
        for (int row = 0; row < sprite->getFrameCount() * height; ++row)
            EXPECT_EQ(lines[5 + row].size(), static_cast<std::size_t>(width)) << "row " << row;

        const int color = sprite->getColor();
        if (c.color >= 0) {
            EXPECT_EQ(color, c.color);
        }
        EXPECT_TRUE(color >= mw::COLOR_RED && color <= mw::COLOR_WHITE) << color;
        if (c.color == kNotAnOpponentsColour) {
            EXPECT_TRUE(color != mw::COLOR_MAGENTA && color != mw::COLOR_YELLOW &&
                        color != mw::COLOR_RED)
                << color;
        }

        const double left = c.place.x - width / 2, top = c.place.y - height / 2;
        EXPECT_GE(left, 0);
        EXPECT_LE(left + width, 80);
        EXPECT_LE(width, c.place.maxWidth);
        EXPECT_GE(top, c.place.top);
        EXPECT_LE(top + height, c.place.bottom);
        if (!c.group.empty())
            heights[c.group].insert(height);
    }
    ASSERT_EQ(heights.size(), 3u);
    for (const auto& [group, set] : heights)
        EXPECT_EQ(set.size(), 1u) << group << " poses differ in height";
}

TEST_F(SpriteDataTest, FolderHoldsExactlyTheFilesTheGameLoads) {
    std::set<std::string> expected, found;
    for (const SpriteCase& c : spriteCases())
        expected.insert(c.file);
    ASSERT_EQ(expected.size(), 42u);
    for (const auto& entry : fs::recursive_directory_iterator(kRoot))
        if (entry.is_regular_file() && entry.path().extension() == ".txt")
            found.insert(entry.path().lexically_relative(kRoot).generic_string());
    EXPECT_EQ(found, expected);
}

TEST_F(SpriteDataTest, LeftAndRightPosesDiffer) {
    std::vector<std::string> stems = {"hero-dodge", "hero-swing"};
    for (const char* o : {"opponent-1/opponent-", "opponent-2/opponent2-", "opponent-3/opponent3-"})
        for (const char* move : {"chargeswing", "swing", "dodge"})
            stems.push_back(std::string(o) + move);
    mw::ResourceManager& rm = mw::ResourceManager::getInstance();
    for (const std::string& stem : stems) {
        ASSERT_EQ(rm.loadSprite((kRoot / (stem + "-left.txt")).string(), stem + "L"), 0);
        ASSERT_EQ(rm.loadSprite((kRoot / (stem + "-right.txt")).string(), stem + "R"), 0);
        EXPECT_NE(rm.getSprite(stem + "L")->getFrame(0).getString(),
                  rm.getSprite(stem + "R")->getFrame(0).getString())
            << stem;
    }
}

} // namespace
