#include "game/Timer.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"

#include <cstdio>

namespace {
int clockSteps = 0;
}

Timer::Timer() {
    setType("TimerUI");
    setSolidness(mw::INTANGIBLE);
    setAltitude(4);
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    setPosition(mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 7), 2));
    updateText();
}

int Timer::getClockSteps() {
    return clockSteps;
}

int Timer::eventHandler(const mw::Event& event) {
    if (event.getType() != mw::STEP_EVENT)
        return 0;
    ++clockSteps;
    if (clockSteps % STEPS_PER_SECOND == 0) {
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
