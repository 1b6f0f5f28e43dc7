#include "game/Opponent.h"

#include "game/BoxerMove.h"
#include "game/BoxingRules.h"

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
