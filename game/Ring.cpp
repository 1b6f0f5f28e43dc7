#include "game/Ring.h"

#include "engine/DisplayManager.h"

Ring::Ring() {
    setType("Ring");
    setSprite("ring");
    setSolidness(mw::INTANGIBLE);
    setAltitude(1);
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    setPosition(mw::Vector(static_cast<float>(display.getHorizontal() / 2) + 2.5f,
                           static_cast<float>(display.getVertical() / 2 + 2)));
}
