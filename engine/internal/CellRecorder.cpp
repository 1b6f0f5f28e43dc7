#include "engine/internal/CellRecorder.h"

#include <cmath>

namespace mw {

CellRecorder::CellRecorder(int columns, int rows) : m_columns(columns), m_rows(rows) {}

int CellRecorder::index(int column, int row) const {
    if (column < 0 || column >= m_columns || row < 0 || row >= m_rows)
        return -1;
    return row * m_columns + column;
}

void CellRecorder::record(Vector position, char ch, Color color) {
    m_frame.push_back({position, ch, color});
}

std::vector<Cell> CellRecorder::grid(const std::vector<DrawnCell>& frame) const {
    std::vector<Cell> cells(static_cast<std::size_t>(m_columns * m_rows));
    for (const DrawnCell& drawn : frame) {
        const float column = std::floor(drawn.position.getX());
        const float row = std::floor(drawn.position.getY());
        // Checked before converting: a float beyond the grid may be beyond an int too.
        if (!(column >= 0 && column < static_cast<float>(m_columns) && row >= 0 &&
              row < static_cast<float>(m_rows)))
            continue;
        cells[index(static_cast<int>(column), static_cast<int>(row))] =
            Cell{drawn.ch, drawn.color, true};
    }
    return cells;
}

void CellRecorder::show() {
    m_shown.swap(m_frame);
    m_frame.clear();
    m_shownGrid.clear();
}

void CellRecorder::clearFrame() {
    m_frame.clear();
}

void CellRecorder::clear() {
    m_frame.clear();
    m_shown.clear();
    m_shownGrid.clear();
}

Cell CellRecorder::drawn(int column, int row) const {
    const int at = index(column, row);
    return at < 0 ? Cell{} : grid(m_frame)[at];
}

Cell CellRecorder::shown(int column, int row) const {
    const int at = index(column, row);
    if (at < 0)
        return Cell{};
    if (m_shownGrid.empty())
        m_shownGrid = grid(m_shown);
    return m_shownGrid[at];
}

} // namespace mw
