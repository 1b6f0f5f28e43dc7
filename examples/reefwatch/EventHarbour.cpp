#include "EventHarbour.h"

namespace reefwatch {

EventHarbour::EventHarbour(bool saved, int points) : m_saved(saved), m_points(points) {
    setType(HARBOUR_EVENT);
}

} // namespace reefwatch
