#include "engine/internal/CellRecorder.h"

#include <algorithm>
#include <cmath>

namespace mw {

CellRecorder::CellRecorder(int columns, int rows)
    : m_columns(columns), m_rows(rows), m_drawn(static_cast<std::size_t>(columns * rows)),
      m_shown(static_cast<std::size_t>(columns * rows)) {}

int CellRecorder::index(int column, int row) const {
    if (column < 0 || column >= m_columns || row < 0 || row >= m_rows)
        return -1;
    return row * m_columns + column;
}

void CellRecorder::record(Vector position, char ch, Color color) {
    const float column = std::floor(position.getX());
    const float row = std::floor(position.getY());
    // Checked before converting: a float beyond the grid may be beyond an int too.
    if (!(column >= 0 && column < static_cast<float>(m_columns) && row >= 0 &&
          row < static_cast<float>(m_rows)))
        return;
    m_drawn[index(static_cast<int>(column), static_cast<int>(row))] = Cell{ch, color, true};
}

void CellRecorder::show() {
    m_shown = m_drawn;
    std::fill(m_drawn.begin(), m_drawn.end(), Cell{});
}

void CellRecorder::clear() {
    std::fill(m_drawn.begin(), m_drawn.end(), Cell{});
    std::fill(m_shown.begin(), m_shown.end(), Cell{});
}

Cell CellRecorder::drawn(int column, int row) const {
    const int at = index(column, row);
    return at < 0 ? Cell{} : m_drawn[at];
}

Cell CellRecorder::shown(int column, int row) const {
    const int at = index(column, row);
    return at < 0 ? Cell{} : m_shown[at];
}

std::string CellRecorder::shownText() const {
    std::string text;
    for (int row = 0; row < m_rows; ++row) {
        for (int column = 0; column < m_columns; ++column) {
            const Cell& cell = m_shown[index(column, row)];
            text += cell.drawn ? cell.ch : ' ';
        }
        text += '\n';
    }
    return text;
}

} // namespace mw
