#pragma once

#include "engine/Object.h"

#include <string>

inline const std::string TIMER_TYPE = "TimerUI";

// The round clock, "TIME m:ss", counting down one second every 30 steps.
class Timer : public mw::Object {
public:
    static constexpr int STEPS_PER_SECOND = 30;
    static constexpr int ROUND_SECONDS = 90;

    Timer();

    int eventHandler(const mw::Event& event) override;
    int draw() override;
    void updateText();

    int getTimeLeft() const { return m_timeLeft; }
    void setTimeLeft(int seconds) { m_timeLeft = seconds; }
    const std::string& getText() const { return m_text; }

private:
    int m_timeLeft = ROUND_SECONDS;
    std::string m_text;
};
