#pragma once

#include "engine/Object.h"
#include "engine/Vector.h"

namespace reefwatch {

// A flare flies right, passable, until it reaches an inbound boat or leaves the world.
class Flare : public mw::Object {
public:
    explicit Flare(mw::Vector from);
    int eventHandler(const mw::Event& event) override;
};

} // namespace reefwatch
