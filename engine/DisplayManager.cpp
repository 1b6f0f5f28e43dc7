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
    m_frameVertices.clear();
    m_glyphs.fill(std::nullopt);
    clearInk();
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
    m_frameVertices.clear();
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
    // Its ink is not tracked: later batched rectangles of this frame are drawn whole.
    m_inkEverywhere = true;
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
    if (!cached)
        cached = m_font.getGlyph(static_cast<unsigned char>(ch),
                                 static_cast<unsigned>(characterSize()), true);
    return *cached;
}

// Lays a cell out exactly as a rectangle shape and a one-character bold text
// would be: the rectangle samples the font texture's opaque white corner, the
// glyph quad is padded by one pixel and one texel on every side.
void DisplayManager::appendCell(float px, float py, char ch, Color color) {
    const float cellWidth = static_cast<float>(getCellWidth());
    const float cellHeight = static_cast<float>(getCellHeight());
    const float left = px + cellWidth / 10;
    const float top = py + cellHeight / 5;
    appendBacking(left, top, left + cellWidth, top + (cellHeight - 1));

    if (ch == ' ' || ch == '\t' || ch == '\n')
        return;
    const sf::Glyph& g = glyph(ch);
    const float padding = 1;
    const float baseline = static_cast<float>(characterSize());
    const float glyphLeft = px + (g.bounds.position.x - padding);
    const float glyphTop = py + (baseline + (g.bounds.position.y - padding));
    const float glyphRight = px + (g.bounds.position.x + g.bounds.size.x + padding);
    const float glyphBottom = py + (baseline + (g.bounds.position.y + g.bounds.size.y + padding));
    const float u1 = static_cast<float>(g.textureRect.position.x) - padding;
    const float v1 = static_cast<float>(g.textureRect.position.y) - padding;
    const float u2 = static_cast<float>(g.textureRect.position.x + g.textureRect.size.x) + padding;
    const float v2 = static_cast<float>(g.textureRect.position.y + g.textureRect.size.y) + padding;
    appendQuad(glyphLeft, glyphTop, glyphRight, glyphBottom, toSfColor(color), {u1, v1}, {u2, v2});
    markInk(glyphLeft, glyphTop, glyphRight, glyphBottom);
}

// Two triangles in the order a text's glyph quad uses.
void DisplayManager::appendQuad(float left, float top, float right, float bottom, sf::Color color,
                                sf::Vector2f texture1, sf::Vector2f texture2) {
    m_frameVertices.append({{left, top}, color, texture1});
    m_frameVertices.append({{right, top}, color, {texture2.x, texture1.y}});
    m_frameVertices.append({{left, bottom}, color, {texture1.x, texture2.y}});
    m_frameVertices.append({{left, bottom}, color, {texture1.x, texture2.y}});
    m_frameVertices.append({{right, top}, color, {texture2.x, texture1.y}});
    m_frameVertices.append({{right, bottom}, color, texture2});
}

namespace {

// The tiles of size `size` that the pixel span [from, to] touches, clamped to 0 .. count - 1.
std::pair<int, int> tileSpan(float from, float to, float size, int count) {
    const int first = std::clamp(static_cast<int>(std::floor(from / size)), 0, count - 1);
    const int last = std::clamp(static_cast<int>(std::floor(to / size)), 0, count - 1);
    return {first, last};
}

} // namespace

// The backing rectangle is drawn only over what earlier glyphs may have
// coloured, each part clipped to that ink (one pixel wider all round): the
// pixels it covers are the rectangle's own, so the picture is the same as
// with the whole rectangle.
void DisplayManager::appendBacking(float left, float top, float right, float bottom) {
    const sf::Vector2f white(1, 1);
    if (m_inkEverywhere) {
        appendQuad(left, top, right, bottom, m_background, white, white);
        return;
    }
    const float tileWidth = static_cast<float>(getCellWidth());
    const float tileHeight = static_cast<float>(getCellHeight());
    const auto [firstColumn, lastColumn] = tileSpan(left, right, tileWidth, INK_COLUMNS);
    const auto [firstRow, lastRow] = tileSpan(top, bottom, tileHeight, INK_ROWS);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const InkBox& ink = m_ink[row * INK_COLUMNS + column];
            if (ink.empty)
                continue;
            const float clippedLeft = std::max(left, ink.left - 1);
            const float clippedTop = std::max(top, ink.top - 1);
            const float clippedRight = std::min(right, ink.right + 1);
            const float clippedBottom = std::min(bottom, ink.bottom + 1);
            if (clippedLeft < clippedRight && clippedTop < clippedBottom)
                appendQuad(clippedLeft, clippedTop, clippedRight, clippedBottom, m_background,
                           white, white);
        }
    }
}

void DisplayManager::markInk(float left, float top, float right, float bottom) {
    const auto [firstColumn, lastColumn] =
        tileSpan(left, right, static_cast<float>(getCellWidth()), INK_COLUMNS);
    const auto [firstRow, lastRow] =
        tileSpan(top, bottom, static_cast<float>(getCellHeight()), INK_ROWS);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            InkBox& ink = m_ink[row * INK_COLUMNS + column];
            if (ink.empty) {
                ink = InkBox{left, top, right, bottom, false};
            } else {
                ink.left = std::min(ink.left, left);
                ink.top = std::min(ink.top, top);
                ink.right = std::max(ink.right, right);
                ink.bottom = std::max(ink.bottom, bottom);
            }
        }
    }
}

void DisplayManager::clearInk() {
    m_ink.fill(InkBox{});
    m_inkEverywhere = false;
}

void DisplayManager::flush() {
    if (m_window && m_frameVertices.getVertexCount() > 0) {
        sf::RenderStates states;
        states.texture = &m_font.getTexture(static_cast<unsigned>(characterSize()));
        m_window->draw(m_frameVertices, states);
    }
    m_frameVertices.clear();
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
    clearInk();
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
