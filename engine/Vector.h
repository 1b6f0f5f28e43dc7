#pragma once

namespace mw {

/// A position or direction in character cells: x is the column, y the row,
/// growing right and down; both may be fractional.
class Vector {
public:
    /// (0, 0).
    Vector() = default;
    /// (x, y).
    Vector(float x, float y) : m_x(x), m_y(y) {}

    /// The column.
    float getX() const { return m_x; }
    /// The row.
    float getY() const { return m_y; }
    /// Sets the column.
    void setX(float x) { m_x = x; }
    /// Sets the row.
    void setY(float y) { m_y = y; }
    /// Sets both.
    void setXY(float x, float y) {
        m_x = x;
        m_y = y;
    }

    /// The sum, component by component.
    Vector operator+(const Vector& other) const { return {m_x + other.m_x, m_y + other.m_y}; }
    /// Equal components.
    bool operator==(const Vector& other) const = default;

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
};

} // namespace mw
