#pragma once

#include "engine/Event.h"

#include <string>

inline const std::string GAME_OVER_EVENT = "game-over";

// Broadcast to the world when a fight is decided.
class EventGameOver : public mw::Event {
public:
    // resultCode holds a GameOverResult.
    explicit EventGameOver(int resultCode);

    int getResultCode() const { return m_resultCode; }

private:
    int m_resultCode;
};
