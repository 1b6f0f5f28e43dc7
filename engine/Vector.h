#pragma once

#include <cmath>

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
    /// The difference, component by component: the way from other to this.
    Vector operator-(const Vector& other) const { return {m_x - other.m_x, m_y - other.m_y}; }
    /// Both components negated.
    Vector operator-() const { return {-m_x, -m_y}; }
    /// Both components times the factor.
    Vector operator*(float factor) const { return {m_x * factor, m_y * factor}; }
    /// Both components divided by the divisor.
    Vector operator/(float divisor) const { return {m_x / divisor, m_y / divisor}; }
    /// Adds other to this.
    Vector& operator+=(const Vector& other) { return *this = *this + other; }
    /// Subtracts other from this.
    Vector& operator-=(const Vector& other) { return *this = *this - other; }
    /// Multiplies both components by the factor.
    Vector& operator*=(float factor) { return *this = *this * factor; }
    /// The length, in cells (a cell counts as square, though drawn taller than wide).
    float getLength() const { return std::hypot(m_x, m_y); }
    /// Scales the vector to length 1, keeping its direction; (0, 0) stays (0, 0).
    void normalize() {
        const float length = getLength();
        if (length > 0.0f)
            *this = *this / length;
    }
    /// Equal components.
    bool operator==(const Vector& other) const = default;

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
};

/// The vector times the factor.
inline Vector operator*(float factor, const Vector& vector) {
    return vector * factor;
}

} // namespace mw
