#include "engine/Frame.h"

namespace mw {

char Frame::charAt(int row, int column) const {
    const std::size_t index = static_cast<std::size_t>(row) * m_width + column;
    return index < m_frameString.size() ? m_frameString[index] : ' ';
}

} // namespace mw
