#include "engine/DisplayManager.h"

#include "engine/LogManager.h"

#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Texture.hpp>

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
        sf::VideoMode({static_cast<unsigned>(m_horizontalPixels),
                       static_cast<unsigned>(m_verticalPixels)},
                      32),
        WINDOW_TITLE, sf::Style::Titlebar | sf::Style::Close, sf::State::Windowed);
    m_window->setMouseCursorVisible(false);
    m_window->setVerticalSyncEnabled(true);
    m_window->clear(m_background);
    m_drawn.fill(Cell{});
    m_shown.fill(Cell{});
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
    if (column < 0 || column >= WINDOW_HORIZONTAL_CELLS || row < 0 ||
        row >= WINDOW_VERTICAL_CELLS)
        return -1;
    return row * WINDOW_HORIZONTAL_CELLS + column;
}

int DisplayManager::drawCh(Vector position, char ch, Color color) {
    if (!m_window)
        return -1;
    const float cellWidth = static_cast<float>(getCellWidth());
    const float cellHeight = static_cast<float>(getCellHeight());
    const float px = cellWidth * position.getX();
    const float py = cellHeight * position.getY();

    if (!m_cellRectangle) {
        m_cellRectangle = std::make_unique<sf::RectangleShape>();
        m_cellText = std::make_unique<sf::Text>(m_font);
        m_cellText->setStyle(sf::Text::Bold);
    }
    m_cellRectangle->setSize({cellWidth, cellHeight - 1});
    m_cellRectangle->setFillColor(m_background);
    m_cellRectangle->setPosition({px + cellWidth / 10, py + cellHeight / 5});
    m_window->draw(*m_cellRectangle);

    const int characterSize = static_cast<int>(2 * std::min(cellWidth, cellHeight));
    m_cellText->setString(sf::String(static_cast<char32_t>(static_cast<unsigned char>(ch))));
    m_cellText->setCharacterSize(static_cast<unsigned>(characterSize));
    m_cellText->setFillColor(toSfColor(color));
    m_cellText->setPosition({px, py});
    m_window->draw(*m_cellText);

    const int index = cellIndex(static_cast<int>(std::floor(position.getX())),
                                static_cast<int>(std::floor(position.getY())));
    if (index >= 0)
        m_drawn[index] = Cell{ch, color, true};
    return 0;
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

sf::Image DisplayManager::capture() const {
    if (!m_window)
        return {};
    sf::Texture texture(m_window->getSize());
    texture.update(*m_window);
    return texture.copyToImage();
}

void DisplayManager::swapBuffers() {
    if (!m_window)
        return;
    m_window->display();
    m_window->clear(m_background);
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
