#pragma once

#include "engine/Event.h"

#include <string>

inline const std::string BOXER_COLLISION_EVENT = "boxer collision";

// One punch, handed by the punching boxer straight to the other one.
class EventBoxerCollision : public mw::Event {
public:
    // move is SWING_RIGHT or SWING_LEFT.
    explicit EventBoxerCollision(int move);

    int getMove() const { return m_move; }

private:
    int m_move;
};
