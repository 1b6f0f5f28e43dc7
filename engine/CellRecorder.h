#pragma once

#include "engine/Color.h"
#include "engine/Vector.h"

#include <string>
#include <vector>

namespace mw {

// What one character cell of the screen holds.
struct Cell {
    char ch = ' ';
    int color = COLOR_BLACK;
    bool drawn = false;

    bool operator==(const Cell&) const = default;
};

// Remembers, as cells, what was drawn in the frame being made and what the
// last shown frame held, so that a frame can be read back as text.
class CellRecorder {
public:
    CellRecorder(int columns, int rows);

    // Records a character drawn at a position; positions off the grid are not kept.
    void record(Vector position, char ch, Color color);
    // The frame being made becomes the shown one; the next starts empty.
    void show();
    void clear();

    // Cells off the grid read as undrawn.
    Cell drawn(int column, int row) const;
    Cell shown(int column, int row) const;
    // The shown frame, one line per row (undrawn cells as spaces).
    std::string shownText() const;

private:
    int index(int column, int row) const;

    int m_columns;
    int m_rows;
    std::vector<Cell> m_drawn;
    std::vector<Cell> m_shown;
};

} // namespace mw
