#pragma once

#include "engine/EventKeyboard.h"
#include "engine/Object.h"

namespace reefwatch {

// The player's lamp: Up and Down set its velocity, Space fires a flare.
class Lamp : public mw::Object {
public:
    Lamp();
    int eventHandler(const mw::Event& event) override;

private:
    mw::Key m_moving = mw::KEY_UNDEFINED;
};

} // namespace reefwatch
