#pragma once

#include "engine/Object.h"

namespace reefwatch {

// The night's rules and the screens: the title, the watch with its score line,
// and the end. It lives for the whole program and makes every other object.
class Harbour : public mw::Object {
public:
    enum Phase { TITLE, WATCH, WON, LOST };

    Harbour();
    int eventHandler(const mw::Event& event) override;
    int draw() override;

    Phase getPhase() const { return m_phase; }
    int getSaved() const { return m_saved; }
    int getWrecks() const { return m_wrecks; }
    int getScore() const { return m_score; }

private:
    void startWatch();
    void endWatch(Phase phase);
    void launchBoat();
    unsigned nextRandom();

    Phase m_phase = TITLE;
    int m_saved = 0;
    int m_wrecks = 0;
    int m_score = 0;
    int m_launched = 0;
    int m_untilNextBoat = 0;
    unsigned m_random = 1;
};

} // namespace reefwatch
