#include "game/Opponent.h"

#include "engine/DisplayManager.h"
#include "engine/WorldManager.h"
#include "game/BoxerMove.h"
#include "game/Hero.h"

Opponent::Opponent() : m_move(IDLE) {}

Opponent::~Opponent() = default;

mw::Vector Opponent::home() {
    static const mw::Vector position = [] {
        const mw::DisplayManager& display = mw::DisplayManager::getInstance();
        return mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 2),
                          static_cast<float>(display.getVertical() - 8));
    }();
    return position;
}

bool isHeroDown() {
    const mw::ObjectList heroes = mw::WorldManager::getInstance().objectsOfType("Hero");
    if (heroes.isEmpty())
        return false;
    // Something else may carry the type; only a real Hero can be down.
    const auto* hero = dynamic_cast<const Hero*>(heroes[0]);
    return hero != nullptr && hero->isDown();
}
