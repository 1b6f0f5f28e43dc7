#pragma once

#include "engine/Object.h"

#include <string>

// Tells a knocked-down hero how to get up: that only alternating keys count,
// his presses against the number needed, and the seconds left before the
// count ends the fight. Shown only while he is down and the fight goes on; a
// frozen hero is between rounds or has lost.
class KnockdownPrompt : public mw::Object {
public:
    // Rows 4 to 6, between the health bars and the ring's ropes, where no
    // message of the fight or the tutorial is drawn.
    static constexpr int TEXT_ROW = 4;
    static constexpr int COUNT_ROW = 5;
    static constexpr int TIME_ROW = 6;

    KnockdownPrompt();

    int draw() override;

    // Each empty while nothing is to be shown.
    std::string getText() const;
    std::string getCount() const;
    std::string getTimeLeft() const;
};
