#pragma once

#include "engine/Color.h"
#include "engine/Vector.h"

#include <string>
#include <vector>

namespace mw {

/// What one character cell of the screen holds.
struct Cell {
    char ch = ' ';           ///< The character.
    int color = COLOR_BLACK; ///< Its colour (a Color).
    bool drawn = false;      ///< Whether anything was drawn there.

    /// Equal in every field.
    bool operator==(const Cell&) const = default;
};

/// Remembers, as cells, what was drawn in the frame being made and what the
/// last shown frame held, so that a frame can be read back as text.
class CellRecorder {
public:
    /// A grid of this many columns and rows, all undrawn.
    CellRecorder(int columns, int rows);

    /// Records a character drawn at a position; positions off the grid are not kept.
    void record(Vector position, char ch, Color color);
    /// The frame being made becomes the shown one; the next starts empty.
    void show();
    /// Forgets both frames.
    void clear();

    /// Cells off the grid read as undrawn.
    Cell drawn(int column, int row) const;
    /// The cell of the last shown frame; undrawn off the grid.
    Cell shown(int column, int row) const;
    /// The shown frame, one line per row (undrawn cells as spaces).
    std::string shownText() const;

private:
    int index(int column, int row) const;

    int m_columns;
    int m_rows;
    std::vector<Cell> m_drawn;
    std::vector<Cell> m_shown;
};

} // namespace mw
