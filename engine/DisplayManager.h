#pragma once

#include "engine/Color.h"
#include "engine/Manager.h"
#include "engine/Vector.h"

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sf {
class RenderWindow;
}

namespace mw {

enum Justification {
    JUSTIFY_LEFT,
    JUSTIFY_CENTER,
    JUSTIFY_RIGHT,
};

inline const std::string FONT_FILE = "mw-font.ttf";
inline const std::string WINDOW_TITLE = "Marrowick";

// What one character cell of the screen holds.
struct Cell {
    char ch = ' ';
    int color = COLOR_BLACK;
    bool drawn = false;

    bool operator==(const Cell&) const = default;
};

// Owns the window and draws the grid of 80 x 24 character cells into it. Every
// cell is a black backing rectangle with one bold glyph over it.
class DisplayManager : public Manager {
public:
    static constexpr int WINDOW_HORIZONTAL_PIXELS = 1024;
    static constexpr int WINDOW_VERTICAL_PIXELS = 768;
    static constexpr int WINDOW_HORIZONTAL_CELLS = 80;
    static constexpr int WINDOW_VERTICAL_CELLS = 24;

    static DisplayManager& getInstance();
    ~DisplayManager() override;

    // Opens the window and loads the font; -1 when the font cannot be loaded
    // (the window stays open). A second call does nothing.
    int startUp() override;
    void shutDown() override;

    // -1 and nothing drawn when there is no window.
    int drawCh(Vector position, char ch, Color color);
    int drawString(Vector position, const std::string& text, Justification justification,
                   Color color);
    // Shows the frame and clears the surface for the next one.
    void swapBuffers();

    int getHorizontal() const { return m_horizontalCells; }
    int getVertical() const { return m_verticalCells; }
    int getHorizontalPixels() const { return m_horizontalPixels; }
    int getVerticalPixels() const { return m_verticalPixels; }
    int getCellWidth() const { return m_horizontalPixels / m_horizontalCells; }
    int getCellHeight() const { return m_verticalPixels / m_verticalCells; }
    sf::RenderWindow* getWindow() const { return m_window.get(); }

    static sf::Color toSfColor(Color color);

    // The picture drawn so far in this frame (empty without a window).
    sf::Image capture();

    // Batched drawing (the default) collects the frame's cells and draws them
    // together, as a few runs of triangles; unbatched drawing draws each cell
    // on its own. Both give the same picture; the unbatched path is the reference.
    void setBatched(bool batched);
    bool isBatched() const { return m_batched; }

    // What was drawn since the last swapBuffers(), and what the last shown
    // frame held, as cells. Cells off the grid read as undrawn.
    Cell drawnCell(int column, int row) const;
    Cell shownCell(int column, int row) const;
    // The shown frame as text, one line per row (undrawn cells as spaces).
    std::string shownText() const;

private:
    DisplayManager();
    static int cellIndex(int column, int row);

    std::unique_ptr<sf::RenderWindow> m_window;
    sf::Font m_font;
    int m_horizontalPixels = WINDOW_HORIZONTAL_PIXELS;
    int m_verticalPixels = WINDOW_VERTICAL_PIXELS;
    int m_horizontalCells = WINDOW_HORIZONTAL_CELLS;
    int m_verticalCells = WINDOW_VERTICAL_CELLS;
    sf::Color m_background = sf::Color::Black;

    void drawCellUnbatched(float px, float py, char ch, Color color);
    void appendCell(float px, float py, char ch, Color color);
    const sf::Glyph& glyph(char ch);
    // The glyphs' size in points: twice the smaller side of a cell.
    int characterSize() const;
    // Draws the batched cells collected so far.
    void flush();
    void clipGlyphsToLaterBackings();
    void registerBacking(int cell);
    struct TileRange {
        int firstColumn;
        int lastColumn;
        int firstRow;
        int lastRow;
    };
    // The tiles an area touches, clamped to the window's.
    TileRange tilesUnder(const sf::FloatRect& area) const;
    void appendQuad(const sf::FloatRect& area, sf::Color color, const sf::FloatRect& texture,
                    bool sharp);

    // Reused for every cell so that drawing allocates nothing per character.
    std::unique_ptr<sf::RectangleShape> m_cellRectangle;
    std::unique_ptr<sf::Text> m_cellText;

    bool m_batched = true;
    std::array<std::optional<sf::Glyph>, 256> m_glyphs;

    // A cell waiting to be drawn: its backing rectangle and its glyph quad.
    struct PendingCell {
        sf::FloatRect backing;
        sf::FloatRect quad;
        sf::FloatRect texture;
        sf::Color color;
        bool hasGlyph = false;
        // The quad lies on whole pixels, one texel to a pixel.
        bool pixelAligned = false;
        int firstPiece = 0;
        int pieceCount = 0;
    };
    std::vector<PendingCell> m_pending;
    // What is left of each glyph quad once the backing rectangles of later
    // cells are cut out of it.
    std::vector<sf::FloatRect> m_pieces;

    // The backing rectangles seen so far by clipGlyphsToLaterBackings(),
    // listed per cell-sized tile of the window (a tile's list is a chain
    // through m_backingLinks, starting at m_backingHeads).
    static constexpr int CELL_PIXELS_WIDE = WINDOW_HORIZONTAL_PIXELS / WINDOW_HORIZONTAL_CELLS;
    static constexpr int TILE_COLUMNS =
        (WINDOW_HORIZONTAL_PIXELS + CELL_PIXELS_WIDE - 1) / CELL_PIXELS_WIDE;
    static constexpr int TILE_ROWS = WINDOW_VERTICAL_CELLS;
    struct BackingLink {
        int cell;
        int next;
    };
    std::array<int, TILE_COLUMNS * TILE_ROWS> m_backingHeads{};
    std::vector<BackingLink> m_backingLinks;

    // The frame's triangles, drawn in runs that share a texture.
    struct Run {
        std::size_t first;
        std::size_t count;
        bool sharp;
    };
    std::vector<sf::Vertex> m_vertices;
    std::vector<Run> m_runs;
    // A copy of the font's glyph texture without smoothing, for glyphs that
    // lie on whole pixels: they sample texel centres, where smoothing changes
    // nothing, and unsmoothed sampling is cheaper. Refreshed when glyphs are
    // added. Made only when first drawn with: a texture needs a display.
    std::optional<sf::Texture> m_sharpGlyphs;
    bool m_sharpGlyphsStale = true;
    // Set once something was drawn this frame that the pending cells do not
    // know about (unbatched cells, or batched ones already flushed): backing
    // rectangles are then drawn to cover it.
    bool m_surfaceTouched = false;

    using Grid = std::array<Cell, WINDOW_HORIZONTAL_CELLS * WINDOW_VERTICAL_CELLS>;
    Grid m_drawn{};
    Grid m_shown{};
};

} // namespace mw
