#include "engine/EventStep.h"

namespace mw {

EventStep::EventStep(int stepCount) : m_stepCount(stepCount) {
    setType(STEP_EVENT);
}

} // namespace mw
