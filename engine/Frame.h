#pragma once

#include <string>

namespace mw {

// One picture of a sprite: rows of characters stored one after another.
class Frame {
public:
    Frame() = default;
    Frame(int width, int height, const std::string& frameString)
        : m_width(width), m_height(height), m_frameString(frameString) {}

    int getWidth() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    int getHeight() const { return m_height; }
    void setHeight(int height) { m_height = height; }
    const std::string& getString() const { return m_frameString; }
    void setString(const std::string& frameString) { m_frameString = frameString; }

    // The character at row r, column c; a space where a short row left no character.
    char charAt(int row, int column) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::string m_frameString;
};

} // namespace mw
