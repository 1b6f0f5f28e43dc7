#include "engine/Sprite.h"
#include "engine/internal/BatchRenderer.h"
#include "engine/internal/CellRecorder.h"
#include "support/TestSupport.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <algorithm>
#include <functional>
#include <limits>

using mw::Cell;
using mw::DisplayManager;
using mw::Vector;

TEST(CellRecorderTest, KeepsOnlyTheCellsOnTheGrid) {
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
    std::string shown;
    for (int row = 0; row < 24; ++row)
        for (int column = 0; column < 80; ++column)
            shown +=
                cells.shown(column, row).drawn ? std::string(1, cells.shown(column, row).ch) : "";
    EXPECT_EQ(shown, "aebcfd");
}

using DisplayTest = mwtest::EngineTest;
static DisplayManager& display = DisplayManager::getInstance();

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

TEST_F(DisplayTest, CellsLightTheirOwnPixelsInTheEightPureColoursInOneWindowAtATime) {
    EXPECT_EQ(display.drawCh(Vector(1, 1), 'x', mw::COLOR_RED) +
                  display.drawString(Vector(1, 1), "abc", mw::JUSTIFY_LEFT, mw::COLOR_RED),
              -2); // no window
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "needs an X display";
    testing::internal::CaptureStdout();
    EXPECT_EQ(display.startUp(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Couldn't load font.\n");
    EXPECT_TRUE(!display.isStarted() && display.getWindow() != nullptr); // the window stays open
    display.shutDown();
    MW_OPEN_WINDOW();
    sf::RenderWindow* window = display.getWindow();
    EXPECT_TRUE(display.startUp() == 0 && display.getWindow() == window && display.isStarted());
    EXPECT_TRUE(mw::DisplayManager::getInstance().isBatched() &&
                window->getSize() == sf::Vector2u(1024, 768));
    display.drawCh(Vector(2, 1), '#', mw::COLOR_RED);
    EXPECT_TRUE(any(display.capture(), {{24, 32}, {12, 32}}, sf::Color::Red));
    display.swapBuffers();
    // The glyph texture is fit for batching when its first 2 x 2 texels are pure white.
    sf::Image texture({4, 4}, sf::Color::White);
    texture.setPixel({3, 3}, sf::Color::Black);
    EXPECT_TRUE(mw::BatchRenderer::hasWhiteTexels(texture));
    for (const sf::Vector2u texel : {sf::Vector2u(1, 1), {0, 1}, {1, 0}}) {
        texture.setPixel(texel, sf::Color(255, 255, 255, 254));
        EXPECT_FALSE(mw::BatchRenderer::hasWhiteTexels(texture)) << texel.x << texel.y;
        texture.setPixel(texel, sf::Color::White);
    }
    EXPECT_FALSE(mw::BatchRenderer::hasWhiteTexels(sf::Image({1, 4}, sf::Color::White)));
    sf::Image picture({6, 6}, sf::Color::Transparent);
    EXPECT_TRUE(mw::BatchRenderer::isClear(picture));
    picture.setPixel({5, 2}, sf::Color(0, 0, 0, 1));
    EXPECT_FALSE(mw::BatchRenderer::isClear(picture));
    const sf::Color rgb[] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (const bool batched : {true, false}) {
        mw::DisplayManager::getInstance().setBatched(batched);
        for (int color = 0; color < mw::COLOR_COUNT; ++color)
            EXPECT_EQ(display.drawCh(Vector(color * 2, 3), '#', static_cast<mw::Color>(color)), 0);
        const sf::Image colours = display.capture();
        for (int color = 1; color < mw::COLOR_COUNT; ++color)
            EXPECT_TRUE(any(colours, {{color * 24, 96}, {12, 32}}, rgb[color])) << color;
        const int black[][4] = {{0, 96, 24, 32}, {0, 0, 1024, 96}, {0, 128, 1024, 640}};
        for (const auto& [x, y, width, height] : black)
            EXPECT_FALSE(any(colours, {{x, y}, {width, height}})) << x << ", " << y;
        display.swapBuffers();
        display.drawCh(Vector(2, 1), '#', mw::COLOR_RED);
        display.drawCh(Vector(10.5f, 2), '#', mw::COLOR_WHITE); // between two cells
        display.drawCh(Vector(5, 5), 'W', mw::COLOR_GREEN);
        display.drawCh(Vector(5, 5.25f), '|', mw::COLOR_GREEN); // lit down to row 197
        display.drawCh(Vector(5, 5), ' ', mw::COLOR_GREEN);     // covers both down to row 196
        for (const float far : {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(), -3e9f, 3e9f})
            EXPECT_EQ(display.drawCh(Vector(far, 3), '#', mw::COLOR_RED) +
                          display.drawCh(Vector(3, far), '#', mw::COLOR_RED),
                      0);
        mw::Sprite sprite(1);
        sprite.pushFrame(mw::Frame(1, 1, "#"));
        EXPECT_EQ(sprite.draw(0, Vector(5, 30)), 0); // drawn, off the window
        EXPECT_EQ(sprite.draw(1, Vector(5, 30)), -1);
        const sf::Image cells = display.capture();
        EXPECT_TRUE(any(cells, {{24, 32}, {12, 32}}, sf::Color::Red));
        EXPECT_TRUE(any(cells, {{126, 64}, {12, 32}}, sf::Color::White));
        // Glyphs overflow their cells; a backing lies 1.2 right and 6.4 down, 12 x 31.
        const int dark[][4] = {{62, 167, 10, 30},  {0, 0, 22, 768},  {40, 0, 84, 160},
                               {144, 0, 880, 768}, {24, 64, 16, 32}, {0, 200, 1024, 568}};
        for (const auto& [x, y, width, height] : dark)
            EXPECT_FALSE(any(cells, {{x, y}, {width, height}})) << x << ", " << y;
        display.swapBuffers();
        EXPECT_FALSE(any(display.capture(), {{0, 0}, {1024, 768}})) << "after the swap";
    }
}

static bool samePicture(const sf::Image& reference, const sf::Image& image) {
    return reference.getSize() == image.getSize() &&
           std::equal(image.getPixelsPtr(), image.getPixelsPtr() + 4 * 1024 * 768,
                      reference.getPixelsPtr());
}

static void expectSamePicture(const std::function<void()>& drawFrame) {
    mw::DisplayManager::getInstance().setBatched(false);
    drawFrame();
    const sf::Image reference = display.capture();
    display.swapBuffers();
    mw::DisplayManager::getInstance().setBatched(true);
    drawFrame();
    EXPECT_TRUE(samePicture(reference, display.capture()));
    display.swapBuffers();
}

static void text(Vector at, const std::string& text, mw::Color color) {
    display.drawString(at, text, mw::JUSTIFY_LEFT, color);
}

TEST_F(DisplayTest, BatchedDrawingLooksAsCellByCellForEveryCharacterColourAndOverlap) {
    MW_OPEN_WINDOW();
    for (const int order : {1, -1}) {
        expectSamePicture([order] {
            for (int index = 0; index < 95; ++index)
                for (int color = 0; color < mw::COLOR_COUNT; ++color)
                    display.drawCh(Vector(index % 10 * 8 + color, index / 10 * 2 + color % 2),
                                   static_cast<char>(order > 0 ? 32 + index : 126 - index),
                                   static_cast<mw::Color>(color));
        });
        display.drawCh(Vector(1, 1), 'x', mw::COLOR_RED);
        display.swapBuffers();
        // The font is loaded again: its glyphs land elsewhere in its texture.
        display.shutDown();
        ASSERT_EQ(display.startUp(), 0);
        EXPECT_FALSE(mw::DisplayManager::getInstance().shownCell(1, 1).drawn);
    }
    expectSamePicture([] {
        text(Vector(10, 3), "WWWWMMMM@@@@", mw::COLOR_RED);
        // Half a cell over: each rectangle covers some of the glyph before it.
        text(Vector(10.5f, 3), "jgyQ|_/\\\\", mw::COLOR_GREEN);
        display.drawString(Vector(42.5f, 14.25f), "+--==[##]==--+", mw::JUSTIFY_CENTER,
                           mw::COLOR_BLUE);
        text(Vector(79, 23), "edge", mw::COLOR_WHITE);
        text(Vector(0, 0), ".", mw::COLOR_WHITE); // in the first tile with the next
        display.drawCh(Vector(-0.5f, -0.25f), '#', mw::COLOR_YELLOW);
        text(Vector(3.1f, 5.3f), "AbgW|@#", mw::COLOR_CYAN);
        text(Vector(3.7f, 5.9f), "MMMM", mw::COLOR_MAGENTA);
        text(Vector(30, 9), "ABCDEFGH", mw::COLOR_YELLOW);
        text(Vector(31.3f, 9.1f), "xyz", mw::COLOR_WHITE);
        text(Vector(32, 9), "  ", mw::COLOR_WHITE);
        // Blanks whose backings reach only pixel row 0, or only pixel column 0, cover the
        // glyphs lit there.
        text(Vector(40, -0.2f), "WMWMWMWM", mw::COLOR_WHITE);
        text(Vector(40, -1.15f), "        ", mw::COLOR_WHITE);
        for (float row = 12; row < 20; ++row) {
            display.drawCh(Vector(-0.2f, row), 'W', mw::COLOR_WHITE);
            display.drawCh(Vector(-1.05f, row), ' ', mw::COLOR_WHITE);
        }
    });
    sf::Image reference;
    for (const auto& [first, second] :
         {std::pair{false, false}, {false, true}, {true, true}, {true, false}}) {
        mw::DisplayManager::getInstance().setBatched(first);
        text(Vector(20.5f, 10.25f), "WWWWWWWW", mw::COLOR_GREEN);
        if (first && second)
            (void)display.capture();
        mw::DisplayManager::getInstance().setBatched(second);
        text(Vector(20.5f, 10.75f), "  ..||%%", mw::COLOR_RED);
        const sf::Image picture = display.capture();
        reference = first || second ? reference : picture;
        EXPECT_TRUE(samePicture(reference, picture)) << first << second;
        display.swapBuffers();
    }
}

struct StillClock : mw::Clock {
    std::int64_t nowMilliseconds() override { return now; }
    void sleepMilliseconds(int milliseconds) override { now += milliseconds; }
    std::int64_t now = 1000;
};

TEST_F(DisplayTest, AFrameLikeTheLastShownIsShownAgainOnlyAfterHalfASecondOrASpoiledWindow) {
    MW_OPEN_WINDOW();
    StillClock clock;
    display.setClock(&clock);
    struct Restore {
        ~Restore() { display.setClock(nullptr); }
    } restore;
    for (const bool batched : {true, false}) {
        mw::DisplayManager::getInstance().setBatched(batched);
        using Cells = std::vector<std::pair<Vector, char>>;
        const Cells ab = {{{3, 4}, 'a'}, {{4.5f, 4}, 'b'}}, ac = {{{3, 4}, 'a'}, {{4.5f, 4}, 'c'}};
        const Cells lower = {{{3, 4}, 'a'}, {{4.5f, 4.25f}, 'c'}},
                    swapped = {{{4.5f, 4.25f}, 'c'}, {{3, 4}, 'a'}};
        const auto wait = [&] { clock.now += 499; };
        const auto focus = [] {
            mw::InputManager::getInstance().handleEvent(sf::Event::FocusGained{});
        };
        const auto resize = [] {
            mw::InputManager::getInstance().handleEvent(sf::Event::Resized{{1024, 768}});
        };
        // Each frame: what it draws, what happens before it is swapped, whether it is shown.
        const struct {
            Cells cells;
            mw::Color color;
            std::function<void()> before;
            bool shown;
        } frames[] = {
            {ab, mw::COLOR_RED, [] { display.invalidate(); }, true},
            {ab, mw::COLOR_RED, wait, false},
            {ab, mw::COLOR_GREEN, {}, true},
            {ac, mw::COLOR_GREEN, {}, true},
            {lower, mw::COLOR_GREEN, {}, true},
            {swapped, mw::COLOR_GREEN, {}, true},
            {swapped, mw::COLOR_GREEN, wait, false},
            {swapped, mw::COLOR_GREEN, [&] { clock.now += 1; }, true},
            {swapped, mw::COLOR_GREEN, {}, false},
            {swapped, mw::COLOR_GREEN, focus, true},
            {swapped, mw::COLOR_GREEN, resize, true},
            {swapped, mw::COLOR_GREEN, [] { (void)display.capture(); }, true},
            {{{{4.5f, 4.25f}, 'c'}, {{3, 4}, 'a'}, {{3, 4}, 'a'}}, mw::COLOR_GREEN, {}, true},
            {{}, mw::COLOR_GREEN, {}, true},
            {{}, mw::COLOR_GREEN, {}, false},
        };
        int number = 0;
        for (const auto& frame : frames) {
            for (const auto& [at, ch] : frame.cells)
                display.drawCh(at, ch, frame.color);
            if (frame.before)
                frame.before();
            const long long shown = display.getShownFrames();
            display.swapBuffers();
            EXPECT_EQ(display.getShownFrames() - shown, frame.shown ? 1 : 0)
                << "frame " << number << (batched ? " batched" : " cell by cell");
            // Tests read every frame's cells, shown or not.
            EXPECT_EQ(display.shownCell(3, 4),
                      (frame.cells.empty() ? Cell() : Cell{'a', frame.color, true}));
            // A frame left out leaves the surface clear for the next one.
            EXPECT_FALSE(any(display.capture(), {{0, 0}, {1024, 768}}));
            ++number;
        }
    }
}
