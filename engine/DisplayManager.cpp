#include "engine/DisplayManager.h"

#include "engine/LogManager.h"
#include "engine/internal/BatchRenderer.h"
#include "engine/internal/CellGeometry.h"
#include "engine/internal/CellRecorder.h"
#include "engine/internal/SystemClock.h"

#include <SFML/Config.hpp>
#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RectangleShape.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Text.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <utility>

#include <sys/stat.h>

#if defined(SFML_SYSTEM_LINUX) || defined(SFML_SYSTEM_FREEBSD) || defined(SFML_SYSTEM_OPENBSD) ||  \
    defined(SFML_SYSTEM_NETBSD)
#define MW_X11_DISPLAY 1
#include <dlfcn.h>
#endif

namespace mw {

namespace {

const sf::Color BACKGROUND = sf::Color::Black;

// Tries at opening the X display, 50 ms apart.
constexpr int DISPLAY_ATTEMPTS = 5;

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
    const std::shared_ptr<void> display = openDisplay();
    if (!display)
        return -1;
    m_window = std::make_unique<sf::RenderWindow>(
        sf::VideoMode({WINDOW_HORIZONTAL_PIXELS, WINDOW_VERTICAL_PIXELS}, 32), m_windowTitle,
        sf::Style::Titlebar | sf::Style::Close, sf::State::Windowed);
    m_window->setMouseCursorVisible(false);
    m_window->setVerticalSyncEnabled(true);
    m_window->clear(BACKGROUND);
    m_cells->clear();
    m_renderer->clear();
    m_frameCells.clear();
    m_shownCells.clear();
    m_flushedCells = 0;
    m_mustShow = true;
    m_renderer->setGlyphSource([this](char ch) {
        return m_font->getGlyph(static_cast<unsigned char>(ch), m_geometry->characterSize(), true);
    });
    m_surfaceTouched = false;
    if (!isFontFileOfUsableSize() || !m_font->openFromFile(m_fontFile)) {
        std::printf("Couldn't load font.\n");
        std::fflush(stdout);
        std::error_code ignored;
        const std::string path = std::filesystem::absolute(m_fontFile, ignored).string();
        std::fprintf(stderr, "The font was looked for in '%s'.\n", path.c_str());
        LogManager::getInstance().writeLog("DisplayManager::startUp() - Couldn't load font '%s'",
                                           path.c_str());
        return -1;
    }
    m_batched = fontTextureFitsBatching();
    LogManager::getInstance().writeLog("DisplayManager::startUp() - DM was started up");
    setStarted(true);
    return 0;
}

// SFML reaches the X server through libX11, already loaded with it; asking
// libX11 directly needs no link of our own to it. The connection is kept
// until the window has its own: an X server whose last client leaves resets,
// and refuses connections while it does.
std::shared_ptr<void> DisplayManager::openDisplay() const {
#ifdef MW_X11_DISPLAY
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    const auto open =
        reinterpret_cast<OpenDisplay>(x11 != nullptr ? dlsym(x11, "XOpenDisplay") : nullptr);
    const auto close =
        reinterpret_cast<CloseDisplay>(x11 != nullptr ? dlsym(x11, "XCloseDisplay") : nullptr);
    if (open == nullptr || close == nullptr)
        return std::make_shared<int>(0); // not an X11 build of SFML after all
    // An X server whose last client has just left resets, and refuses
    // connections for a moment.
    for (int attempt = 0; attempt < DISPLAY_ATTEMPTS; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (void* display = open(nullptr))
            return std::shared_ptr<void>(display, close);
    }
    const char* name = std::getenv("DISPLAY");
    const std::string reason = name == nullptr || *name == '\0'
                                   ? std::string("DISPLAY is not set")
                                   : "cannot open the X display '" + std::string(name) + "'";
    std::fprintf(stderr, "%s needs a desktop: %s.\n", m_windowTitle.c_str(), reason.c_str());
    LogManager::getInstance().writeLog("DisplayManager::startUp() - No window: %s", reason.c_str());
    return nullptr;
#else
    return std::make_shared<int>(0);
#endif
}

bool DisplayManager::isFontFileOfUsableSize() const {
    struct stat status {};
    return stat(m_fontFile.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_size <= FONT_FILE_MAX_BYTES;
}

bool DisplayManager::fontTextureFitsBatching() {
    const unsigned size = m_geometry->characterSize();
    // A glyph looked up makes sure the texture of this size exists.
    (void)m_font->getGlyph('X', size, true);
    bool fits = BatchRenderer::hasWhiteTexels(m_font->getTexture(size).copyToImage());
    sf::RenderTexture blanks;
    if (fits && blanks.resize({8 * size, 4 * size})) {
        blanks.clear(sf::Color::Transparent);
        sf::Text text(*m_font, std::string(BatchRenderer::BLANK_CHARACTERS), size);
        text.setStyle(sf::Text::Bold);
        blanks.draw(text);
        blanks.display();
        fits = BatchRenderer::isClear(blanks.getTexture().copyToImage());
    }
    if (!fits)
        LogManager::getInstance().writeLog("DisplayManager::startUp() - The font texture is not "
                                           "as batched drawing needs; drawing cell by cell");
    return fits;
}

void DisplayManager::shutDown() {
    m_renderer->clear();
    m_frameCells.clear();
    m_flushedCells = 0;
    m_premultipliedGlyphs.reset();
    m_premultipliedSharpGlyphs.reset();
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
    m_frameCells.push_back({position, ch, color});
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
    const std::size_t first = std::exchange(m_flushedCells, m_frameCells.size());
    if (!m_window || first == m_frameCells.size())
        return;
    if (!m_batched) {
        for (std::size_t i = first; i < m_frameCells.size(); ++i)
            drawCellUnbatched(m_frameCells[i].position, m_frameCells[i].ch, m_frameCells[i].color);
        return;
    }
    for (std::size_t i = first; i < m_frameCells.size(); ++i)
        m_renderer->addCell(m_geometry->glyphOrigin(m_frameCells[i].position), m_frameCells[i].ch,
                            toSfColor(m_frameCells[i].color));
    if (m_renderer->pendingCells() == 0)
        return;
    const sf::Texture& glyphs = m_font->getTexture(m_geometry->characterSize());
    if (m_renderer->takeGlyphsAdded())
        premultiplyGlyphs(glyphs.copyToImage());
    m_renderer->build(m_surfaceTouched);
    const std::vector<sf::Vertex>& vertices = m_renderer->vertices();
    for (const BatchRenderer::Run& run : m_renderer->runs()) {
        sf::RenderStates states;
        // Sampling texel centres, smoothing changes nothing: a sharp run
        // without its own texture takes the smoothed one.
        states.texture = &glyphs;
        if (m_premultipliedGlyphs) {
            states.texture =
                run.sharp ? m_premultipliedSharpGlyphs.get() : m_premultipliedGlyphs.get();
            states.blendMode =
                sf::BlendMode(sf::BlendMode::Factor::One, sf::BlendMode::Factor::OneMinusSrcAlpha);
        }
        m_window->draw(vertices.data() + run.first, run.count, sf::PrimitiveType::Triangles,
                       states);
    }
    m_surfaceTouched = true;
}

// The font's texels are white with the glyph in their alpha. A glyph of a
// colour whose channels are 0 or 255 blended over the surface by its alpha
// gives, channel by channel, exactly what the premultiplied texel (alpha in
// every channel) gives with premultiplied blending, which the software
// renderer does a few per cent faster.
void DisplayManager::premultiplyGlyphs(const sf::Image& glyphs) {
    m_premultipliedGlyphs.reset();
    m_premultipliedSharpGlyphs.reset();
    sf::Image premultiplied = glyphs;
    const sf::Vector2u size = glyphs.getSize();
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x) {
            const sf::Color texel = glyphs.getPixel({x, y});
            const auto times = [&](std::uint8_t channel) {
                return static_cast<std::uint8_t>((channel * texel.a + 127) / 255);
            };
            premultiplied.setPixel({x, y},
                                   {times(texel.r), times(texel.g), times(texel.b), texel.a});
        }
    auto smooth = std::make_unique<sf::Texture>();
    auto sharp = std::make_unique<sf::Texture>();
    // Without them the runs are drawn from the font's texture, blended by alpha.
    if (!smooth->loadFromImage(premultiplied) || !sharp->loadFromImage(premultiplied))
        return;
    smooth->setSmooth(true);
    sharp->setSmooth(false);
    m_premultipliedGlyphs = std::move(smooth);
    m_premultipliedSharpGlyphs = std::move(sharp);
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
    m_cells->show();
    const std::int64_t now = m_clock->nowMilliseconds();
    // Nothing of an unchanged frame has reached the surface, which is still
    // clear from the last frame shown.
    if (!m_mustShow && m_flushedCells == 0 && m_frameCells == m_shownCells &&
        now - m_lastShownAt < REFRESH_MILLISECONDS) {
        m_frameCells.clear();
        return;
    }
    flush();
    m_window->display();
    m_window->clear(BACKGROUND);
    m_surfaceTouched = false;
    m_mustShow = false;
    m_lastShownAt = now;
    ++m_shownFrames;
    m_shownCells.swap(m_frameCells);
    m_frameCells.clear();
    m_flushedCells = 0;
}

} // namespace mw
