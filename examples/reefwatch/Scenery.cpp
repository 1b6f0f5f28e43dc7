#include "Scenery.h"

#include "ReefwatchRules.h"

#include "engine/DisplayManager.h"
#include "engine/EventOut.h"
#include "engine/EventStep.h"
#include "engine/WorldManager.h"

#include <string>

namespace reefwatch {

Scenery::Scenery(const std::string& type, const std::string& sprite, mw::Vector where,
                 mw::Solidness solidness, int altitude, int lifetime)
    : m_lifetime(lifetime) {
    setType(type);
    setSprite(sprite);
    setPosition(where);
    setSolidness(solidness);
    setAltitude(altitude);
}

int Scenery::eventHandler(const mw::Event& event) {
    if (event.getType() == mw::STEP_EVENT && m_lifetime > 0 && --m_lifetime == 0) {
        world().markForDelete(this);
        return 1;
    }
    // Waves drift left and come back on the right.
    if (event.getType() == mw::OUT_EVENT) {
        setPosition(
            mw::Vector(static_cast<float>(mw::DisplayManager::getInstance().getHorizontal()),
                       getPosition().getY()));
        return 1;
    }
    return 0;
}

} // namespace reefwatch
