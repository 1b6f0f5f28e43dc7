#pragma once

#include "engine/internal/CellGeometry.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Glyph.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace mw {

/// Turns a frame's character cells into runs of triangles that give the same
/// picture as drawing each cell's backing rectangle and then its glyph, one
/// cell after the other. Instead of drawing a backing rectangle over earlier
/// glyphs, it cuts the rectangle out of them; backings are drawn only when the
/// surface already holds something the batch does not know about.
///
/// It draws nothing itself: the caller draws each run with the font's glyph
/// texture, or, for a sharp run, with an unsmoothed copy of it; or with
/// premultiplied copies of the texture and premultiplied blending, which give
/// the same pixels for colours whose channels are each 0 or 255.
class BatchRenderer {
public:
    // Facts about SFML's font textures that the batch relies on; the display
    // manager checks them when it starts, so an SFML that breaks them is
    // found out rather than drawn wrongly.
    /// The texels under this area are opaque white: backings are drawn with it.
    static constexpr sf::FloatRect WHITE_TEXELS{{1, 1}, {0, 0}};
    /// sf::Text draws nothing for these characters.
    static constexpr std::string_view BLANK_CHARACTERS = " \t\n";
    /// Whether a font texture's image is white where WHITE_TEXELS samples it.
    static bool hasWhiteTexels(const sf::Image& fontTexture);
    /// Whether a picture (the blank characters drawn by sf::Text) is wholly transparent.
    static bool isClear(const sf::Image& picture);

    /// A stretch of vertices drawn with one texture.
    struct Run {
        /// The run's first vertex.
        std::size_t first;
        /// The run's vertices.
        std::size_t count;
        /// Drawn from the unsmoothed texture: its glyphs lie on whole pixels.
        bool sharp;
    };

    /// The glyph of a character at the character size of the geometry.
    using GlyphSource = std::function<sf::Glyph(char)>;

    /// Backings are drawn in `background`, the colour the surface is cleared to.
    /// Cells are laid out by the geometry, in a window of this size in pixels.
    BatchRenderer(const CellGeometry& geometry, sf::Vector2f windowSize, sf::Color background);

    /// Forgets the glyphs looked up so far.
    void setGlyphSource(GlyphSource source);
    /// True once after a glyph was first looked up, which may have added it to
    /// the font's texture.
    bool takeGlyphsAdded();

    /// Queues one cell with its glyph origin at `origin`; a cell wholly
    /// outside the window is left out.
    /// The colour is the glyph's.
    void addCell(sf::Vector2f origin, char ch, sf::Color color);
    /// Cells queued since the last build().
    int pendingCells() const { return static_cast<int>(m_pending.size()); }
    /// Turns the queued cells into vertices and runs, and empties the queue.
    /// With coverEarlier, each cell's backing is drawn as well, to cover what
    /// the surface held before.
    void build(bool coverEarlier);
    /// Forgets the queued cells, the vertices and the runs.
    void clear();

    /// The vertices of the last build(), two triangles per quad.
    const std::vector<sf::Vertex>& vertices() const { return m_vertices; }
    /// The runs of the last build(), in drawing order.
    const std::vector<Run>& runs() const { return m_runs; }

private:
    /// A cell waiting to be drawn: its backing rectangle and its glyph quad.
    struct PendingCell {
        sf::FloatRect backing;
        sf::FloatRect quad;
        sf::FloatRect texture;
        sf::Color color;
        bool hasGlyph = false;
        /// The quad lies on whole pixels, one texel to a pixel.
        bool pixelAligned = false;
        int firstPiece = 0;
        int pieceCount = 0;
    };
    struct TileRange {
        int firstColumn;
        int lastColumn;
        int firstRow;
        int lastRow;
    };
    struct BackingLink {
        int cell;
        int next;
    };

    const sf::Glyph& glyph(char ch);
    void clipGlyphsToLaterBackings();
    void registerBacking(int cell);
    /// The cell-sized tiles an area touches, clamped to the window's.
    TileRange tilesUnder(const sf::FloatRect& area) const;
    void appendQuad(const sf::FloatRect& area, sf::Color color, const sf::FloatRect& texture,
                    bool sharp);

    CellGeometry m_geometry;
    sf::Vector2f m_windowSize;
    sf::Color m_background;
    int m_tileColumns;
    int m_tileRows;

    GlyphSource m_glyphSource;
    std::array<std::optional<sf::Glyph>, 256> m_glyphs;
    bool m_glyphsAdded = true;

    std::vector<PendingCell> m_pending;
    /// What is left of each glyph quad once the backings of later cells are
    /// cut out of it.
    std::vector<sf::FloatRect> m_pieces;
    /// The backings seen so far by clipGlyphsToLaterBackings(), listed per
    /// tile (a tile's list is a chain through m_backingLinks, starting at
    /// m_backingHeads).
    std::vector<int> m_backingHeads;
    std::vector<BackingLink> m_backingLinks;

    std::vector<sf::Vertex> m_vertices;
    std::vector<Run> m_runs;
};

} // namespace mw
