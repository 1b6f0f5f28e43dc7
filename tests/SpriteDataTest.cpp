// Loads every sprite file of the game's data with the engine and checks its
// format, its colour and that it fits where the game draws it on the 80 x 24
// screen; also checks that the sprite folder holds exactly the 42 files the
// game loads.

#include "engine/Color.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 24;

// Where and how a sprite is drawn, which decides the limits it must keep.
enum class Place {
    OpponentHome, // an opponent pose drawn at its home cell
    OpponentSide, // a wind-up or dodge drawn three columns to one side
    Hero,         // the player's boxer, in front of the opponent
    Ring,         // behind everything of a fight
    Title,        // the title screen's big name
    Portrait,     // an opponent's framed picture on the title screen
    Unseen,       // loaded but never drawn
};

// Colour rules besides an exact colour (0 to 7).
constexpr int kNotAnOpponentsColour = -1; // drawn together with every opponent
constexpr int kAnyVisibleColour = -2;     // anything but black on the black screen

struct SpriteCase {
    std::string file;  // relative to data/sprites
    std::string label; // the label the game finds it by
    int color;         // 0 to 7, or one of the two rules above
    Place place;
    double x; // the centre the game draws it on
    double y;
    std::string group; // sprites of one boxer that must share a height ("" for none)
};

std::ostream& operator<<(std::ostream& out, const SpriteCase& c) {
    return out << c.file;
}

std::vector<SpriteCase> spriteCases() {
    std::vector<SpriteCase> cases = {
        {"world-spr.txt", "world", kAnyVisibleColour, Place::Unseen, 0, 0, ""},
        {"ring-spr.txt", "ring", kNotAnOpponentsColour, Place::Ring, 42.5, 14, ""},
        {"frame-opponent1.txt", "frame-opponent1", mw::COLOR_MAGENTA, Place::Portrait, 15, 16, ""},
        {"frame-opponent2.txt", "frame-opponent2", mw::COLOR_YELLOW, Place::Portrait, 40, 16, ""},
        {"frame-opponent3.txt", "frame-opponent3", mw::COLOR_RED, Place::Portrait, 65, 16, ""},
        {"game-title.txt", "game-title", kAnyVisibleColour, Place::Title, 40, 6, ""},
        {"hero-dodge-left.txt", "hero-d-left", kNotAnOpponentsColour, Place::Hero, 42, 19, "hero"},
        {"hero-dodge-right.txt", "hero-d-right", kNotAnOpponentsColour, Place::Hero, 42, 19,
         "hero"},
        {"hero-swing-left.txt", "hero-s-left", kNotAnOpponentsColour, Place::Hero, 42, 19, "hero"},
        {"hero-swing-right.txt", "hero-s-right", kNotAnOpponentsColour, Place::Hero, 42, 19,
         "hero"},
        {"hero-idle.txt", "hero-idle", kNotAnOpponentsColour, Place::Hero, 42, 19, "hero"},
        {"hero-down.txt", "hero-down", kNotAnOpponentsColour, Place::Hero, 42, 19, "hero"},
    };
    struct Pose {
        const char* fileEnding;
        const char* labelEnding;
        Place place;
        double dx;
    };
    const Pose poses[] = {
        {"idle", "idle", Place::OpponentHome, 0},
        {"swing-right", "swing-right", Place::OpponentHome, 0},
        {"chargeswing-right", "charge-right", Place::OpponentSide, 3},
        {"swing-left", "swing-left", Place::OpponentHome, 0},
        {"chargeswing-left", "charge-left", Place::OpponentSide, -3},
        {"dodge-right", "dodge-right", Place::OpponentSide, 3},
        {"dodge-left", "dodge-left", Place::OpponentSide, -3},
        {"down", "down", Place::OpponentHome, 0},
        {"tell", "tell", Place::OpponentHome, 0},
        {"stunned", "stunned", Place::OpponentHome, 0},
    };
    const struct {
        const char* folder;
        const char* prefix;
        int color;
    } opponents[] = {
        {"opponent-1", "opponent-", mw::COLOR_MAGENTA},
        {"opponent-2", "opponent2-", mw::COLOR_YELLOW},
        {"opponent-3", "opponent3-", mw::COLOR_RED},
    };
    for (const auto& opponent : opponents) {
        for (const Pose& pose : poses) {
            cases.push_back(
                {std::string(opponent.folder) + "/" + opponent.prefix + pose.fileEnding + ".txt",
                 std::string(opponent.prefix) + pose.labelEnding, opponent.color, pose.place,
                 42 + pose.dx, 16, opponent.folder});
        }
    }
    return cases;
}

std::string spritePath(const std::string& file) {
    return std::string(MW_SOURCE_DIR) + "/data/sprites/" + file;
}

// The colours a sprite drawn over a fight may not take: the three opponents'.
bool isOpponentColor(int color) {
    return color == mw::COLOR_MAGENTA || color == mw::COLOR_YELLOW || color == mw::COLOR_RED;
}

// The cells a sprite covers when drawn centred on (x, y): the engine puts its
// column c at x + c - width / 2 (integer half), and likewise for rows.
struct Cover {
    double left, right, top, bottom; // right and bottom exclusive, in cells
};

Cover coverOf(const mw::Sprite& sprite, double x, double y) {
    const double left = x - sprite.getWidth() / 2;
    const double top = y - sprite.getHeight() / 2;
    return {left, left + sprite.getWidth(), top, top + sprite.getHeight()};
}

std::vector<std::string> readFileLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

class SpriteDataFileTest : public mwtest::EngineTest,
                           public ::testing::WithParamInterface<SpriteCase> {
protected:
    // Loads this case's file under its label; null (with a failure) when it does not load.
    const mw::Sprite* load() {
        const SpriteCase& c = GetParam();
        mw::ResourceManager& rm = mw::ResourceManager::getInstance();
        EXPECT_EQ(rm.loadSprite(spritePath(c.file), c.label), 0) << c.file;
        const mw::Sprite* sprite = rm.getSprite(c.label);
        EXPECT_NE(sprite, nullptr) << c.file;
        return sprite;
    }
};

TEST_P(SpriteDataFileTest, LoadsWithWholeFramesOfPrintableCharacters) {
    const mw::Sprite* sprite = load();
    ASSERT_NE(sprite, nullptr);
    ASSERT_GE(sprite->getFrameCount(), 1);
    ASSERT_GT(sprite->getWidth(), 0);
    ASSERT_GT(sprite->getHeight(), 0);
    const std::size_t cells = static_cast<std::size_t>(sprite->getWidth()) * sprite->getHeight();
    for (int i = 0; i < sprite->getFrameCount(); ++i) {
        const std::string& frame = sprite->getFrame(i).getString();
        EXPECT_EQ(frame.size(), cells) << "frame " << i;
        for (char ch : frame)
            EXPECT_TRUE(ch >= ' ' && ch <= '~') << "frame " << i << " holds byte " << int(ch);
    }
    // One still frame never animates; several frames must move on.
    if (sprite->getFrameCount() > 1) {
        EXPECT_NE(sprite->getSlowdown(), -1) << "several frames but held still";
    }
}

TEST_P(SpriteDataFileTest, EveryRowOfTheFileIsExactlyTheWidth) {
    // Frame strings of the right total length could still hide a short row
    // followed by a long one, which would shift the picture when drawn.
    const SpriteCase& c = GetParam();
    const std::vector<std::string> lines = readFileLines(spritePath(c.file));
    ASSERT_GE(lines.size(), 5u);
    const int frames = std::stoi(lines[0]);
    const int width = std::stoi(lines[1]);
    const int height = std::stoi(lines[2]);
    ASSERT_GE(lines.size(), 5u + static_cast<std::size_t>(frames) * height);
    for (int row = 0; row < frames * height; ++row) {
        const std::string& line = lines[5 + row];
        EXPECT_EQ(line.find('\r'), std::string::npos) << "row " << row;
        EXPECT_EQ(static_cast<int>(line.size()), width) << "row " << row << ": '" << line << "'";
    }
}

TEST_P(SpriteDataFileTest, HasItsColour) {
    const SpriteCase& c = GetParam();
    const mw::Sprite* sprite = load();
    ASSERT_NE(sprite, nullptr);
    if (c.color >= 0) {
        EXPECT_EQ(sprite->getColor(), c.color);
        return;
    }
    EXPECT_GE(sprite->getColor(), mw::COLOR_RED);
    EXPECT_LE(sprite->getColor(), mw::COLOR_WHITE);
    if (c.color == kNotAnOpponentsColour) {
        EXPECT_FALSE(isOpponentColor(sprite->getColor())) << "colour " << sprite->getColor();
    }
}

TEST_P(SpriteDataFileTest, FitsWhereTheGameDrawsIt) {
    const SpriteCase& c = GetParam();
    const mw::Sprite* sprite = load();
    ASSERT_NE(sprite, nullptr);
    const Cover cover = coverOf(*sprite, c.x, c.y);
    const int width = sprite->getWidth();
    const int height = sprite->getHeight();
    switch (c.place) {
    case Place::OpponentHome:
    case Place::OpponentSide:
        // Rows 11 to 20: clear of the messages on row 10, and of the ring's floor
        // on row 21, which blank cells would cut.
        EXPECT_LE(height, 11);
        EXPECT_LE(width, 21);
        EXPECT_GE(cover.top, 11);
        EXPECT_LE(cover.bottom, 21);
        EXPECT_GE(cover.left, 0);
        EXPECT_LE(cover.right, kColumns);
        break;
    case Place::Hero:
        // In front of the opponent: low and narrow so the opponent stays visible,
        // and above the ring's floor on row 21.
        EXPECT_GE(cover.top, 16);
        EXPECT_LE(cover.bottom, 21);
        EXPECT_LE(width, 13);
        break;
    case Place::Ring:
        // Rows 0 to 3 hold the health bars, the round and the clock.
        EXPECT_GE(cover.left, 0);
        EXPECT_LE(cover.right, kColumns);
        EXPECT_GE(cover.top, 4);
        EXPECT_LE(cover.bottom, 22);
        break;
    case Place::Title:
        // Above the opponents' names on row 12 (rows 2 to 10).
        EXPECT_GE(cover.top, 2);
        EXPECT_LE(cover.bottom, 11);
        EXPECT_GE(cover.left, 0);
        EXPECT_LE(cover.right, kColumns);
        break;
    case Place::Portrait:
        // Between the name on row 12 and the best time on row 19.
        EXPECT_LE(height, 6);
        EXPECT_LE(width, 23);
        EXPECT_GE(cover.top, 13);
        EXPECT_LE(cover.bottom, 19);
        EXPECT_GE(cover.left, 0);
        EXPECT_LE(cover.right, kColumns);
        break;
    case Place::Unseen:
        EXPECT_LE(width, kColumns);
        EXPECT_LE(height, kRows);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(SpriteData, SpriteDataFileTest, ::testing::ValuesIn(spriteCases()),
                         [](const ::testing::TestParamInfo<SpriteCase>& info) {
                             std::string name = info.param.file;
                             name = name.substr(0, name.size() - 4); // drop ".txt"
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char ch) {
                                     return !std::isalnum(static_cast<unsigned char>(ch));
                                 },
                                 '_');
                             return name;
                         });

class SpriteDataSetTest : public mwtest::EngineTest {};

TEST_F(SpriteDataSetTest, FolderHoldsExactlyTheFilesTheGameLoads) {
    std::set<std::string> expected;
    for (const SpriteCase& c : spriteCases())
        expected.insert(c.file);
    ASSERT_EQ(expected.size(), 42u);

    const fs::path root = fs::path(MW_SOURCE_DIR) / "data" / "sprites";
    ASSERT_TRUE(fs::is_directory(root)) << root;
    std::set<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".txt")
            continue;
        const std::string relative = entry.path().lexically_relative(root).generic_string();
        EXPECT_TRUE(expected.count(relative)) << "stray sprite file " << relative;
        found.insert(relative);
    }
    for (const std::string& file : expected)
        EXPECT_TRUE(found.count(file)) << "missing sprite file " << file;
}

TEST_F(SpriteDataSetTest, EachBoxerKeepsOneHeightAcrossItsPoses) {
    // A pose of another height would make the body jump when the pose changes.
    mw::ResourceManager& rm = mw::ResourceManager::getInstance();
    std::map<std::string, std::set<int>> heights;
    for (const SpriteCase& c : spriteCases()) {
        if (c.group.empty() || c.group == "hero")
            continue;
        ASSERT_EQ(rm.loadSprite(spritePath(c.file), c.label), 0) << c.file;
        const mw::Sprite* sprite = rm.getSprite(c.label);
        ASSERT_NE(sprite, nullptr) << c.file;
        heights[c.group].insert(sprite->getHeight());
    }
    ASSERT_EQ(heights.size(), 3u);
    for (const auto& [group, set] : heights)
        EXPECT_EQ(set.size(), 1u) << group << " poses have " << set.size() << " heights";
}

TEST_F(SpriteDataSetTest, LeftAndRightPosesDiffer) {
    // A player tells the side of a wind-up, swing or dodge from the picture.
    mw::ResourceManager& rm = mw::ResourceManager::getInstance();
    const std::vector<std::pair<std::string, std::string>> pairs = {
        {"hero-dodge-left.txt", "hero-dodge-right.txt"},
        {"hero-swing-left.txt", "hero-swing-right.txt"},
    };
    std::vector<std::pair<std::string, std::string>> all = pairs;
    for (const char* opponent :
         {"opponent-1/opponent-", "opponent-2/opponent2-", "opponent-3/opponent3-"}) {
        for (const char* move : {"chargeswing", "swing", "dodge"}) {
            const std::string base = std::string(opponent) + move;
            all.push_back({base + "-left.txt", base + "-right.txt"});
        }
    }
    for (const auto& [left, right] : all) {
        ASSERT_EQ(rm.loadSprite(spritePath(left), left), 0) << left;
        ASSERT_EQ(rm.loadSprite(spritePath(right), right), 0) << right;
        const mw::Sprite* l = rm.getSprite(left);
        const mw::Sprite* r = rm.getSprite(right);
        ASSERT_NE(l, nullptr);
        ASSERT_NE(r, nullptr);
        EXPECT_NE(l->getFrame(0).getString(), r->getFrame(0).getString())
            << left << " and " << right;
    }
}

TEST_F(SpriteDataSetTest, WindUpsTrembleBetweenTwoPicturesAndThreatenFromTheirSide) {
    // The opponent faces the hero, so its left glove is on the screen's right:
    // leaning away from the glove that threatens must be the right dodge. The
    // threatening glove is the longest run of glove cells, the topmost of equals.
    struct Case {
        std::string file;
        char glove;
        int column; // where the game centres the frame
        bool threatFromTheRight;
        bool windUp;
    };
    std::vector<Case> cases;
    const struct {
        const char* stem;
        char glove;
    } opponents[] = {{"opponent-1/opponent-", '#'},
                     {"opponent-2/opponent2-", '#'},
                     {"opponent-3/opponent3-", '@'}};
    for (const auto& opponent : opponents) {
        const std::string stem = opponent.stem;
        cases.push_back({stem + "chargeswing-left.txt", opponent.glove, 39, true, true});
        cases.push_back({stem + "chargeswing-right.txt", opponent.glove, 45, false, true});
        cases.push_back({stem + "swing-left.txt", opponent.glove, 42, true, false});
        cases.push_back({stem + "swing-right.txt", opponent.glove, 42, false, false});
    }
    mw::ResourceManager& rm = mw::ResourceManager::getInstance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(rm.loadSprite(spritePath(c.file), c.file), 0);
        const mw::Sprite* sprite = rm.getSprite(c.file);
        ASSERT_NE(sprite, nullptr);
        const int width = sprite->getWidth();
        if (c.windUp) {
            // Three frames, the third the first again: nothing flickers in and out.
            ASSERT_EQ(sprite->getFrameCount(), 3);
            EXPECT_EQ(sprite->getFrame(2).getString(), sprite->getFrame(0).getString());
        }
        for (int f = 0; f < sprite->getFrameCount(); ++f) {
            const std::string& cells = sprite->getFrame(f).getString();
            int bestLength = 0;
            double bestCentre = 0;
            for (int row = 0; row < sprite->getHeight(); ++row) {
                for (int start = 0; start < width;) {
                    int end = start;
                    while (end < width && cells[row * width + end] == c.glove)
                        ++end;
                    if (end - start > bestLength) {
                        bestLength = end - start;
                        bestCentre = (start + end - 1) / 2.0;
                    }
                    start = end + 1;
                }
            }
            ASSERT_GT(bestLength, 0) << "frame " << f;
            const double screenColumn = c.column - width / 2 + bestCentre;
            if (c.threatFromTheRight) {
                EXPECT_GT(screenColumn, 42) << "frame " << f;
            } else {
                EXPECT_LT(screenColumn, 42) << "frame " << f;
            }
        }
    }
}

} // namespace
