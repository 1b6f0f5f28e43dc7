#pragma once

#include "engine/Color.h"
#include "engine/Vector.h"

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

/// Remembers the frame being made, as the characters drawn into it in drawing
/// order, and the last frame shown. The drawing paths draw from that list, an
/// unchanged frame is found by comparing it with the last one shown, and either
/// frame reads back as a grid of cells or as text.
class CellRecorder {
public:
    /// One character drawn at a position in cells.
    struct DrawnCell {
        Vector position;
        char ch;
        Color color;

        bool operator==(const DrawnCell&) const = default;
    };

    /// A grid of this many columns and rows, all undrawn.
    CellRecorder(int columns, int rows);

    /// Records a character drawn at a position. Positions off the grid are
    /// kept for drawing, though no cell of the grid reads them.
    void record(Vector position, char ch, Color color);
    /// The frame being made, in drawing order.
    const std::vector<DrawnCell>& frame() const { return m_frame; }
    /// Whether the frame being made draws the same characters, in the same
    /// colours, at the same positions and in the same order as the shown one.
    bool isFrameAsShown() const { return m_frame == m_shown; }
    /// The frame being made becomes the shown one; the next starts empty.
    void show();
    /// Forgets the frame being made; the shown one stays.
    void clearFrame();
    /// Forgets both frames.
    void clear();

    /// The cell of the frame being made; undrawn off the grid.
    Cell drawn(int column, int row) const;
    /// The cell of the last shown frame; undrawn off the grid.
    Cell shown(int column, int row) const;

private:
    int index(int column, int row) const;
    /// The grid a frame leaves: in each cell, the last character drawn there.
    std::vector<Cell> grid(const std::vector<DrawnCell>& frame) const;

    int m_columns;
    int m_rows;
    std::vector<DrawnCell> m_frame;
    std::vector<DrawnCell> m_shown;
    /// The grid of the shown frame, made when first read after show().
    mutable std::vector<Cell> m_shownGrid;
};

} // namespace mw
