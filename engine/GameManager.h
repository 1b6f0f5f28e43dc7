#pragma once

#include "engine/Clock.h"
#include "engine/EventKeyboard.h"
#include "engine/Manager.h"

#include <functional>

class TestAccess;

namespace mw {

// Starts and stops the engine's managers and runs the fixed-step game loop.
class GameManager : public Manager {
public:
    static constexpr int FRAME_TIME_MILLISECONDS = 33;

    static GameManager& getInstance();

    // Starts log, world, display, input and resource managers, in that order.
    int startUp() override;
    void shutDown() override;

    // Runs frames until game over is set.
    void run();

    void setGameOver(bool gameOver = true) { m_gameOver = gameOver; }
    bool getGameOver() const { return m_gameOver; }
    int getFrameTime() const { return m_frameTime; }

    // The step number the next frame will carry.
    static int getStepCount();

private:
    // Tests set up and read back state through it (tests/support/TestAccess.h);
    // the program never does.
    friend class ::TestAccess;

    // One frame as run() makes it: step broadcast, input, update, draw, show.
    // The input stage is given by the caller; the frame does not sleep.
    void runFrame(const std::function<void()>& input);

    static void resetStepCount();
    // Replaces the clock (nullptr restores the system clock).
    void setClock(Clock* clock);

    GameManager();

    bool m_gameOver = false;
    int m_frameTime = FRAME_TIME_MILLISECONDS;
    SystemClock m_systemClock;
    Clock* m_clock = &m_systemClock;
};

} // namespace mw
