#include "game/Timer.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "game/SharedCounts.h"

#include <cstdio>

Timer::Timer() {
    setType(TIMER_TYPE);
    setSolidness(mw::INTANGIBLE);
    setAltitude(4);
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    setPosition(mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 7), 2));
    updateText();
}

int Timer::eventHandler(const mw::Event& event) {
    if (event.getType() != mw::STEP_EVENT)
        return 0;
    // The seconds tick on the count shared by every clock.
    if (++sharedCounts().clockSteps % STEPS_PER_SECOND == 0) {
        --m_timeLeft;
        updateText();
    }
    return 1;
}

void Timer::updateText() {
    const int seconds = m_timeLeft < 0 ? 0 : m_timeLeft;
    char clock[16];
    std::snprintf(clock, sizeof clock, "%d:%02d", seconds / 60, seconds % 60);
    m_text = std::string("TIME ") + clock;
}

int Timer::draw() {
    return mw::DisplayManager::getInstance().drawString(getPosition(), m_text, mw::JUSTIFY_RIGHT,
                                                        mw::COLOR_WHITE);
}
