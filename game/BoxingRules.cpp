#include "game/BoxingRules.h"

#include "engine/DisplayManager.h"

int BoxingRules::healthOnGettingUp(int maxHealth, int roundKnockdowns) {
    const int percent = roundKnockdowns == 1 ? 75 : roundKnockdowns == 2 ? 50 : 25;
    return maxHealth * percent / 100;
}

mw::Vector BoxingRules::home(int rowsAboveBottom) {
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    return mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 2),
                      static_cast<float>(display.getVertical() - rowsAboveBottom));
}
