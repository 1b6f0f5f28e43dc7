#pragma once

#include "engine/Object.h"

#include <string>

// Tells a knocked-down hero how to get up: the keys to mash and his presses
// against the number needed. Shown only while he is down and the fight goes
// on; a frozen hero is between rounds or has lost.
class KnockdownPrompt : public mw::Object {
public:
    // Rows 4 and 5, between the health bars and the ring's ropes, where no
    // message of the fight or the tutorial is drawn.
    static constexpr int TEXT_ROW = 4;
    static constexpr int COUNT_ROW = 5;

    KnockdownPrompt();

    int draw() override;

    // Both empty while nothing is to be shown.
    std::string getText() const;
    std::string getCount() const;
};
