#pragma once

#include "engine/Object.h"

#include <string>

// The round number, "ROUND n", centred above the ring.
class RoundUI : public mw::Object {
public:
    explicit RoundUI(int round);

    int draw() override;
    void updateText();

    int getRound() const { return m_round; }
    void setRound(int round) { m_round = round; }
    const std::string& getText() const { return m_text; }

private:
    int m_round;
    std::string m_text;
};
