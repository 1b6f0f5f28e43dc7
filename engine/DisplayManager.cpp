#include "engine/DisplayManager.h"

#include "engine/LogManager.h"
#include "engine/internal/BatchRenderer.h"
#include "engine/internal/CellGeometry.h"
#include "engine/internal/CellRecorder.h"
#include "engine/internal/DisplayProbe.h"
#include "engine/internal/FontCheck.h"
#include "engine/internal/PremultipliedGlyphs.h"
#include "engine/internal/SystemClock.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace mw {

namespace {

const sf::Color BACKGROUND = sf::Color::Black;

// Finite and within an int's range once floored, so that nothing downstream
// converts an unrepresentable float to an int.
bool isDrawable(float coordinate) {
    return std::isfinite(coordinate) && coordinate >= -2147483648.0f && coordinate < 2147483648.0f;
}

sf::Color toSfColor(Color color) {
    // In the order of Color; anything else is white.
    static const sf::Color COLORS[] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                       {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    return color >= COLOR_BLACK && color <= COLOR_WHITE ? COLORS[color] : COLORS[COLOR_WHITE];
}

} // namespace

DisplayManager::DisplayManager()
    : m_geometry(
          std::make_unique<const CellGeometry>(WINDOW_HORIZONTAL_PIXELS / WINDOW_HORIZONTAL_CELLS,
                                               WINDOW_VERTICAL_PIXELS / WINDOW_VERTICAL_CELLS)),
      m_font(std::make_unique<sf::Font>()),
      m_cells(std::make_unique<CellRecorder>(WINDOW_HORIZONTAL_CELLS, WINDOW_VERTICAL_CELLS)),
      m_renderer(std::make_unique<BatchRenderer>(
          *m_geometry, sf::Vector2f(WINDOW_HORIZONTAL_PIXELS, WINDOW_VERTICAL_PIXELS), BACKGROUND)),
      m_premultipliedGlyphs(std::make_unique<PremultipliedGlyphs>()),
      m_systemClock(std::make_unique<SystemClock>()), m_clock(m_systemClock.get()) {
    setType("DisplayManager");
}

DisplayManager::~DisplayManager() = default;

void DisplayManager::setClock(Clock* clock) {
    m_clock = clock != nullptr ? clock : m_systemClock.get();
}

int DisplayManager::getCellWidth() const {
    return m_geometry->cellWidth();
}

int DisplayManager::getCellHeight() const {
    return m_geometry->cellHeight();
}

Cell DisplayManager::shownCell(int column, int row) const {
    return m_cells->shown(column, row);
}

DisplayManager& DisplayManager::getInstance() {
    static DisplayManager instance;
    return instance;
}

int DisplayManager::startUp() {
    if (m_window)
        return 0;
    // Held until the window has its own connection.
    const DisplayProbe probe(m_windowTitle);
    if (!probe.isConnected())
        return -1;
    m_window = std::make_unique<sf::RenderWindow>(
        sf::VideoMode({WINDOW_HORIZONTAL_PIXELS, WINDOW_VERTICAL_PIXELS}, 32), m_windowTitle,
        sf::Style::Titlebar | sf::Style::Close, sf::State::Windowed);
    m_window->setMouseCursorVisible(false);
    m_window->setVerticalSyncEnabled(true);
    m_window->clear(BACKGROUND);
    m_cells->clear();
    m_renderer->clear();
    m_flushedCells = 0;
    m_mustShow = true;
    m_renderer->setGlyphSource([this](char ch) {
        return m_font->getGlyph(static_cast<unsigned char>(ch), m_geometry->characterSize(), true);
    });
    m_surfaceTouched = false;
    if (!FontCheck::isUsableFile(m_fontFile, FONT_FILE_MAX_BYTES) ||
        !m_font->openFromFile(m_fontFile)) {
        std::printf("Couldn't load font.\n");
        std::fflush(stdout);
        std::error_code ignored;
        const std::string path = std::filesystem::absolute(m_fontFile, ignored).string();
        std::fprintf(stderr, "The font was looked for in '%s'.\n", path.c_str());
        LogManager::getInstance().writeLog("DisplayManager::startUp() - Couldn't load font '%s'",
                                           path.c_str());
        return -1;
    }
    m_batched = FontCheck::fitsBatching(*m_font, m_geometry->characterSize());
    LogManager::getInstance().writeLog("DisplayManager::startUp() - DM was started up");
    setStarted(true);
    return 0;
}

void DisplayManager::shutDown() {
    m_renderer->clear();
    m_cells->clearFrame();
    m_flushedCells = 0;
    m_premultipliedGlyphs->clear();
    if (m_window) {
        m_window->close();
        m_window.reset();
    }
    setStarted(false);
    LogManager::getInstance().writeLog("DisplayManager::shutDown() - DM was shut down");
}

int DisplayManager::drawCh(Vector position, char ch, Color color) {
    if (!m_window)
        return -1;
    if (!isDrawable(position.getX()) || !isDrawable(position.getY()))
        return 0;
    m_cells->record(position, ch, color);
    return 0;
}

void DisplayManager::drawCellUnbatched(Vector position, char ch, Color color) {
    m_surfaceTouched = true;
    if (!m_cellRectangle) {
        m_cellRectangle = std::make_unique<sf::RectangleShape>();
        m_cellText = std::make_unique<sf::Text>(*m_font);
        m_cellText->setStyle(sf::Text::Bold);
    }
    const sf::Vector2f origin = m_geometry->glyphOrigin(position);
    const sf::FloatRect backing = m_geometry->backing(origin);
    m_cellRectangle->setSize(backing.size);
    m_cellRectangle->setFillColor(BACKGROUND);
    m_cellRectangle->setPosition(backing.position);
    m_window->draw(*m_cellRectangle);

    m_cellText->setString(sf::String(static_cast<char32_t>(static_cast<unsigned char>(ch))));
    m_cellText->setCharacterSize(m_geometry->characterSize());
    m_cellText->setFillColor(toSfColor(color));
    m_cellText->setPosition(origin);
    m_window->draw(*m_cellText);
}

void DisplayManager::flush() {
    const std::vector<CellRecorder::DrawnCell>& frame = m_cells->frame();
    const std::size_t first = std::exchange(m_flushedCells, frame.size());
    if (!m_window || first == frame.size())
        return;
    if (!m_batched) {
        for (std::size_t i = first; i < frame.size(); ++i)
            drawCellUnbatched(frame[i].position, frame[i].ch, frame[i].color);
        return;
    }
    for (std::size_t i = first; i < frame.size(); ++i)
        m_renderer->addCell(m_geometry->glyphOrigin(frame[i].position), frame[i].ch,
                            toSfColor(frame[i].color));
    if (m_renderer->pendingCells() == 0)
        return;
    const sf::Texture& glyphs = m_font->getTexture(m_geometry->characterSize());
    if (m_renderer->takeGlyphsAdded())
        m_premultipliedGlyphs->update(glyphs.copyToImage());
    m_renderer->build(m_surfaceTouched);
    const std::vector<sf::Vertex>& vertices = m_renderer->vertices();
    for (const BatchRenderer::Run& run : m_renderer->runs())
        m_window->draw(vertices.data() + run.first, run.count, sf::PrimitiveType::Triangles,
                       m_premultipliedGlyphs->states(run.sharp, glyphs));
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
    const std::int64_t now = m_clock->nowMilliseconds();
    // Nothing of an unchanged frame has reached the surface, which is still
    // clear from the last frame shown.
    if (!m_mustShow && m_flushedCells == 0 && m_cells->isFrameAsShown() &&
        now - m_lastShownAt < REFRESH_MILLISECONDS) {
        m_cells->clearFrame(); // the same as the one shown
        return;
    }
    flush();
    m_window->display();
    m_window->clear(BACKGROUND);
    m_surfaceTouched = false;
    m_mustShow = false;
    m_lastShownAt = now;
    ++m_shownFrames;
    m_cells->show();
    m_flushedCells = 0;
}

} // namespace mw
