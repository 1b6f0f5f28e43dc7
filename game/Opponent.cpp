#include "game/Opponent.h"

#include "engine/WorldManager.h"
#include "game/BoxerMove.h"
#include "game/BoxingRules.h"
#include "game/Hero.h"

Opponent::Opponent(const BoxerCondition::Rules& knockdownRules)
    : m_condition(knockdownRules), m_move(IDLE) {}

Opponent::~Opponent() = default;

mw::Vector Opponent::home() {
    return BoxingRules::home(8);
}

void Opponent::startRound() {
    m_frozen = false;
    m_condition.startRound();
    m_move = IDLE;
    setPosition(home());
}

Hero* worldHero() {
    const mw::ObjectList heroes = mw::WorldManager::getInstance().objectsOfType(HERO_TYPE);
    return heroes.isEmpty() ? nullptr : dynamic_cast<Hero*>(heroes[0]);
}

bool isHeroDown() {
    const Hero* hero = worldHero();
    return hero != nullptr && hero->isDown();
}
