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

Hero* worldHero() {
    const mw::ObjectList heroes = mw::WorldManager::getInstance().objectsOfType("Hero");
    return heroes.isEmpty() ? nullptr : dynamic_cast<Hero*>(heroes[0]);
}

bool isHeroDown() {
    const Hero* hero = worldHero();
    return hero != nullptr && hero->isDown();
}
