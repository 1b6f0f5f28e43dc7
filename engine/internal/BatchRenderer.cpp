#include "engine/internal/BatchRenderer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mw {

namespace {

// The tiles of size `size` that the pixel span [from, to] touches, clamped to 0 .. count - 1.
std::pair<int, int> tileSpan(float from, float to, float size, int count) {
    const int first = std::clamp(static_cast<int>(std::floor(from / size)), 0, count - 1);
    const int last = std::clamp(static_cast<int>(std::floor(to / size)), 0, count - 1);
    return {first, last};
}

bool overlap(const sf::FloatRect& a, const sf::FloatRect& b) {
    return a.position.x < b.position.x + b.size.x && b.position.x < a.position.x + a.size.x &&
           a.position.y < b.position.y + b.size.y && b.position.y < a.position.y + a.size.y;
}

bool isBlank(char ch) {
    return BatchRenderer::BLANK_CHARACTERS.find(ch) != std::string_view::npos;
}

// Appends to `pieces` the parts of `area` outside `hole`: the bands above and
// below it, then the parts left and right of it. Their edges are the hole's
// own coordinates, so they and the hole share out the pixels between them
// exactly as the rasteriser would.
void appendOutside(const sf::FloatRect& area, const sf::FloatRect& hole,
                   std::vector<sf::FloatRect>& pieces) {
    const float left = area.position.x;
    const float top = area.position.y;
    const float right = left + area.size.x;
    const float bottom = top + area.size.y;
    const float holeLeft = hole.position.x;
    const float holeTop = hole.position.y;
    const float holeRight = holeLeft + hole.size.x;
    const float holeBottom = holeTop + hole.size.y;
    const auto add = [&](float l, float t, float r, float b) {
        pieces.push_back(sf::FloatRect({l, t}, {r - l, b - t}));
    };
    if (holeTop > top)
        add(left, top, right, holeTop);
    if (holeBottom < bottom)
        add(left, holeBottom, right, bottom);
    const float middleTop = std::max(top, holeTop);
    const float middleBottom = std::min(bottom, holeBottom);
    if (holeLeft > left)
        add(left, middleTop, holeLeft, middleBottom);
    if (holeRight < right)
        add(holeRight, middleTop, right, middleBottom);
}

// Cuts `hole` out of the pieces from `first` on. The pieces it adds lie
// outside the hole, so the walk from the back never needs to look at them.
void cutHole(std::vector<sf::FloatRect>& pieces, int first, const sf::FloatRect& hole) {
    for (int piece = static_cast<int>(pieces.size()) - 1; piece >= first; --piece) {
        const sf::FloatRect area = pieces[piece];
        if (!overlap(area, hole))
            continue;
        pieces[piece] = pieces.back();
        pieces.pop_back();
        appendOutside(area, hole, pieces);
    }
}

// Whether a pixel's centre lies in [from, to], or within the rasteriser's
// rounding of it: pixels are lit by their centres, so a span without one
// lights nothing.
bool spansPixelCentre(float from, float to) {
    constexpr float ROUNDING = 1.0f / 64;
    return std::floor(to + ROUNDING - 0.5f) >= std::ceil(from - ROUNDING - 0.5f);
}

// Whether drawing the area can light a pixel at all.
bool coversPixelCentre(const sf::FloatRect& area) {
    return spansPixelCentre(area.position.x, area.position.x + area.size.x) &&
           spansPixelCentre(area.position.y, area.position.y + area.size.y);
}

int tilesAcross(float pixels, int tileSize) {
    return std::max(1, static_cast<int>(std::ceil(pixels / static_cast<float>(tileSize))));
}

} // namespace

BatchRenderer::BatchRenderer(const CellGeometry& geometry, sf::Vector2f windowSize,
                             sf::Color background)
    : m_geometry(geometry), m_windowSize(windowSize), m_background(background),
      m_tileColumns(tilesAcross(windowSize.x, geometry.cellWidth())),
      m_tileRows(tilesAcross(windowSize.y, geometry.cellHeight())),
      m_backingHeads(static_cast<std::size_t>(m_tileColumns * m_tileRows), -1) {}

bool BatchRenderer::hasWhiteTexels(const sf::Image& fontTexture) {
    // Smoothed sampling at the area's corner reads the texels on either side of it.
    const auto right = static_cast<unsigned>(WHITE_TEXELS.position.x);
    const auto bottom = static_cast<unsigned>(WHITE_TEXELS.position.y);
    if (fontTexture.getSize().x <= right || fontTexture.getSize().y <= bottom)
        return false;
    for (unsigned y = 0; y <= bottom; ++y)
        for (unsigned x = 0; x <= right; ++x)
            if (fontTexture.getPixel({x, y}) != sf::Color::White)
                return false;
    return true;
}

bool BatchRenderer::isClear(const sf::Image& picture) {
    for (unsigned y = 0; y < picture.getSize().y; ++y)
        for (unsigned x = 0; x < picture.getSize().x; ++x)
            if (picture.getPixel({x, y}).a != 0)
                return false;
    return true;
}

void BatchRenderer::setGlyphSource(GlyphSource source) {
    m_glyphSource = std::move(source);
    m_glyphs.fill(std::nullopt);
    m_glyphsAdded = true;
}

bool BatchRenderer::takeGlyphsAdded() {
    return std::exchange(m_glyphsAdded, false);
}

const sf::Glyph& BatchRenderer::glyph(char ch) {
    std::optional<sf::Glyph>& cached = m_glyphs[static_cast<unsigned char>(ch)];
    if (!cached) {
        m_glyphsAdded = true;
        cached = m_glyphSource ? m_glyphSource(ch) : sf::Glyph{};
    }
    return *cached;
}

// Lays a cell out exactly as a rectangle shape and a one-character bold text
// would be. The text's glyph quad is padded by one pixel and one texel on
// every side, which only matters where the quad falls between pixels.
void BatchRenderer::addCell(sf::Vector2f origin, char ch, sf::Color color) {
    PendingCell cell;
    cell.backing = m_geometry.backing(origin);
    const sf::Glyph& g = glyph(ch);
    // Blanks, and every character while no font is loaded, have no glyph to draw.
    if (!isBlank(ch) && g.bounds.size.x > 0 && g.bounds.size.y > 0) {
        const float baseline = static_cast<float>(m_geometry.characterSize());
        cell.hasGlyph = true;
        cell.color = color;
        cell.quad = sf::FloatRect(
            {origin.x + g.bounds.position.x, origin.y + baseline + g.bounds.position.y},
            g.bounds.size);
        cell.texture =
            sf::FloatRect(sf::Vector2f(g.textureRect.position), sf::Vector2f(g.textureRect.size));
        const auto whole = [](float value) { return std::floor(value) == value; };
        cell.pixelAligned = whole(cell.quad.position.x) && whole(cell.quad.position.y) &&
                            cell.quad.size == cell.texture.size;
        if (!cell.pixelAligned) {
            const float padding = 1;
            cell.quad.position -= {padding, padding};
            cell.quad.size += {2 * padding, 2 * padding};
            cell.texture.position -= {padding, padding};
            cell.texture.size += {2 * padding, 2 * padding};
        }
    }
    // A cell that cannot touch a pixel of the window is dropped here, before
    // the tile lists, where cells off the window would all pile into the edge
    // tiles. Positions that are not numbers fail every comparison and go too.
    const sf::FloatRect window({0, 0}, m_windowSize);
    if (!overlap(cell.backing, window) && !(cell.hasGlyph && overlap(cell.quad, window)))
        return;
    m_pending.push_back(cell);
}

BatchRenderer::TileRange BatchRenderer::tilesUnder(const sf::FloatRect& area) const {
    const auto [firstColumn, lastColumn] =
        tileSpan(area.position.x, area.position.x + area.size.x,
                 static_cast<float>(m_geometry.cellWidth()), m_tileColumns);
    const auto [firstRow, lastRow] =
        tileSpan(area.position.y, area.position.y + area.size.y,
                 static_cast<float>(m_geometry.cellHeight()), m_tileRows);
    return {firstColumn, lastColumn, firstRow, lastRow};
}

void BatchRenderer::registerBacking(int cell) {
    const TileRange tiles = tilesUnder(m_pending[cell].backing);
    for (int row = tiles.firstRow; row <= tiles.lastRow; ++row) {
        for (int column = tiles.firstColumn; column <= tiles.lastColumn; ++column) {
            int& head = m_backingHeads[row * m_tileColumns + column];
            m_backingLinks.push_back({cell, head});
            head = static_cast<int>(m_backingLinks.size()) - 1;
        }
    }
}

// A backing rectangle covers whatever earlier glyphs put under it, leaving
// the background colour the surface was cleared to. Cutting it out of those
// glyphs instead leaves the same pixels without drawing the rectangle.
// Working from the last cell back, each glyph is cut by the backings of the
// cells after it.
void BatchRenderer::clipGlyphsToLaterBackings() {
    std::fill(m_backingHeads.begin(), m_backingHeads.end(), -1);
    m_backingLinks.clear();
    m_pieces.clear();
    for (int cell = static_cast<int>(m_pending.size()) - 1; cell >= 0; --cell) {
        PendingCell& pending = m_pending[cell];
        pending.firstPiece = static_cast<int>(m_pieces.size());
        if (pending.hasGlyph) {
            m_pieces.push_back(pending.quad);
            const TileRange tiles = tilesUnder(pending.quad);
            for (int row = tiles.firstRow; row <= tiles.lastRow; ++row)
                for (int column = tiles.firstColumn; column <= tiles.lastColumn; ++column)
                    for (int link = m_backingHeads[row * m_tileColumns + column]; link >= 0;
                         link = m_backingLinks[link].next)
                        cutHole(m_pieces, pending.firstPiece,
                                m_pending[m_backingLinks[link].cell].backing);
        }
        pending.pieceCount = static_cast<int>(m_pieces.size()) - pending.firstPiece;
        registerBacking(cell);
    }
}

// Two triangles in the order a text's glyph quad uses, added to the run of
// their texture.
void BatchRenderer::appendQuad(const sf::FloatRect& area, sf::Color color,
                               const sf::FloatRect& texture, bool sharp) {
    if (m_runs.empty() || m_runs.back().sharp != sharp)
        m_runs.push_back({m_vertices.size(), 0, sharp});
    const sf::Vector2f topLeft = area.position;
    const sf::Vector2f bottomRight = area.position + area.size;
    const sf::Vector2f texture1 = texture.position;
    const sf::Vector2f texture2 = texture.position + texture.size;
    m_vertices.push_back({topLeft, color, texture1});
    m_vertices.push_back({{bottomRight.x, topLeft.y}, color, {texture2.x, texture1.y}});
    m_vertices.push_back({{topLeft.x, bottomRight.y}, color, {texture1.x, texture2.y}});
    m_vertices.push_back({{topLeft.x, bottomRight.y}, color, {texture1.x, texture2.y}});
    m_vertices.push_back({{bottomRight.x, topLeft.y}, color, {texture2.x, texture1.y}});
    m_vertices.push_back({bottomRight, color, texture2});
    m_runs.back().count += 6;
}

void BatchRenderer::build(bool coverEarlier) {
    clipGlyphsToLaterBackings();
    m_vertices.clear();
    m_runs.clear();
    for (const PendingCell& cell : m_pending) {
        if (coverEarlier)
            appendQuad(cell.backing, m_background, WHITE_TEXELS,
                       m_runs.empty() ? cell.pixelAligned : m_runs.back().sharp);
        if (cell.pieceCount == 0)
            continue;
        const sf::Vector2f texelsPerPixel = cell.texture.size.componentWiseDiv(cell.quad.size);
        for (int i = 0; i < cell.pieceCount; ++i) {
            const sf::FloatRect& piece = m_pieces[cell.firstPiece + i];
            // A sliver between pixel centres costs a quad and lights nothing.
            if (!coversPixelCentre(piece))
                continue;
            const sf::FloatRect texture(
                cell.texture.position +
                    (piece.position - cell.quad.position).componentWiseMul(texelsPerPixel),
                piece.size.componentWiseMul(texelsPerPixel));
            appendQuad(piece, cell.color, texture, cell.pixelAligned);
        }
    }
    m_pending.clear();
}

void BatchRenderer::clear() {
    m_pending.clear();
}

} // namespace mw
