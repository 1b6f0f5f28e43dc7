#pragma once

#include "engine/Event.h"

namespace mw {

inline const std::string STEP_EVENT = "mw::step";

// Sent to every object once per frame, carrying the frame's number.
class EventStep : public Event {
public:
    explicit EventStep(int stepCount = 0);

    int getStepCount() const { return m_stepCount; }
    void setStepCount(int stepCount) { m_stepCount = stepCount; }

private:
    int m_stepCount;
};

} // namespace mw
