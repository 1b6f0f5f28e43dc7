#include "game/Opponent.h"

#include "game/BoxerMove.h"
#include "game/BoxingRules.h"

Opponent::Opponent() : m_move(IDLE) {}

Opponent::~Opponent() = default;

mw::Vector Opponent::home() {
    return BoxingRules::home(8);
}

void Opponent::startRound() {
    m_frozen = false;
    m_down = false;
    m_downTime = 0;
    m_roundKnockdowns = 0;
    m_move = IDLE;
    setPosition(home());
}
