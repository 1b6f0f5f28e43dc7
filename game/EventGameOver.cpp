#include "game/EventGameOver.h"

EventGameOver::EventGameOver(int resultCode) : m_resultCode(resultCode) {
    setType(GAME_OVER_EVENT);
}
