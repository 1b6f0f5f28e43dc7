#pragma once

#include "engine/Event.h"

namespace mw {

/// The type of EventStep.
inline const std::string STEP_EVENT = "mw::step";

/// Sent to every object once per frame, first in the frame, carrying the
/// frame's number.
class EventStep : public Event {
public:
    /// A step event for the frame with this number (0 for the first of a run).
    explicit EventStep(int stepCount = 0);

    /// The frame's number in the current run of the game loop, from 0.
    int getStepCount() const { return m_stepCount; }
    /// Sets the frame's number.
    void setStepCount(int stepCount) { m_stepCount = stepCount; }

private:
    int m_stepCount;
};

} // namespace mw
