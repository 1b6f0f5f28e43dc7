#include "engine/internal/CellGeometry.h"

#include <algorithm>

namespace mw {

CellGeometry::CellGeometry(int cellWidth, int cellHeight)
    : m_cellWidth(cellWidth), m_cellHeight(cellHeight) {}

unsigned CellGeometry::characterSize() const {
    return static_cast<unsigned>(2 * std::min(m_cellWidth, m_cellHeight));
}

sf::Vector2f CellGeometry::glyphOrigin(Vector position) const {
    return {static_cast<float>(m_cellWidth) * position.getX(),
            static_cast<float>(m_cellHeight) * position.getY()};
}

sf::FloatRect CellGeometry::backing(sf::Vector2f glyphOrigin) const {
    const float width = static_cast<float>(m_cellWidth);
    const float height = static_cast<float>(m_cellHeight);
    return sf::FloatRect({glyphOrigin.x + width / 10, glyphOrigin.y + height / 5},
                         {width, height - 1});
}

} // namespace mw
