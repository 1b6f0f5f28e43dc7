#pragma once

#include "engine/Clock.h"
#include "engine/Color.h"
#include "engine/Manager.h"
#include "engine/Vector.h"

#include <SFML/Graphics/Image.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sf {
class Font;
class RectangleShape;
class RenderWindow;
class Text;
} // namespace sf

namespace mw {

class BatchRenderer;
class CellGeometry;
class CellRecorder;
class PremultipliedGlyphs;
class SystemClock;
struct Cell;

/// Where DisplayManager::drawString() puts a string relative to its position.
enum Justification {
    JUSTIFY_LEFT,   ///< The first character on the position.
    JUSTIFY_CENTER, ///< Centred on the position (n / 2 rounded up to its left).
    JUSTIFY_RIGHT,  ///< The last character just left of the position.
};

/// The font, read from the working directory unless a game names another
/// (GameConfig::fontFile).
inline const std::string FONT_FILE = "mw-font.ttf";
/// The window's title.
inline const std::string WINDOW_TITLE = "Marrowick";

/// Owns the window and the font, and draws the grid of 80 x 24 character cells
/// into it. Every cell is a black backing rectangle with one bold glyph over it.
class DisplayManager : public Manager {
public:
    /// The window's width in pixels.
    static constexpr int WINDOW_HORIZONTAL_PIXELS = 1024;
    /// The window's height in pixels.
    static constexpr int WINDOW_VERTICAL_PIXELS = 768;
    /// The grid's width in cells.
    static constexpr int WINDOW_HORIZONTAL_CELLS = 80;
    /// The grid's height in cells.
    static constexpr int WINDOW_VERTICAL_CELLS = 24;
    /// A font file larger than this is refused: the largest real fonts, whole
    /// CJK collections, stay well below it, and a file of hundreds of
    /// megabytes leaves too little memory for drawing.
    static constexpr long long FONT_FILE_MAX_BYTES = 64LL * 1024 * 1024;

    /// The one display manager; making it needs no window.
    static DisplayManager& getInstance();
    ~DisplayManager() override;

    /// Opens the window and loads the font; -1 when the font cannot be loaded:
    /// missing, not a regular file, larger than FONT_FILE_MAX_BYTES or not a
    /// font (the window stays open). Drawing is batched unless the font's texture
    /// does not allow it. A second call does nothing.
    /// A font that cannot be loaded prints "Couldn't load font." on standard
    /// output, and names the file it looked for on standard error and in the
    /// log ("DisplayManager::startUp() - Couldn't load font 'PATH'");
    /// success logs "DisplayManager::startUp() - DM was started up".
    /// On X11, -1 without a window when the X display cannot be opened (no
    /// DISPLAY, no server, no authorization), with a line on standard error and
    /// one in the log: the window library would end the process instead.
    int startUp() override;
    /// Closes the window and logs "DisplayManager::shutDown() - DM was shut down".
    void shutDown() override;

    /// Draws one character in the cell at the position, over a black backing.
    /// Logs nothing.
    /// -1 and nothing drawn when there is no window. A position that is not a
    /// finite number within an int's range draws nothing.
    int drawCh(Vector position, char ch, Color color);
    /// Draws the string on the position's row, one character per cell, placed
    /// by the justification. Returns -1, drawing nothing, without a window; 0
    /// otherwise (an empty string included). Logs nothing.
    int drawString(Vector position, const std::string& text, Justification justification,
                   Color color);
    /// Shows the frame and clears the surface for the next one. A frame that
    /// draws the same cells as the last one shown (characters, colours,
    /// positions, in the same order) is neither drawn nor shown: the window
    /// keeps its picture. It is still shown when REFRESH_MILLISECONDS have
    /// passed since the last frame shown, and after invalidate().
    void swapBuffers();
    /// The window's picture may have been spoiled (the window regained focus,
    /// was resized or exposed): the next frame is drawn and shown in full.
    void invalidate() { m_mustShow = true; }
    /// Frames shown since the program started; unchanged frames that were
    /// skipped do not count.
    long long getShownFrames() const { return m_shownFrames; }
    /// The time source of the refresh rule (nullptr restores the system
    /// clock); tests put a fake one in its place.
    void setClock(Clock* clock);

    /// An unchanged picture is shown again at least this often.
    static constexpr int REFRESH_MILLISECONDS = 500;

    /// The grid's width in cells, 80: also the world's width.
    int getHorizontal() const { return WINDOW_HORIZONTAL_CELLS; }
    /// The grid's height in cells, 24: also the world's height.
    int getVertical() const { return WINDOW_VERTICAL_CELLS; }
    /// The window's width in pixels.
    int getHorizontalPixels() const { return WINDOW_HORIZONTAL_PIXELS; }
    /// The window's height in pixels.
    int getVerticalPixels() const { return WINDOW_VERTICAL_PIXELS; }
    /// A cell's width in pixels (1024 / 80, rounded down: 12).
    int getCellWidth() const;
    /// A cell's height in pixels (768 / 24: 32).
    int getCellHeight() const;
    /// The window, or nullptr before startUp() and after shutDown().
    sf::RenderWindow* getWindow() const { return m_window.get(); }

    /// The picture drawn so far in this frame (empty without a window).
    sf::Image capture();

    /// The title of the window the next startUp() opens; WINDOW_TITLE by
    /// default. Without a desktop, standard error says "TITLE needs a desktop".
    void setWindowTitle(const std::string& title) { m_windowTitle = title; }
    /// The window's title.
    const std::string& getWindowTitle() const { return m_windowTitle; }
    /// The font file the next startUp() loads; FONT_FILE by default.
    void setFontFile(const std::string& fontFile) { m_fontFile = fontFile; }
    /// The font file.
    const std::string& getFontFile() const { return m_fontFile; }

    /// Batched drawing (the default) collects the frame's cells and draws them
    /// together, as a few runs of triangles; unbatched drawing draws each cell
    /// on its own. Both give the same picture; the unbatched path is the reference.
    void setBatched(bool batched);
    /// Whether drawing is batched.
    bool isBatched() const { return m_batched; }

    /// What the last shown frame held, as cells: a test reads the screen
    /// through it. Cells off the grid read as undrawn.
    Cell shownCell(int column, int row) const;

private:
    DisplayManager();

    void drawCellUnbatched(Vector position, char ch, Color color);
    /// Draws the cells of the frame not drawn yet, by the current path.
    void flush();

    const std::unique_ptr<const CellGeometry> m_geometry;
    std::string m_windowTitle = WINDOW_TITLE;
    std::string m_fontFile = FONT_FILE;
    std::unique_ptr<sf::RenderWindow> m_window;
    std::unique_ptr<sf::Font> m_font;
    /// The frame being made and the last one shown; both drawing paths draw
    /// from it and the refresh rule compares the two.
    std::unique_ptr<CellRecorder> m_cells;
    std::unique_ptr<BatchRenderer> m_renderer;
    bool m_batched = true;

    /// Reused for every cell so that drawing allocates nothing per character.
    std::unique_ptr<sf::RectangleShape> m_cellRectangle;
    std::unique_ptr<sf::Text> m_cellText;

    /// Refreshed when glyphs are added to the font's texture.
    std::unique_ptr<PremultipliedGlyphs> m_premultipliedGlyphs;
    /// The first m_flushedCells of the frame being made are drawn already.
    std::size_t m_flushedCells = 0;
    /// The next frame is shown even if unchanged: the window is new or was spoiled.
    bool m_mustShow = true;
    long long m_shownFrames = 0;
    std::int64_t m_lastShownAt = 0;
    std::unique_ptr<SystemClock> m_systemClock;
    Clock* m_clock;
    /// Set once something was drawn this frame that the batch does not know
    /// about (unbatched cells, or batched ones already flushed): backing
    /// rectangles are then drawn to cover it.
    bool m_surfaceTouched = false;
};

} // namespace mw
