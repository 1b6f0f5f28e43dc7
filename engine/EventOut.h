#pragma once

#include "engine/Event.h"

namespace mw {

/// The type of EventOut.
inline const std::string OUT_EVENT = "mw::out";

/// Sent to an object, and only to it, when a move takes it from inside the
/// world (0 to 80 across, 0 to 24 down, edges included) to outside; none while
/// it stays outside.
class EventOut : public Event {
public:
    /// An out-of-world event.
    EventOut();
};

} // namespace mw
