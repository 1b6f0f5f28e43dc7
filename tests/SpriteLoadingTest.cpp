#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>

using mw::ResourceManager;

namespace {

class SpriteLoadingTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ResourceManager::getInstance().startUp();
    }
};

struct FormatCase {
    const char* name;
    std::string content;
    int result;
    int frames, width, height, slowdown, color;
    std::vector<std::string> frameStrings;
};

TEST_F(SpriteLoadingTest, ReadsTheFormatAndItsEdgeCases) {
    const FormatCase cases[] = {
        {"plain", "2\n3\n1\n4\ngreen\nabc\ndef\n", 0, 2, 3, 1, 4, mw::COLOR_GREEN, {"abc", "def"}},
        {"crlf", "1\r\n2\r\n2\r\n1\r\nred\r\nab\r\ncd\r\n", 0, 1, 2, 2, 1, mw::COLOR_RED, {"abcd"}},
        {"integer rule",
         "  1 frame\n+3x\n1\n-1 holds\nwhite\nxyz\n",
         0,
         1,
         3,
         1,
         -1,
         mw::COLOR_WHITE,
         {"xyz"}},
        {"no number reads 0", "1\nwide\n1\n\nblue\n", 0, 1, 0, 1, 0, mw::COLOR_BLUE, {""}},
        {"cut short", "2\n3\n2\n1\ncyan\nabc\nde", 0, 2, 3, 2, 1, mw::COLOR_CYAN, {"abcde", ""}},
        {"no frames", "0\n5\n5\n1\nmagenta\n", 0, 0, 5, 5, 1, mw::COLOR_MAGENTA, {}},
        {"the whole display", "0\n80\n24\n1\nred\n", 0, 0, 80, 24, 1, mw::COLOR_RED, {}},
        {"spaces kept", "1\n4\n1\n2\nyellow\n a  \n", 0, 1, 4, 1, 2, mw::COLOR_YELLOW, {" a  "}},
        {"rest ignored", "1\n1\n1\n1\nblack\nq\nextra\n", 0, 1, 1, 1, 1, mw::COLOR_BLACK, {"q"}},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = std::string(c.name) + ".txt";
        writeFile(file, c.content);
        ASSERT_EQ(ResourceManager::getInstance().loadSprite(file, c.name), c.result);
        const mw::Sprite* sprite = ResourceManager::getInstance().getSprite(c.name);
        ASSERT_NE(sprite, nullptr);
        EXPECT_EQ(sprite->getFrameCount(), c.frames);
        EXPECT_EQ(sprite->getWidth(), c.width);
        EXPECT_EQ(sprite->getHeight(), c.height);
        EXPECT_EQ(sprite->getSlowdown(), c.slowdown);
        EXPECT_EQ(sprite->getColor(), c.color);
        for (int i = 0; i < c.frames; ++i)
            EXPECT_EQ(sprite->getFrame(i).getString(), c.frameStrings[i]);
        EXPECT_TRUE(logged("ResourceManager::loadSprite - Loaded Sprite in '" + file +
                           "' with label '" + c.name + "' succesfully"));
    }
}

TEST_F(SpriteLoadingTest, RefusesBadFilesWithALogLine) {
    struct Refusal {
        const char* file;
        std::string content;
        std::string logLine;
    };
    const Refusal cases[] = {
        {"capital.txt", "1\n1\n1\n1\nGreen\nx\n",
         "ResourceManager::loadSprite - Couldn't identify color 'Green' in 'capital.txt'"},
        {"trailing.txt", "1\n1\n1\n1\ngreen \nx\n",
         "ResourceManager::loadSprite - Couldn't identify color 'green ' in 'trailing.txt'"},
        {"empty.txt", "",
         "ResourceManager::loadSprite - Couldn't identify color '' in 'empty.txt'"},
        {"negative.txt", "-3\n1\n1\n1\nred\n",
         "ResourceManager::loadSprite - Bad frame count -3 in 'negative.txt'"},
        {"huge.txt", "2000000000\n1\n1\n1\nred\n",
         "ResourceManager::loadSprite - Bad frame count 2000000000 in 'huge.txt'"},
        {"vast.txt", "1\n3000\n3000\n1\nred\n",
         "ResourceManager::loadSprite - Size 3000 x 3000 in 'vast.txt' exceeds the display's 80 "
         "x 24 cells"},
        {"wide.txt", "1\n81\n1\n1\nred\n",
         "ResourceManager::loadSprite - Size 81 x 1 in 'wide.txt' exceeds the display's 80 x 24 "
         "cells"},
        {"tall.txt", "1\n1\n25\n1\nred\n",
         "ResourceManager::loadSprite - Size 1 x 25 in 'tall.txt' exceeds the display's 80 x 24 "
         "cells"},
    };
    // Sizes that overflow a product or saturate, each refused before anything
    // is allocated for them.
    const struct {
        const char *width, *height, *logged;
    } sizes[] = {
        {"2147483647", "1", "Size 2147483647 x 1"},
        {"1", "2147483647", "Size 1 x 2147483647"},
        {"100000", "1", "Size 100000 x 1"},
        {"1000", "100", "Size 1000 x 100"},
        {"10000", "1", "Size 10000 x 1"},
        {"30000", "1", "Size 30000 x 1"},
        {"1", "-2147483648", "Negative size 1 x -2147483648"},
        {"-99999999999", "1", "Negative size -2147483648 x 1"},
    };
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.logged);
        writeFile("big.txt", std::string("1\n") + size.width + "\n" + size.height + "\n1\nred\n");
        EXPECT_EQ(ResourceManager::getInstance().loadSprite("big.txt", "big"), -1);
        const std::string line =
            std::string("ResourceManager::loadSprite - ") + size.logged + " in 'big.txt'";
        EXPECT_TRUE(logged(line + (line.find("Negative") == std::string::npos
                                       ? " exceeds the display's 80 x 24 cells"
                                       : "")));
    }
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.file);
        writeFile(c.file, c.content);
        EXPECT_EQ(ResourceManager::getInstance().loadSprite(c.file, c.file), -1);
        EXPECT_EQ(ResourceManager::getInstance().getSprite(c.file), nullptr);
        EXPECT_TRUE(logged(c.logLine));
    }
    EXPECT_EQ(ResourceManager::getInstance().loadSprite("missing.txt", "missing"), -1);
    EXPECT_TRUE(logged("ResourceManager::loadSprite - Failed to open file 'missing.txt'"));
    std::filesystem::create_directory("folder.txt");
    EXPECT_EQ(ResourceManager::getInstance().loadSprite("folder.txt", "folder"), -1);
    EXPECT_TRUE(logged("ResourceManager::loadSprite - Failed to open file 'folder.txt'"));
    EXPECT_EQ(ResourceManager::getInstance().getSpriteCount(), 0);
}

TEST_F(SpriteLoadingTest, FindsTheFirstOfTwoEqualLabelsAndNothingAfterShutdown) {
    writeFile("a.txt", "1\n1\n1\n1\nred\na\n");
    writeFile("b.txt", "1\n1\n1\n1\nblue\nb\n");
    ResourceManager& resources = ResourceManager::getInstance();
    resources.loadSprite("a.txt", "same");
    resources.loadSprite("b.txt", "same");
    EXPECT_EQ(resources.getSprite("same")->getColor(), mw::COLOR_RED);
    EXPECT_EQ(resources.getSprite("Same"), nullptr);
    EXPECT_TRUE(resources.isStarted());
    resources.shutDown();
    EXPECT_FALSE(resources.isStarted());
    EXPECT_EQ(resources.getSprite("same"), nullptr);
    resources.loadSprite("b.txt", "same");
    EXPECT_EQ(resources.getSprite("same")->getColor(), mw::COLOR_BLUE);
}

TEST_F(SpriteLoadingTest, TheThousandAndFirstSpriteIsRefused) {
    writeFile("one.txt", "1\n1\n1\n1\nred\na\n");
    ResourceManager& resources = ResourceManager::getInstance();
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(resources.loadSprite("one.txt", "s" + std::to_string(i)), 0);
    EXPECT_EQ(resources.loadSprite("one.txt", "last"), -1);
    EXPECT_TRUE(logged("ResourceManager::loadSprite - Reached max sprite count!"));
    EXPECT_EQ(resources.getSpriteCount(), 1000);
}

TEST(SpriteTest, PushFrameOnAFullSpriteChangesNothing) {
    mw::Sprite sprite(1);
    sprite.pushFrame(mw::Frame(1, 1, "a"));
    sprite.pushFrame(mw::Frame(1, 1, "b"));
    EXPECT_EQ(sprite.getFrameCount(), 1);
    EXPECT_EQ(sprite.getFrame(0).getString(), "a");
}

TEST(FrameTest, ShortRowsReadAsSpacesInsteadOfPastTheEnd) {
    const mw::Frame frame(3, 2, "abcd");
    EXPECT_EQ(frame.charAt(0, 2), 'c');
    EXPECT_EQ(frame.charAt(1, 0), 'd');
    EXPECT_EQ(frame.charAt(1, 1), ' ');
    EXPECT_EQ(frame.charAt(1, 2), ' ');
}

} // namespace
