#include "engine/BatchRenderer.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using mw::BatchRenderer;

namespace {

// Runs without a window or a font: every character has the same made-up
// glyph, 8 x 18 pixels, 1 right of the origin and 20 above the baseline,
// taken from texels (10, 0) to (18, 18).
class BatchRendererTest : public ::testing::Test {
protected:
    BatchRendererTest() : renderer(mw::CellGeometry(12, 32), {1024, 768}, sf::Color::Black) {
        renderer.setGlyphSource([](char) {
            sf::Glyph glyph;
            glyph.bounds = sf::FloatRect({1, -20}, {8, 18});
            glyph.textureRect = sf::IntRect({10, 0}, {8, 18});
            return glyph;
        });
    }

    // The rectangle covered by the quad of vertices first .. first + 5.
    sf::FloatRect quadAt(std::size_t first) const {
        const std::vector<sf::Vertex>& v = renderer.vertices();
        return sf::FloatRect(v[first].position, v[first + 5].position - v[first].position);
    }

    BatchRenderer renderer;
};

TEST_F(BatchRendererTest, ACellOnWholePixelsIsOneSharpQuadAtItsGlyph) {
    renderer.addCell({12, 32}, 'A', sf::Color::Red);
    renderer.build(false);
    ASSERT_EQ(renderer.vertices().size(), 6u);
    ASSERT_EQ(renderer.runs().size(), 1u);
    EXPECT_TRUE(renderer.runs()[0].sharp);
    // Baseline 24 below the origin: 32 + 24 - 20 = 36.
    EXPECT_EQ(quadAt(0), sf::FloatRect({13, 36}, {8, 18}));
    EXPECT_EQ(renderer.vertices()[0].texCoords, sf::Vector2f(10, 0));
    EXPECT_EQ(renderer.vertices()[5].texCoords, sf::Vector2f(18, 18));
    EXPECT_EQ(renderer.vertices()[0].color, sf::Color::Red);
    EXPECT_EQ(renderer.pendingCells(), 0);
}

TEST_F(BatchRendererTest, BlanksDrawOnlyTheirBackingAndOnlyOverEarlierDrawing) {
    struct Case {
        char ch;
        bool coverEarlier;
        std::size_t vertices;
    };
    const Case cases[] = {
        {' ', false, 0}, {'\t', false, 0}, {'\n', false, 0}, {' ', true, 6}, {'x', true, 12},
    };
    for (const Case& c : cases) {
        renderer.addCell({24, 64}, c.ch, sf::Color::Green);
        renderer.build(c.coverEarlier);
        EXPECT_EQ(renderer.vertices().size(), c.vertices) << static_cast<int>(c.ch);
        if (c.coverEarlier) {
            EXPECT_EQ(quadAt(0), sf::FloatRect({25.2f, 70.4f}, {12, 31}));
            EXPECT_EQ(renderer.vertices()[0].color, sf::Color::Black);
            EXPECT_EQ(renderer.vertices()[0].texCoords, sf::Vector2f(1, 1));
        }
    }
}

TEST_F(BatchRendererTest, ALaterCellsBackingIsCutOutOfAnEarlierGlyph) {
    renderer.addCell({0, 0}, 'A', sf::Color::Red);
    // Its backing starts at (7.2, 6.4), inside the first glyph (1, 4) .. (9, 22).
    renderer.addCell({6, 0}, 'B', sf::Color::Blue);
    renderer.build(false);
    ASSERT_EQ(renderer.vertices().size(), 18u);
    EXPECT_EQ(quadAt(0), sf::FloatRect({1, 4}, {8, 2.4f}));
    EXPECT_EQ(quadAt(6), sf::FloatRect({1, 6.4f}, {6.2f, 15.6f}));
    EXPECT_EQ(quadAt(12), sf::FloatRect({7, 4}, {8, 18}));
    EXPECT_EQ(renderer.vertices()[12].color, sf::Color::Blue);
}

TEST_F(BatchRendererTest, ABackingFlushWithAGlyphsEdgesLeavesNoEmptyPieces) {
    // 10 x 30 cells: backings start (1, 6) from the origin and are 29 high,
    // exactly the rows of this glyph, which starts one column further left.
    BatchRenderer flush(mw::CellGeometry(10, 30), {800, 600}, sf::Color::Black);
    flush.setGlyphSource([](char) {
        sf::Glyph glyph;
        glyph.bounds = sf::FloatRect({0, -14}, {10, 29});
        glyph.textureRect = sf::IntRect({10, 0}, {10, 29});
        return glyph;
    });
    flush.addCell({0, 0}, 'A', sf::Color::Red);
    flush.addCell({0, 0}, 'B', sf::Color::Blue);
    flush.build(false);
    ASSERT_EQ(flush.vertices().size(), 12u);
    const std::vector<sf::Vertex>& v = flush.vertices();
    EXPECT_EQ(sf::FloatRect(v[0].position, v[5].position - v[0].position),
              sf::FloatRect({0, 6}, {1, 29}));
}

TEST_F(BatchRendererTest, CellsWhollyOutsideTheWindowAreDropped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        sf::Vector2f origin;
        int pending;
    };
    const Case cases[] = {
        {{-100, 0}, 0}, {{2000, 0}, 0},   {{0, -200}, 0}, {{0, 800}, 0},   {{1e20f, 5}, 0},
        {{nan, 0}, 0},  {{0, nan}, 0},    {{inf, 0}, 0},  {{-inf, 0}, 0},  {{-14, 0}, 0},
        {{-6, 0}, 1},   {{1020, 760}, 1}, {{0, -30}, 1},  {{948, 736}, 1},
    };
    for (const Case& c : cases) {
        renderer.addCell(c.origin, '#', sf::Color::Yellow);
        EXPECT_EQ(renderer.pendingCells(), c.pending) << c.origin.x << ", " << c.origin.y;
        renderer.clear();
    }
}

TEST_F(BatchRendererTest, OnlyTheFirstLookUpOfAGlyphCountsAsAdded) {
    EXPECT_TRUE(renderer.takeGlyphsAdded());
    renderer.addCell({0, 0}, 'q', sf::Color::White);
    EXPECT_TRUE(renderer.takeGlyphsAdded());
    renderer.addCell({12, 0}, 'q', sf::Color::White);
    EXPECT_FALSE(renderer.takeGlyphsAdded());
}

TEST_F(BatchRendererTest, TheFontTextureChecksFindTexelsThatAreNotAsExpected) {
    struct Case {
        sf::Vector2u size;
        sf::Vector2u changed;
        sf::Color change;
        bool white;
    };
    const Case cases[] = {
        {{4, 4}, {3, 3}, sf::Color::Black, true},
        {{4, 4}, {1, 1}, sf::Color(255, 255, 255, 254), false},
        {{4, 4}, {0, 1}, sf::Color::Black, false},
        {{1, 1}, {0, 0}, sf::Color::White, false},
    };
    for (const Case& c : cases) {
        sf::Image texture(c.size, sf::Color::White);
        texture.setPixel(c.changed, c.change);
        EXPECT_EQ(BatchRenderer::hasWhiteTexels(texture), c.white) << c.changed.x << c.changed.y;
    }
    sf::Image picture({6, 6}, sf::Color::Transparent);
    EXPECT_TRUE(BatchRenderer::isClear(picture));
    picture.setPixel({5, 2}, sf::Color(0, 0, 0, 1));
    EXPECT_FALSE(BatchRenderer::isClear(picture));
}

} // namespace
