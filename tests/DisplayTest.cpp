#include "engine/CellRecorder.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <limits>

using mw::Cell;
using mw::Vector;

namespace {

TEST(CellRecorderTest, KeepsTheCellsOnTheGridAndShowsThemAsText) {
    mw::CellRecorder cells(80, 24);
    const std::pair<Vector, char> drawn[] = {
        {{0, 0}, 'a'},  {{79, 0}, 'b'},     {{0, 1}, 'c'},    {{79.9f, 23.9f}, 'd'},
        {{1, 0}, 'e'},  {{78.5f, 22}, 'f'}, {{-1, 5}, 'x'},   {{80, 5}, 'x'},
        {{5, 24}, 'x'}, {{5, -1}, 'x'},     {{-0.5f, 3}, 'x'}};
    for (const auto& [at, ch] : drawn)
        cells.record(at, ch, mw::COLOR_RED);
    const Cell a{'a', mw::COLOR_RED, true};
    EXPECT_TRUE(cells.drawn(0, 0) == a && cells.drawn(79, 23) == (Cell{'d', mw::COLOR_RED, true}));
    for (const auto& [column, row] : {std::pair{80, 0}, {-1, 1}, {0, 24}, {-1, -1}})
        EXPECT_EQ(cells.drawn(column, row), Cell{}) << column << ", " << row;
    cells.show();
    EXPECT_TRUE(cells.drawn(0, 0) == Cell{} && cells.shown(0, 0) == a);
    EXPECT_TRUE(cells.shown(80, 0) == Cell{} && cells.shown(-1, 1) == Cell{});
    std::string text = "ae" + std::string(77, ' ') + "b\nc" + std::string(79, ' ') + "\n";
    for (int row = 2; row < 22; ++row)
        text += std::string(80, ' ') + "\n";
    EXPECT_EQ(cells.shownText(),
              text + std::string(78, ' ') + "f \n" + std::string(79, ' ') + "d\n");
    cells.clear();
    EXPECT_EQ(cells.shown(0, 0), Cell{});
}

class DisplayTest : public mwtest::EngineTest {
protected:
    // Whether a pixel of the area has the colour (or, without one, is not black).
    static bool any(const sf::Image& image, sf::IntRect area, std::optional<sf::Color> color = {}) {
        for (int y = area.position.y; y < area.position.y + area.size.y; ++y)
            for (int x = area.position.x; x < area.position.x + area.size.x; ++x) {
                const sf::Color pixel = image.getPixel(sf::Vector2u(sf::Vector2i(x, y)));
                if (color ? pixel == *color : pixel != sf::Color::Black)
                    return true;
            }
        return false;
    }
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
};

TEST_F(DisplayTest, CellsLightTheirOwnPixelsInTheEightPureColours) {
    MW_OPEN_WINDOW();
    const sf::Color rgb[] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const bool batched : {true, false}) {
        TestAccess::setBatched(batched);
        for (int color = 0; color < mw::COLOR_COUNT; ++color)
            display.drawCh(Vector(color * 2, 3), '#', static_cast<mw::Color>(color));
        const sf::Image colours = display.capture();
        for (int color = 1; color < mw::COLOR_COUNT; ++color)
            EXPECT_TRUE(any(colours, {{color * 24, 96}, {12, 32}}, rgb[color])) << color;
        for (const sf::IntRect dark :
             {sf::IntRect{{0, 96}, {24, 32}}, {{0, 0}, {1024, 96}}, {{0, 128}, {1024, 640}}})
            EXPECT_FALSE(any(colours, dark)) << dark.position.x << ", " << dark.position.y;
        display.swapBuffers();
        display.drawCh(Vector(2, 1), '#', mw::COLOR_RED);
        display.drawCh(Vector(10.5f, 2), '#', mw::COLOR_WHITE); // between two cells
        display.drawCh(Vector(5, 5), 'W', mw::COLOR_GREEN);
        display.drawCh(Vector(5, 5), ' ', mw::COLOR_GREEN); // covers the W
        for (const float far : {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(), -3e9f, 3e9f})
            EXPECT_EQ(display.drawCh(Vector(far, 3), '#', mw::COLOR_RED) +
                          display.drawCh(Vector(3, far), '#', mw::COLOR_RED),
                      0);
        const sf::Image cells = display.capture();
        EXPECT_TRUE(any(cells, {{24, 32}, {12, 32}}, sf::Color::Red));
        EXPECT_TRUE(any(cells, {{126, 64}, {12, 32}}, sf::Color::White));
        // Glyphs are wider than their cells. A backing starts 1.2 pixels right of
        // its cell and 6.4 down, and is 31 high.
        for (const sf::IntRect dark : {sf::IntRect{{62, 167}, {10, 29}},
                                       {{0, 0}, {22, 768}},
                                       {{40, 0}, {84, 160}},
                                       {{144, 0}, {880, 768}},
                                       {{24, 0}, {100, 32}},
                                       {{24, 96}, {30, 672}},
                                       {{0, 200}, {1024, 568}}})
            EXPECT_FALSE(any(cells, dark)) << dark.position.x << ", " << dark.position.y;
        EXPECT_EQ(TestAccess::drawnCell(5, 5), (Cell{' ', mw::COLOR_GREEN, true}));
        display.swapBuffers();
        EXPECT_FALSE(any(display.capture(), {{0, 0}, {1024, 768}})) << "after the swap";
    }
}

TEST_F(DisplayTest, DrawsOnlyInAWindowStartsItOnceAndReportsAMissingFont) {
    EXPECT_EQ(display.drawCh(Vector(1, 1), 'x', mw::COLOR_RED), -1);
    EXPECT_EQ(display.drawString(Vector(1, 1), "abc", mw::JUSTIFY_LEFT, mw::COLOR_RED), -1);
    display.swapBuffers();
    EXPECT_FALSE(TestAccess::shownCell(1, 1).drawn);
    EXPECT_EQ(display.capture().getSize(), sf::Vector2u(0, 0));
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "needs an X display";
    testing::internal::CaptureStdout();
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Couldn't load font.\n");
    EXPECT_FALSE(display.isStarted());
    ASSERT_NE(display.getWindow(), nullptr); // stays open
    display.shutDown();
    MW_OPEN_WINDOW();
    EXPECT_TRUE(display.isStarted() && TestAccess::isBatched());
    sf::RenderWindow* window = display.getWindow();
    EXPECT_EQ(window->getSize(), sf::Vector2u(1024, 768));
    EXPECT_TRUE(display.startUp() == 0 && display.getWindow() == window);
    display.shutDown();
    EXPECT_TRUE(display.getWindow() == nullptr && !display.isStarted());
    EXPECT_EQ(countLogged("DisplayManager::startUp() - DM was started up"), 1);
    EXPECT_EQ(countLogged("DisplayManager::shutDown() - DM was shut down"), 2);
}

} // namespace
