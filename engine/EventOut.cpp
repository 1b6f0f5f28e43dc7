#include "engine/EventOut.h"

namespace mw {

EventOut::EventOut() {
    setType(OUT_EVENT);
}

} // namespace mw
