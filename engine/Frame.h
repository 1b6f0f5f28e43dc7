#pragma once

#include <string>

namespace mw {

/// One picture of a sprite: rows of characters stored one after another.
class Frame {
public:
    /// An empty frame, 0 by 0.
    Frame() = default;
    /// A frame of width x height cells whose characters are the string's, row
    /// after row with no separators.
    Frame(int width, int height, const std::string& frameString)
        : m_width(width), m_height(height), m_frameString(frameString) {}

    /// Characters per row.
    int getWidth() const { return m_width; }
    /// Sets the characters per row.
    void setWidth(int width) { m_width = width; }
    /// Rows.
    int getHeight() const { return m_height; }
    /// Sets the rows.
    void setHeight(int height) { m_height = height; }
    /// The characters, row after row.
    const std::string& getString() const { return m_frameString; }
    /// Replaces the characters.
    void setString(const std::string& frameString) { m_frameString = frameString; }

    /// The character at row r, column c; a space where a short row left no character.
    char charAt(int row, int column) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::string m_frameString;
};

} // namespace mw
