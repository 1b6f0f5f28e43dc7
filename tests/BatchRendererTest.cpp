#include "engine/internal/BatchRenderer.h"

#include <gtest/gtest.h>

#include <functional>
#include <iomanip>
#include <sstream>
#include <vector>

using mw::BatchRenderer;

namespace {

// The same glyph for every character, taken from texels from (10, 0) on.
std::function<sf::Glyph(char)> glyphOf(sf::Vector2f offset, sf::Vector2f size) {
    return [=](char) {
        sf::Glyph glyph;
        glyph.bounds = sf::FloatRect(offset, size);
        glyph.textureRect = sf::IntRect({10, 0}, sf::Vector2i(size));
        return glyph;
    };
}

// Runs without a window or a font: every character has the same made-up
// glyph, 8 x 18 pixels, 1 right of the origin and 20 above the baseline,
// taken from texels (10, 0) to (18, 18).
class BatchRendererTest : public ::testing::Test {
protected:
    BatchRendererTest() : renderer(mw::CellGeometry(12, 32), {1024, 768}, sf::Color::Black) {
        renderer.setGlyphSource(glyphOf({1, -20}, {8, 18}));
    }

    // Each quad as "left,top widthxheight rgb texture-corner..opposite-corner", each run
    // of them as "sharp" or "smooth" and the count of its quads.
    static std::string quads(const BatchRenderer& renderer) {
        std::ostringstream text;
        const std::vector<sf::Vertex>& v = renderer.vertices();
        for (std::size_t first = 0; first + 5 < v.size(); first += 6) {
            const sf::Vector2f size = v[first + 5].position - v[first].position;
            text << v[first].position.x << ',' << v[first].position.y << ' ' << size.x << 'x'
                 << size.y << ' ' << std::hex << std::setw(6) << std::setfill('0')
                 << (v[first].color.toInteger() >> 8) << std::dec << ' ' << v[first].texCoords.x
                 << ',' << v[first].texCoords.y << ".." << v[first + 5].texCoords.x << ','
                 << v[first + 5].texCoords.y << "; ";
        }
        for (const BatchRenderer::Run& run : renderer.runs())
            text << (run.sharp ? "sharp " : "smooth ") << run.count / 6 << ' ';
        return text.str() + std::to_string(renderer.pendingCells());
    }

    BatchRenderer renderer;
};

TEST_F(BatchRendererTest, CellsBecomeQuadsOfBackingAndGlyphCutWhereLaterCellsCover) {
    const struct {
        std::vector<std::pair<sf::Vector2f, char>> cells; // the first red, the others blue
        bool coverEarlier;
        std::string quads;
    } cases[] = {
        {{{{12, 32}, 'A'}}, false, "13,36 8x18 ff0000 10,0..18,18; sharp 1 0"},
        {{{{24, 64}, ' '}, {{24, 64}, '\t'}, {{24, 64}, '\n'}}, false, "0"},
        {{{{24, 64}, ' '}}, true, "25.2,70.4 12x31 000000 1,1..1,1; smooth 1 0"},
        {{{{24, 64}, 'x'}},
         true,
         "25.2,70.4 12x31 000000 1,1..1,1; 25,68 8x18 ff0000 10,0..18,18; sharp 2 0"},
        // The second cell's backing starts at (7.2, 6.4), inside the first glyph (1, 4) .. (9, 22).
        {{{{0, 0}, 'A'}, {{6, 0}, 'B'}},
         false,
         "1,4 8x2.4 ff0000 10,0..18,2.4; 1,6.4 6.2x15.6 ff0000 10,2.4..16.2,18; 7,4 8x18 "
         "0000ff 10,0..18,18; sharp 3 0"},
    };
    for (const auto& c : cases) {
        for (const auto& [origin, ch] : c.cells)
            renderer.addCell(origin, ch,
                             &ch == &c.cells[0].second ? sf::Color::Red : sf::Color::Blue);
        renderer.build(c.coverEarlier);
        EXPECT_EQ(quads(renderer), c.quads);
        renderer.clear();
    }
    // 10 x 30 cells: backings start (1, 6) from the origin and are 29 high, exactly the rows
    // of this glyph, which starts one column further left: no empty pieces.
    BatchRenderer flush(mw::CellGeometry(10, 30), {800, 600}, sf::Color::Black);
    flush.setGlyphSource(glyphOf({0, -14}, {10, 29}));
    flush.addCell({0, 0}, 'A', sf::Color::Red);
    flush.addCell({0, 0}, 'B', sf::Color::Blue);
    flush.build(false);
    EXPECT_EQ(quads(flush), "0,6 1x29 ff0000 10,0..11,29; 0,6 10x29 0000ff 10,0..20,29; sharp 2 0");
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
        {{4, 4}, {1, 0}, sf::Color::Black, false},
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
