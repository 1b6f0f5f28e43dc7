#pragma once

#include "engine/Object.h"

#include <string>

// The round clock, "TIME m:ss", counting down one second every 30 steps.
class Timer : public mw::Object {
public:
    static constexpr int STEPS_PER_SECOND = 30;

    Timer();

    int eventHandler(const mw::Event& event) override;
    int draw() override;
    void updateText();

    int getRoundLength() const { return m_roundLength; }
    int getTimeLeft() const { return m_timeLeft; }
    void setTimeLeft(int seconds) { m_timeLeft = seconds; }
    const std::string& getText() const { return m_text; }

    // Step events received by any clock since the program started.
    static int getClockSteps();

private:
    int m_roundLength = 90;
    int m_timeLeft = 90;
    std::string m_text;
};
