#pragma once

#include "engine/Vector.h"

namespace mw {

// An axis-aligned rectangle: an upper-left corner and its extents in cells.
class Box {
public:
    Box() = default;
    Box(Vector corner, float horizontal, float vertical)
        : m_corner(corner), m_horizontal(horizontal), m_vertical(vertical) {}

    Vector getCorner() const { return m_corner; }
    void setCorner(Vector corner) { m_corner = corner; }
    float getHorizontal() const { return m_horizontal; }
    void setHorizontal(float horizontal) { m_horizontal = horizontal; }
    float getVertical() const { return m_vertical; }
    void setVertical(float vertical) { m_vertical = vertical; }

    bool operator==(const Box& other) const = default;

private:
    Vector m_corner;
    float m_horizontal = 0.0f;
    float m_vertical = 0.0f;
};

} // namespace mw
