#pragma once

#include "engine/Event.h"

#include <string>

namespace reefwatch {

// Sent to every object when a boat reaches home or the reef.
inline const std::string HARBOUR_EVENT = "reefwatch::harbour";
class EventHarbour : public mw::Event {
public:
    EventHarbour(bool saved, int points);
    bool isSaved() const { return m_saved; }
    int getPoints() const { return m_points; }

private:
    bool m_saved;
    int m_points;
};

} // namespace reefwatch
