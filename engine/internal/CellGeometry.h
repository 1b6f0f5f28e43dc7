#pragma once

#include "engine/Vector.h"

#include <SFML/Graphics/Rect.hpp>
#include <SFML/System/Vector2.hpp>

namespace mw {

/// Where one character cell's pieces lie in the window, for both drawing paths:
/// the glyph's origin at the cell's position times the cell size, and a black
/// backing rectangle one pixel shorter than the cell, shifted right by a tenth
/// of its width and down by a fifth of its height.
class CellGeometry {
public:
    /// The geometry of cells of this size in pixels.
    CellGeometry(int cellWidth, int cellHeight);

    /// A cell's width in pixels.
    int cellWidth() const { return m_cellWidth; }
    /// A cell's height in pixels.
    int cellHeight() const { return m_cellHeight; }
    /// The glyphs' size in points: twice the smaller side of a cell.
    unsigned characterSize() const;

    /// The pixel where the glyph of the cell at a position (in cells) starts.
    sf::Vector2f glyphOrigin(Vector position) const;
    /// The backing rectangle of the cell whose glyph starts there.
    sf::FloatRect backing(sf::Vector2f glyphOrigin) const;

private:
    int m_cellWidth;
    int m_cellHeight;
};

} // namespace mw
