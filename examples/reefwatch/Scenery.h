#pragma once

#include "engine/Object.h"
#include "engine/Vector.h"

#include <string>

namespace reefwatch {

// Scenery with a sprite and a solidness; a wreck fades and goes after its frames.
class Scenery : public mw::Object {
public:
    Scenery(const std::string& type, const std::string& sprite, mw::Vector where,
            mw::Solidness solidness, int altitude, int lifetime = -1);
    int eventHandler(const mw::Event& event) override;

private:
    int m_lifetime;
};

} // namespace reefwatch
