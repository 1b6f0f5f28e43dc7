#include "engine/DisplayManager.h"
#include "engine/Sprite.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>

#include <limits>
#include <sstream>

using mw::DisplayManager;
using mw::Vector;

namespace {

class DisplayTest : public mwtest::EngineTest {
protected:
    DisplayManager& display = DisplayManager::getInstance();

    // True when any pixel inside the rectangle is not black.
    static bool anyLit(const sf::Image& image, int left, int top, int width, int height) {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                if (image.getPixel({static_cast<unsigned>(x), static_cast<unsigned>(y)}) !=
                    sf::Color::Black)
                    return true;
        return false;
    }
};

TEST_F(DisplayTest, WithoutAWindowNothingIsDrawnButTheGridSizeIsKnown) {
    EXPECT_EQ(display.getHorizontal(), 80);
    EXPECT_EQ(display.getVertical(), 24);
    EXPECT_EQ(display.getHorizontalPixels(), 1024);
    EXPECT_EQ(display.getVerticalPixels(), 768);
    EXPECT_EQ(display.drawCh(Vector(1, 1), 'x', mw::COLOR_RED), -1);
    EXPECT_EQ(display.drawString(Vector(1, 1), "abc", mw::JUSTIFY_LEFT, mw::COLOR_RED), -1);
    display.swapBuffers();
    EXPECT_FALSE(TestAccess::shownCell(1, 1).drawn);
}

TEST_F(DisplayTest, JustifiedStringsLandInTheirColumns) {
    MW_OPEN_WINDOW();
    struct Case {
        const char* text;
        float x;
        mw::Justification justification;
        int firstColumn;
    };
    const Case cases[] = {
        {"ABCDEFG", 40, mw::JUSTIFY_CENTER, 36}, {"ABCD", 40, mw::JUSTIFY_CENTER, 38},
        {"AB", 5, mw::JUSTIFY_CENTER, 4},        {"ABC", 5, mw::JUSTIFY_CENTER, 3},
        {"ABC", 10, mw::JUSTIFY_RIGHT, 7},       {"ABC", 10, mw::JUSTIFY_LEFT, 10},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(display.drawString(Vector(c.x, row), c.text, c.justification, mw::COLOR_CYAN), 0);
        const int length = static_cast<int>(std::string(c.text).size());
        EXPECT_FALSE(TestAccess::drawnCell(c.firstColumn - 1, row).drawn);
        for (int i = 0; i < length; ++i)
            EXPECT_EQ(TestAccess::drawnCell(c.firstColumn + i, row),
                      (mw::Cell{c.text[i], mw::COLOR_CYAN, true}));
        EXPECT_FALSE(TestAccess::drawnCell(c.firstColumn + length, row).drawn);
        ++row;
    }
    EXPECT_EQ(display.drawString(Vector(3, 20), "", mw::JUSTIFY_CENTER, mw::COLOR_RED), 0);
    display.swapBuffers();
    EXPECT_EQ(TestAccess::shownCell(36, 0).ch, 'A');
    EXPECT_FALSE(TestAccess::drawnCell(36, 0).drawn);
}

TEST_F(DisplayTest, CellsMapToPixelsWithTheirBackingRectangles) {
    MW_OPEN_WINDOW();
    // A red block glyph's pixels stay inside its cell's glyph area.
    display.drawCh(Vector(2, 1), '#', mw::COLOR_RED);
    const sf::Image image = display.capture();
    EXPECT_TRUE(anyLit(image, 24, 32, 12, 32));
    EXPECT_FALSE(anyLit(image, 0, 0, 22, 768));
    EXPECT_FALSE(anyLit(image, 40, 0, 984, 768));
    EXPECT_EQ(image.getPixel({30, 48}).b, 0);

    // A fractional position lands between cells: x 10.5 is pixel 126.
    display.swapBuffers();
    display.drawCh(Vector(10.5f, 2), '#', mw::COLOR_WHITE);
    const sf::Image shifted = display.capture();
    EXPECT_TRUE(anyLit(shifted, 126, 64, 12, 32));
    EXPECT_FALSE(anyLit(shifted, 0, 0, 124, 768));
}

TEST_F(DisplayTest, ASpaceBlanksAnEarlierCharacterInTheSameFrame) {
    MW_OPEN_WINDOW();
    display.drawCh(Vector(5, 5), 'W', mw::COLOR_GREEN);
    EXPECT_TRUE(anyLit(display.capture(), 60, 160, 12, 32));
    display.drawCh(Vector(5, 5), ' ', mw::COLOR_GREEN);
    const sf::Image image = display.capture();
    // The backing rectangle starts 1.2 pixels right and 6.4 down and is 31
    // high: it covers the glyph's body.
    EXPECT_FALSE(anyLit(image, 62, 167, 10, 29));
    EXPECT_EQ(TestAccess::drawnCell(5, 5), (mw::Cell{' ', mw::COLOR_GREEN, true}));
}

TEST_F(DisplayTest, PositionsThatAreNotNumbersOrBeyondAnIntDrawNothing) {
    MW_OPEN_WINDOW();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float tooFar[] = {nan, inf, -inf, 3e9f, -3e9f, 1e30f};
    for (const bool batched : {true, false}) {
        SCOPED_TRACE(batched);
        TestAccess::setBatched(batched);
        for (const float far : tooFar) {
            EXPECT_EQ(display.drawCh(Vector(far, 3), '#', mw::COLOR_RED), 0);
            EXPECT_EQ(display.drawCh(Vector(3, far), '#', mw::COLOR_RED), 0);
            EXPECT_EQ(display.drawString(Vector(far, far), "##", mw::JUSTIFY_CENTER, mw::COLOR_RED),
                      0);
        }
        EXPECT_FALSE(anyLit(display.capture(), 0, 0, 1024, 768));
        display.swapBuffers();
        EXPECT_EQ(TestAccess::shownText().find_first_not_of(" \n"), std::string::npos);
    }
    TestAccess::setBatched(true);
}

TEST_F(DisplayTest, TheFontTextureHoldsWhatBatchedDrawingNeeds) {
    MW_OPEN_WINDOW();
    EXPECT_TRUE(TestAccess::isBatched());
}

TEST_F(DisplayTest, ColoursAreTheEightPureColours) {
    MW_OPEN_WINDOW();
    for (int color = 0; color < mw::COLOR_COUNT; ++color)
        display.drawCh(Vector(color * 2, 3), '#', static_cast<mw::Color>(color));
    const sf::Image image = display.capture();
    EXPECT_FALSE(anyLit(image, 0, 96, 24, 32)); // black on black
    for (int color = 1; color < mw::COLOR_COUNT; ++color) {
        SCOPED_TRACE(color);
        const sf::Color rgb[] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                 {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        const sf::Color expected = rgb[color];
        bool found = false;
        for (int y = 96; y < 128 && !found; ++y)
            for (int x = color * 24; x < color * 24 + 12 && !found; ++x)
                found = image.getPixel({static_cast<unsigned>(x), static_cast<unsigned>(y)}) ==
                        expected;
        EXPECT_TRUE(found);
    }
}

TEST_F(DisplayTest, ASecondStartupOpensNoSecondWindow) {
    MW_OPEN_WINDOW();
    sf::RenderWindow* window = display.getWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->getSize(), sf::Vector2u(1024, 768));
    EXPECT_EQ(display.startUp(), 0);
    EXPECT_EQ(display.getWindow(), window);
    display.shutDown();
    EXPECT_EQ(display.getWindow(), nullptr);
    EXPECT_FALSE(display.isStarted());
}

TEST_F(DisplayTest, AMissingFontIsReportedOnStandardOutputAndTheWindowStaysOpen) {
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "needs an X display";
    testing::internal::CaptureStdout();
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Couldn't load font.\n");
    EXPECT_NE(display.getWindow(), nullptr);
    EXPECT_FALSE(display.isStarted());
}

TEST_F(DisplayTest, SpritesAreDrawnCentredAndOffTheGridIsIgnored) {
    MW_OPEN_WINDOW();
    mw::Sprite sprite(1);
    sprite.setWidth(3);
    sprite.setHeight(2);
    sprite.setColor(mw::COLOR_YELLOW);
    sprite.pushFrame(mw::Frame(3, 2, "abcdef"));
    EXPECT_EQ(sprite.draw(0, Vector(10, 5)), 0);
    const std::pair<std::pair<int, int>, char> expected[] = {{{9, 4}, 'a'},  {{10, 4}, 'b'},
                                                             {{11, 4}, 'c'}, {{9, 5}, 'd'},
                                                             {{10, 5}, 'e'}, {{11, 5}, 'f'}};
    for (const auto& [cell, ch] : expected)
        EXPECT_EQ(TestAccess::drawnCell(cell.first, cell.second),
                  (mw::Cell{ch, mw::COLOR_YELLOW, true}));
    EXPECT_EQ(sprite.draw(-1, Vector(10, 5)), -1);
    EXPECT_EQ(sprite.draw(1, Vector(10, 5)), -1);
    EXPECT_EQ(sprite.draw(0, Vector(0, 0)), 0);
    EXPECT_EQ(TestAccess::drawnCell(0, 0).ch, 'e');
    EXPECT_FALSE(TestAccess::drawnCell(-1, -1).drawn);
    display.swapBuffers();
    EXPECT_EQ(TestAccess::shownCell(0, 0), (mw::Cell{'e', mw::COLOR_YELLOW, true}));
    EXPECT_FALSE(TestAccess::shownCell(-1, 0).drawn);
}

} // namespace
