#include "Boat.h"

#include "EventHarbour.h"
#include "ReefwatchRules.h"
#include "Scenery.h"

#include "engine/EventCollision.h"
#include "engine/EventOut.h"
#include "engine/WorldManager.h"

#include <algorithm>

namespace reefwatch {

Boat::Boat(float y, float speed) {
    setType("Boat");
    setSprite("boat-inbound");
    setPosition(mw::Vector(BOAT_START_X, y));
    setDirection(mw::Vector(-1.0f, 0.0f));
    setSpeed(speed);
}

int Boat::eventHandler(const mw::Event& event) {
    if (event.getType() == mw::OUT_EVENT && m_homeward) {
        EventHarbour home(true, m_points);
        world().onEvent(home);
        world().markForDelete(this);
        return 1;
    }
    const auto* collision = event.getIf<mw::EventCollision>();
    if (collision == nullptr || m_homeward)
        return 0;
    mw::Object* met = collision->getOther(this);
    if (met->getType() == "Reef") {
        new Scenery("Wreck", "wreck", getPosition(), mw::INTANGIBLE, 1, 24);
        playSound("crash");
        EventHarbour wreck(false, 0);
        world().onEvent(wreck);
        world().markForDelete(this);
        return 1;
    }
    if (met->getType() == "Flare") {
        // The flare is spent on this boat; homeward boats let flares through.
        world().markForDelete(met);
        // The further out a boat is turned, the more it is worth: 10 to 19.
        const int distance = static_cast<int>(getPosition().getX() - REEF_X - 4.0f) / 7;
        m_points = 10 + std::clamp(distance, 0, 9);
        m_homeward = true;
        setSprite("boat-homeward");
        setSolidness(mw::PASSABLE);
        setDirection(mw::Vector(1.0f, 0.0f));
        setSpeed(HOMEWARD_SPEED);
        playSound("bell");
        return 1;
    }
    return 0;
}

} // namespace reefwatch
