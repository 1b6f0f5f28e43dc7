#pragma once

#include "engine/Vector.h"

namespace mw {

/// An axis-aligned rectangle: an upper-left corner and its extents in cells.
/// In an Object's box the corner is relative to the object's position.
class Box {
public:
    /// The empty box at the origin.
    Box() = default;
    /// A box with this upper-left corner, width (horizontal) and height (vertical).
    Box(Vector corner, float horizontal, float vertical)
        : m_corner(corner), m_horizontal(horizontal), m_vertical(vertical) {}

    /// The upper-left corner.
    Vector getCorner() const { return m_corner; }
    /// Moves the upper-left corner; the extents stay.
    void setCorner(Vector corner) { m_corner = corner; }
    /// The width in cells.
    float getHorizontal() const { return m_horizontal; }
    /// Sets the width in cells.
    void setHorizontal(float horizontal) { m_horizontal = horizontal; }
    /// The height in cells.
    float getVertical() const { return m_vertical; }
    /// Sets the height in cells.
    void setVertical(float vertical) { m_vertical = vertical; }

    /// Equal corners and extents.
    bool operator==(const Box& other) const = default;

private:
    Vector m_corner;
    float m_horizontal = 0.0f;
    float m_vertical = 0.0f;
};

} // namespace mw
