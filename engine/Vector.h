#pragma once

namespace mw {

// A position or direction in character cells: x is the column, y the row.
class Vector {
public:
    Vector() = default;
    Vector(float x, float y) : m_x(x), m_y(y) {}

    float getX() const { return m_x; }
    float getY() const { return m_y; }
    void setX(float x) { m_x = x; }
    void setY(float y) { m_y = y; }
    void setXY(float x, float y) {
        m_x = x;
        m_y = y;
    }

    Vector operator+(const Vector& other) const { return {m_x + other.m_x, m_y + other.m_y}; }
    bool operator==(const Vector& other) const = default;

private:
    float m_x = 0.0f;
    float m_y = 0.0f;
};

} // namespace mw
