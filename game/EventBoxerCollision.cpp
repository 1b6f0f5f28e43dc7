#include "game/EventBoxerCollision.h"

EventBoxerCollision::EventBoxerCollision(int move) : m_move(move) {
    setType(BOXER_COLLISION_EVENT);
}
