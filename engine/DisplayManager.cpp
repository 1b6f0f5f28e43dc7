#include "engine/DisplayManager.h"

#include "engine/LogManager.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace mw {

DisplayManager::DisplayManager() {
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp() {
    if (m_window)
        return 0;
    m_window = std::make_unique<sf::RenderWindow>(
        sf::VideoMode(
            {static_cast<unsigned>(m_horizontalPixels), static_cast<unsigned>(m_verticalPixels)},
            32),
        WINDOW_TITLE, sf::Style::Titlebar | sf::Style::Close, sf::State::Windowed);
    m_window->setMouseCursorVisible(false);
    m_window->setVerticalSyncEnabled(true);
    m_window->clear(m_background);
    m_drawn.fill(Cell{});
    m_shown.fill(Cell{});
    m_pending.clear();
    m_glyphs.fill(std::nullopt);
    m_sharpGlyphsStale = true;
    m_surfaceTouched = false;
    if (!m_font.openFromFile(FONT_FILE)) {
        std::printf("Couldn't load font.\n");
        std::fflush(stdout);
        return -1;
    }
    LogManager::getInstance().writeLog("DisplayManager::startUp() - DM was started up");
    setStarted(true);
    return 0;
}

void DisplayManager::shutDown() {
    m_pending.clear();
    m_sharpGlyphs.reset();
    if (m_window) {
        m_window->close();
        m_window.reset();
    }
    setStarted(false);
    LogManager::getInstance().writeLog("DisplayManager::shutDown() - DM was shut down");
}

sf::Color DisplayManager::toSfColor(Color color) {
    switch (color) {
    case COLOR_BLACK:
        return sf::Color(0, 0, 0);
    case COLOR_RED:
        return sf::Color(255, 0, 0);
    case COLOR_GREEN:
        return sf::Color(0, 255, 0);
    case COLOR_YELLOW:
        return sf::Color(255, 255, 0);
    case COLOR_BLUE:
        return sf::Color(0, 0, 255);
    case COLOR_MAGENTA:
        return sf::Color(255, 0, 255);
    case COLOR_CYAN:
        return sf::Color(0, 255, 255);
    case COLOR_WHITE:
    default:
        return sf::Color(255, 255, 255);
    }
}

int DisplayManager::cellIndex(int column, int row) {
    if (column < 0 || column >= WINDOW_HORIZONTAL_CELLS || row < 0 || row >= WINDOW_VERTICAL_CELLS)
        return -1;
    return row * WINDOW_HORIZONTAL_CELLS + column;
}

int DisplayManager::characterSize() const {
    return static_cast<int>(2 * std::min(getCellWidth(), getCellHeight()));
}

int DisplayManager::drawCh(Vector position, char ch, Color color) {
    if (!m_window)
        return -1;
    const float px = static_cast<float>(getCellWidth()) * position.getX();
    const float py = static_cast<float>(getCellHeight()) * position.getY();
    if (m_batched)
        appendCell(px, py, ch, color);
    else
        drawCellUnbatched(px, py, ch, color);

    const int index = cellIndex(static_cast<int>(std::floor(position.getX())),
                                static_cast<int>(std::floor(position.getY())));
    if (index >= 0)
        m_drawn[index] = Cell{ch, color, true};
    return 0;
}

void DisplayManager::drawCellUnbatched(float px, float py, char ch, Color color) {
    m_surfaceTouched = true;
    const float cellWidth = static_cast<float>(getCellWidth());
    const float cellHeight = static_cast<float>(getCellHeight());
    if (!m_cellRectangle) {
        m_cellRectangle = std::make_unique<sf::RectangleShape>();
        m_cellText = std::make_unique<sf::Text>(m_font);
        m_cellText->setStyle(sf::Text::Bold);
    }
    m_cellRectangle->setSize({cellWidth, cellHeight - 1});
    m_cellRectangle->setFillColor(m_background);
    m_cellRectangle->setPosition({px + cellWidth / 10, py + cellHeight / 5});
    m_window->draw(*m_cellRectangle);

    m_cellText->setString(sf::String(static_cast<char32_t>(static_cast<unsigned char>(ch))));
    m_cellText->setCharacterSize(static_cast<unsigned>(characterSize()));
    m_cellText->setFillColor(toSfColor(color));
    m_cellText->setPosition({px, py});
    m_window->draw(*m_cellText);
}

const sf::Glyph& DisplayManager::glyph(char ch) {
    std::optional<sf::Glyph>& cached = m_glyphs[static_cast<unsigned char>(ch)];
    if (!cached) {
        m_sharpGlyphsStale = true;
        cached = m_font.getGlyph(static_cast<unsigned char>(ch),
                                 static_cast<unsigned>(characterSize()), true);
    }
    return *cached;
}

// Lays a cell out exactly as a rectangle shape and a one-character bold text
// would be. The text's glyph quad is padded by one pixel and one texel on
// every side, which only matters where the quad falls between pixels.
void DisplayManager::appendCell(float px, float py, char ch, Color color) {
    const float cellWidth = static_cast<float>(getCellWidth());
    const float cellHeight = static_cast<float>(getCellHeight());
    PendingCell cell;
    cell.backing =
        sf::FloatRect({px + cellWidth / 10, py + cellHeight / 5}, {cellWidth, cellHeight - 1});
    const sf::Glyph& g = glyph(ch);
    // Blanks, and every character while no font is loaded, have no glyph to draw.
    if (ch != ' ' && ch != '\t' && ch != '\n' && g.bounds.size.x > 0 && g.bounds.size.y > 0) {
        const float baseline = static_cast<float>(characterSize());
        cell.hasGlyph = true;
        cell.color = toSfColor(color);
        cell.quad = sf::FloatRect({px + g.bounds.position.x, py + baseline + g.bounds.position.y},
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
    m_pending.push_back(cell);
}

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

} // namespace

DisplayManager::TileRange DisplayManager::tilesUnder(const sf::FloatRect& area) const {
    const auto [firstColumn, lastColumn] =
        tileSpan(area.position.x, area.position.x + area.size.x, static_cast<float>(getCellWidth()),
                 TILE_COLUMNS);
    const auto [firstRow, lastRow] = tileSpan(area.position.y, area.position.y + area.size.y,
                                              static_cast<float>(getCellHeight()), TILE_ROWS);
    return {firstColumn, lastColumn, firstRow, lastRow};
}

void DisplayManager::registerBacking(int cell) {
    const TileRange tiles = tilesUnder(m_pending[cell].backing);
    for (int row = tiles.firstRow; row <= tiles.lastRow; ++row) {
        for (int column = tiles.firstColumn; column <= tiles.lastColumn; ++column) {
            int& head = m_backingHeads[row * TILE_COLUMNS + column];
            m_backingLinks.push_back({cell, head});
            head = static_cast<int>(m_backingLinks.size()) - 1;
        }
    }
}

namespace {

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

} // namespace

// A backing rectangle covers whatever earlier glyphs put under it, leaving
// the background colour the surface was cleared to. Cutting it out of those
// glyphs instead leaves the same pixels without drawing the rectangle.
// Working from the last cell back, each glyph is cut by the backings of the
// cells after it.
void DisplayManager::clipGlyphsToLaterBackings() {
    m_backingHeads.fill(-1);
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
                    for (int link = m_backingHeads[row * TILE_COLUMNS + column]; link >= 0;
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
void DisplayManager::appendQuad(const sf::FloatRect& area, sf::Color color,
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

void DisplayManager::flush() {
    if (!m_window || m_pending.empty()) {
        m_pending.clear();
        return;
    }
    const sf::Texture& glyphs = m_font.getTexture(static_cast<unsigned>(characterSize()));
    if (m_sharpGlyphsStale || !m_sharpGlyphs) {
        m_sharpGlyphs = glyphs;
        m_sharpGlyphs->setSmooth(false);
        m_sharpGlyphsStale = false;
    }
    clipGlyphsToLaterBackings();
    m_vertices.clear();
    m_runs.clear();
    // The texture's top left texels are opaque white.
    const sf::FloatRect white({1, 1}, {0, 0});
    for (const PendingCell& cell : m_pending) {
        if (m_surfaceTouched)
            appendQuad(cell.backing, m_background, white,
                       m_runs.empty() ? cell.pixelAligned : m_runs.back().sharp);
        if (cell.pieceCount == 0)
            continue;
        const sf::Vector2f texelsPerPixel = cell.texture.size.componentWiseDiv(cell.quad.size);
        for (int i = 0; i < cell.pieceCount; ++i) {
            const sf::FloatRect& piece = m_pieces[cell.firstPiece + i];
            const sf::FloatRect texture(
                cell.texture.position +
                    (piece.position - cell.quad.position).componentWiseMul(texelsPerPixel),
                piece.size.componentWiseMul(texelsPerPixel));
            appendQuad(piece, cell.color, texture, cell.pixelAligned);
        }
    }
    for (const Run& run : m_runs) {
        sf::RenderStates states;
        states.texture = run.sharp ? &*m_sharpGlyphs : &glyphs;
        m_window->draw(m_vertices.data() + run.first, run.count, sf::PrimitiveType::Triangles,
                       states);
    }
    m_pending.clear();
    m_surfaceTouched = true;
}

void DisplayManager::setBatched(bool batched) {
    flush();
    m_batched = batched;
}

int DisplayManager::drawString(Vector position, const std::string& text,
                               Justification justification, Color color) {
    if (!m_window)
        return -1;
    const int length = static_cast<int>(text.size());
    float first = position.getX();
    if (justification == JUSTIFY_CENTER)
        first -= static_cast<float>((length + 1) / 2);
    else if (justification == JUSTIFY_RIGHT)
        first -= static_cast<float>(length);
    for (int i = 0; i < length; ++i)
        drawCh(Vector(first + i, position.getY()), text[i], color);
    return 0;
}

sf::Image DisplayManager::capture() {
    if (!m_window)
        return {};
    flush();
    sf::Texture texture(m_window->getSize());
    texture.update(*m_window);
    return texture.copyToImage();
}

void DisplayManager::swapBuffers() {
    if (!m_window)
        return;
    flush();
    m_window->display();
    m_window->clear(m_background);
    m_surfaceTouched = false;
    m_shown = m_drawn;
    m_drawn.fill(Cell{});
}

Cell DisplayManager::drawnCell(int column, int row) const {
    const int index = cellIndex(column, row);
    return index < 0 ? Cell{} : m_drawn[index];
}

Cell DisplayManager::shownCell(int column, int row) const {
    const int index = cellIndex(column, row);
    return index < 0 ? Cell{} : m_shown[index];
}

std::string DisplayManager::shownText() const {
    std::string text;
    for (int row = 0; row < WINDOW_VERTICAL_CELLS; ++row) {
        for (int column = 0; column < WINDOW_HORIZONTAL_CELLS; ++column) {
            const Cell cell = m_shown[cellIndex(column, row)];
            text += cell.drawn ? cell.ch : ' ';
        }
        text += '\n';
    }
    return text;
}

} // namespace mw
