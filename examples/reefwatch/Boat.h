#pragma once

#include "engine/Object.h"

namespace reefwatch {

// An inbound boat is blocking: it wrecks when the reef refuses its move, and
// queues behind a slower boat in its lane. A flare turns it homeward: it then
// passes through other boats and counts as saved when it leaves the world.
class Boat : public mw::Object {
public:
    Boat(float y, float speed);
    int eventHandler(const mw::Event& event) override;
    bool isHomeward() const { return m_homeward; }

private:
    bool m_homeward = false;
    int m_points = 0;
};

} // namespace reefwatch
