#include "Flare.h"

#include "ReefwatchRules.h"

#include "engine/EventOut.h"
#include "engine/WorldManager.h"

namespace reefwatch {

Flare::Flare(mw::Vector from) {
    setType("Flare");
    setSprite("flare");
    setSolidness(mw::PASSABLE);
    setAltitude(3);
    setPosition(from);
    setDirection(mw::Vector(1.0f, 0.0f));
    setSpeed(FLARE_SPEED);
}

int Flare::eventHandler(const mw::Event& event) {
    // A boat it reaches ends it (Boat::eventHandler); one that missed goes here.
    if (event.getType() == mw::OUT_EVENT) {
        world().markForDelete(this);
        return 1;
    }
    return 0;
}

} // namespace reefwatch
