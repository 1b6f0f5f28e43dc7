#include "engine/Animation.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "support/GameCopy.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <fstream>
#include <functional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using mw::ResourceManager;

namespace {

class ResourceFilesTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_EQ(ResourceManager::getInstance().startUp(), 0);
    }
    static std::string describe(const mw::Sprite& sprite) {
        std::string text =
            std::to_string(sprite.getFrameCount()) + " of " + std::to_string(sprite.getWidth()) +
            "x" + std::to_string(sprite.getHeight()) + " /" + std::to_string(sprite.getSlowdown()) +
            " colour " + std::to_string(sprite.getColor()) + ":";
        for (int i = 0; i < std::min(sprite.getFrameCount(), 3); ++i)
            text += " [" + sprite.getFrame(i).getString() + "]";
        return text;
    }
};

TEST_F(ResourceFilesTest, ReadsTheFormatAndRefusesBadFilesWithALogLine) {
    const std::string tooBig = " in 's.txt' exceeds the display's 80 x 24 cells";
    // What loads, described; or the log line of the refusal. Numbers beyond int saturate.
    const std::pair<std::string, std::string> cases[] = {
        {"2\n3\n1\n4\ngreen\nabc\ndef\n", "2 of 3x1 /4 colour 2: [abc] [def]"},
        {"1\r\n2\r\n2\r\n1\r\nred\r\nab\r\ncd\r\n", "1 of 2x2 /1 colour 1: [abcd]"},
        {"  1 frame\n+3x\n1\n-1 holds\nwhite\nxyz\n", "1 of 3x1 /-1 colour 7: [xyz]"},
        {"1\nwide\n1\n\nblue\n", "1 of 0x1 /0 colour 4: []"}, // no number reads 0
        {"2\n3\n2\n1\ncyan\nabc\nde", "2 of 3x2 /1 colour 6: [abcde] []"},
        {"0\n5\n5\n1\nmagenta\n", "0 of 5x5 /1 colour 5:"},
        {"0\n80\n24\n1\nred\n", "0 of 80x24 /1 colour 1:"},
        {"1\n4\n1\n2\nyellow\n a  \n", "1 of 4x1 /2 colour 3: [ a  ]"},
        {"1\n1\n1\n1\nblack\nq\nextra\n", "1 of 1x1 /1 colour 0: [q]"},
        // An editor's byte-order mark is skipped; a long row pushes into the next one,
        // and what no cell of the frame shows is not kept, however long the row.
        {"\xEF\xBB\xBF"
         "2\n3\n1\n4\ngreen\nabc\ndef\n",
         "2 of 3x1 /4 colour 2: [abc] [def]"},
        {"1\n3\n2\n1\nred\nabcde\nfgh\n", "1 of 3x2 /1 colour 1: [abcdef]"},
        {"2\n2\n1\n1\nred\n" + std::string(1 << 24, 'x') + "\r\nyz\r\n",
         "2 of 2x1 /1 colour 1: [xx] [yz]"},
        {"1\n2\n2\n1\nred\na\r\r\nb\r\n", "1 of 2x2 /1 colour 1: [a\rb]"},
        {"1\n1\n1\n1\nGreen\nx\n", "Couldn't identify color 'Green' in 's.txt'"},
        {"1\n1\n1\n1\ngreen \nx\n", "Couldn't identify color 'green ' in 's.txt'"},
        {"", "Couldn't identify color '' in 's.txt'"},
        {"10000\n0\n0\n1\nred\n", "10000 of 0x0 /1 colour 1: [] [] []"},
        {"10001\n0\n0\n1\nred\n", "Bad frame count 10001 in 's.txt'"},
        {"-3\n1\n1\n1\nred\n", "Bad frame count -3 in 's.txt'"},
        {"2000000000\n1\n1\n1\nred\n", "Bad frame count 2000000000 in 's.txt'"},
        {"1\n81\n1\n1\nred\n", "Size 81 x 1" + tooBig},
        {"1\n1\n25\n1\nred\n", "Size 1 x 25" + tooBig},
        {"1\n99999999999\n1\n1\nred\n", "Size 2147483647 x 1" + tooBig},
        {"1\n1\n-2147483648\n1\nred\n", "Negative size 1 x -2147483648 in 's.txt'"},
        {"1\n-99999999999\n1\n1\nred\n", "Negative size -2147483648 x 1 in 's.txt'"},
    };
    ResourceManager& resources = ResourceManager::getInstance();
    int count = 0;
    for (const auto& [content, expected] : cases) {
        writeFile("s.txt", content);
        const std::string label = "s" + std::to_string(++count);
        const bool loads = std::isdigit(expected[0]); // a description, not a log line
        EXPECT_EQ(resources.loadSprite("s.txt", label), loads ? 0 : -1);
        const std::string line =
            loads ? "Loaded Sprite in 's.txt' with label '" + label + "' succesfully" : expected;
        EXPECT_EQ(countLogged("ResourceManager::loadSprite - " + line), 1) << expected;
        const mw::Sprite* sprite = resources.getSprite(label);
        EXPECT_EQ(!loads ? expected : sprite != nullptr ? describe(*sprite) : "none", expected);
    }
    EXPECT_EQ(resources.getSpriteCount(), 14);
}

// At most a thousand sprites, and a hundred and twenty-eight sounds and musics.
TEST_F(ResourceFilesTest, FindsTheFirstOfEqualLabelsNothingAfterShutdownAndHoldsSoManyAtMost) {
    writeFile("a.txt", "1\n1\n1\n1\nred\na\n");
    writeFile("b.txt", "1\n1\n1\n1\nblue\nb\n");
    ResourceManager& resources = ResourceManager::getInstance();
    EXPECT_EQ(resources.loadSprite("a.txt", "same") + resources.loadSprite("b.txt", "same"), 0);
    EXPECT_TRUE(resources.getSprite("same")->getColor() == mw::COLOR_RED &&
                resources.getSprite("Same") == nullptr && resources.isStarted());
    mw::Object object; // finds only the label as it was written
    EXPECT_EQ(object.setSprite("Same") * 10 + object.setSprite("same"), -10);
    resources.shutDown();
    EXPECT_TRUE(!resources.isStarted() && resources.getSprite("same") == nullptr);
    ASSERT_EQ(resources.loadSprite("b.txt", "same"), 0);
    EXPECT_EQ(resources.getSprite("same")->getColor(), mw::COLOR_BLUE);
    for (int i = 1; i < 1000; ++i)
        ASSERT_EQ(resources.loadSprite("a.txt", "s" + std::to_string(i)), 0);
    EXPECT_EQ(resources.loadSprite("a.txt", "last"), -1);
    EXPECT_TRUE(logged("ResourceManager::loadSprite - Reached max sprite count!"));
    EXPECT_EQ(resources.getSpriteCount(), 1000);
    const std::string wav = MW_RUN_DIR "/audio/hero-hit.wav";
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(resources.loadMusic(wav, "m" + std::to_string(i)), 0);
    EXPECT_EQ(resources.loadMusic(wav, "last"), -1);
    EXPECT_TRUE(logged("ResourceManager::loadMusic - Music array full!"));
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(resources.loadSound(wav, "w" + std::to_string(i)), 0);
    EXPECT_EQ(resources.loadSound(wav, "last"), -1);
    EXPECT_TRUE(logged("ResourceManager::loadSound - Sound array full!"));
    EXPECT_EQ(resources.getSoundCount(), 128);
    resources.shutDown();
    EXPECT_TRUE(resources.getMusic("m0") == nullptr && resources.getSound("w0") == nullptr);
}

TEST(SpriteTest, AFullSpriteTakesNoMoreFramesAndShortRowsReadAsSpaces) {
    mw::Sprite sprite(1);
    sprite.pushFrame(mw::Frame(3, 2, "abcd"));
    sprite.pushFrame(mw::Frame(1, 1, "b"));
    const mw::Frame& frame = sprite.getFrame(0);
    EXPECT_TRUE(sprite.getFrameCount() == 1 && frame.getString() == "abcd");
    mw::Sprite none(-1);
    none.pushFrame(mw::Frame(1, 1, "a"));
    EXPECT_EQ(none.getFrameCount(), 0);
    mw::Sprite blank(1);
    blank.pushFrame(mw::Frame(0, 0, ""));
    EXPECT_EQ(blank.draw(0, mw::Vector(5, 5)), -1); // a blank frame draws nothing
    EXPECT_EQ(std::string(
                  {frame.charAt(0, 2), frame.charAt(1, 0), frame.charAt(1, 1), frame.charAt(1, 2)}),
              "cd  ");
}

TEST(AnimationTest, FrameSequencesFollowTheSlowdownInABoxTheSpritesSizeAroundTheCentre) {
    EXPECT_EQ(mw::Animation().getBox(), mw::Box(mw::Vector(-0.5f, -0.5f), 0.99f, 0.99f));
    const struct {
        int frames, slowdown;
        std::vector<int> shown;
    } cases[] = {
        {3, 2, {0, 1, 1, 2, 2, 0, 0, 1}},  {2, 3, {0, 1, 1, 1, 0, 0, 0, 1}},
        {3, 1, {0, 1, 2, 0, 1, 2, 0, 1}},  {3, 0, {0, 1, 2, 0, 1, 2, 0, 1}},
        {3, -2, {0, 1, 2, 0, 1, 2, 0, 1}}, {3, -1, {0, 0, 0, 0, 0, 0, 0, 0}},
        {1, 4, {0, 0, 0, 0, 0, 0, 0, 0}},  {2, INT_MAX, {0, 1, 1, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        mw::Sprite sprite(c.frames);
        sprite.setWidth(3);
        sprite.setHeight(2);
        sprite.setSlowdown(c.slowdown);
        for (int i = 0; i < c.frames; ++i)
            sprite.pushFrame(mw::Frame(1, 1, std::string(1, static_cast<char>('a' + i))));
        mw::Animation animation;
        animation.setSprite(&sprite);
        EXPECT_EQ(animation.getBox(), mw::Box(mw::Vector(-1.5f, -1), 3, 2));
        std::vector<int> shown;
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            shown.push_back(animation.getIndex());
            EXPECT_EQ(animation.draw(mw::Vector(5, 5)), 0);
        }
        EXPECT_EQ(shown, c.shown) << "slowdown " << c.slowdown;
    }
}

std::string littleEndian(std::uint32_t value, int bytes = 4) {
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += static_cast<char>(value >> 8 * i);
    return text;
}

// A WAV format chunk's body at 22050 frames a second.
std::string format(unsigned encoding = 1, unsigned channels = 1, unsigned bits = 16) {
    return littleEndian(encoding, 2) + littleEndian(channels, 2) + littleEndian(22050) +
           littleEndian(44100) + littleEndian(2, 2) + littleEndian(bits, 2);
}

// A WAV file declaring `declared` bytes of samples, then `held` bytes of them;
// `before` is put between the format and the data.
std::string wav(std::uint32_t declared, std::size_t held, const std::string& before = "",
                const std::string& fmt = format()) {
    const std::string body =
        "WAVEfmt " + littleEndian(16) + fmt + before + "data" + littleEndian(declared);
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(body.size() + held)) + body +
           std::string(held, '\x10');
}

TEST_F(ResourceFilesTest, ResourceFilesThatAreNotWhatTheyClaimAreRefused) {
    const auto fifo = [](const char* name) { mkfifo(name, 0644); };
    const auto zeros = [](const char* name) { fs::create_symlink("/dev/zero", name); };
    const auto folder = [](const char* name) { fs::create_directory(name); };
    const auto content = [this](std::string bytes) {
        return [this, bytes](const char* name) { writeFile(name, bytes); };
    };
    enum { SPRITE, SOUND, MUSIC };
    // What each loader logs for a file it refuses, and for one it loads; @ is the file.
    const std::string refused[] = {
        "ResourceManager::loadSprite - Failed to open file '@'",
        "ResourceManager::loadSound - Unable to load sound 'hostile' from file '@'",
        "ResourceManager::loadMusic - Unable to load music 'hostile' from file '@'"};
    const std::string loaded[] = {
        "", "ResourceManager::loadSound - Loaded sound with label 'hostile' in '@' succesfully",
        "ResourceManager::loadMusic - Loaded music with label 'hostile' from file '@' succesfully"};
    // Probing "probe.wav" for formats other than WAV frees memory twice.
    const std::tuple<const char*, int, std::function<void(const char*)>, bool> cases[] = {
        {"pipe.txt", SPRITE, fifo, false},
        {"zero.txt", SPRITE, zeros, false},
        {"dir.txt", SPRITE, folder, false},
        {"pipe.wav", SOUND, fifo, false},
        {"zero.wav", SOUND, zeros, false},
        {"4gb.wav", SOUND, content(wav(0xFFFFFFFF, 980)), false},
        {"probe.wav", SOUND, content("\xff\xff" + std::string(113, '\x1b') + "\xff\xff\xff&"),
         false},
        {"channels.wav", SOUND, content(wav(2000, 2000, "", format(1, 0x7C7C))), false},
        {"list.wav", SOUND, content(wav(2000, 2000, "LIST" + littleEndian(4) + "INFO")), true},
        {"padded.wav", SOUND, content(wav(2000, 2000, "LIST" + littleEndian(5) + "INFOx" + '\0')),
         true},
        {"float.wav", SOUND, content(wav(2000, 2000, "", format(3, 1, 32))), true},
        {"ext.wav", SOUND, content(wav(2000, 2000, "", format(0xFFFE, 8, 16))), false},
        {"pipe-m.wav", MUSIC, fifo, false},
        {"4gb-m.wav", MUSIC, content(wav(0xFFFFFFFF, 980)), false},
        {"cut-m.wav", MUSIC, content(wav(44100, 1000)), false},
        {"list-m.wav", MUSIC, content(wav(2000, 2000, "LIST" + littleEndian(4) + "INFO")), true},
        {"float-m.wav", MUSIC, content(wav(2000, 2000, "", format(3, 1, 64))), true},
    };
    rlim_t pages = 0; // the address space in use
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * sysconf(_SC_PAGESIZE) + (rlim_t{1} << 30);
    for (const auto& [file, loader, make, loads] : cases) {
        make(file);
        // A copy with 1 GB more address space than the tests have.
        gametest::GameCopy child([&] {
            const rlimit memory{limit, limit};
            setrlimit(RLIMIT_AS, &memory);
            ResourceManager& resources = ResourceManager::getInstance();
            return std::to_string(loader == SPRITE  ? resources.loadSprite(file, "hostile")
                                  : loader == SOUND ? resources.loadSound(file, "hostile")
                                                    : resources.loadMusic(file, "hostile"));
        });
        EXPECT_EQ(child.heard(), loads ? "0" : "-1") << file;
        std::string line = loads ? loaded[loader] : refused[loader];
        EXPECT_EQ(countLogged(line.replace(line.find('@'), 1, file)), 1) << line;
    }
}

TEST_F(ResourceFilesTest, OnlyWholeWavFilesOfOneToEightChannelsAndWholeSamplesPassTheHeaderCheck) {
    const std::tuple<std::string, bool> cases[] = {
        {wav(2000, 2000), true},
        {wav(2000, 2000, "", format(1, 1, 8)), true},
        {wav(2000, 2000, "", format(1, 1, 24)), true},
        {wav(2000, 2000, "", format(1, 1, 32)), true},
        {wav(2000, 2000, "", format(0xFFFE, 8, 16)), true}, // extensible
        {wav(2000, 2000, "", format(3, 1, 16)), false},
        {wav(2000, 2000, "LIST" + littleEndian(5) + "INFOx"),
         false}, // the decoder skips a pad byte
        {wav(2000, 2000, "", format(1, 0, 16)), false},
        {wav(2000, 2000, "", format(1, 9, 16)), false},
        {wav(2000, 2000, "", format(1, 1, 9)), false},
        {wav(2000, 2000, "", format(1, 1, 0x110)), false},
        {wav(0x10000, 2000), false}, // more samples declared than held
        {wav(2000, 1999), false},
        {wav(2000, 2000, "LIST" + littleEndian(0x01000004) + "INFO"), false},
        {"RIFF" + littleEndian(4) + "WAVEdata" + littleEndian(0), false}, // no format first
        {"RIFF" + littleEndian(34) + "WAVEfmt " + littleEndian(14) + format().substr(0, 14) +
             "data" + littleEndian(0),
         false}, // a format chunk too short to hold the sample width
    };
    int count = 0;
    for (const auto& [bytes, complete] : cases) {
        writeFile("h.wav", bytes);
        ++count;
        EXPECT_EQ(mw::ResourceManager::isCompleteWav("h.wav"), complete) << "case " << count;
    }
}

} // namespace
