#pragma once

#include "engine/Event.h"

namespace mw {

inline const std::string OUT_EVENT = "mw::out";

// Sent to an object when a move takes it outside the world.
class EventOut : public Event {
public:
    EventOut();
};

} // namespace mw
