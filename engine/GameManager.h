#pragma once

#include "engine/Clock.h"
#include "engine/EventKeyboard.h"
#include "engine/Manager.h"

#include <functional>
#include <memory>

class TestAccess;

namespace mw {

class SystemClock;

/// Starts and stops the engine's managers and runs the fixed-step game loop.
///
/// From the start of startUp() (or of run(), for a host that starts the
/// managers itself) to the end of shutDown(), SIGTERM, SIGINT and SIGHUP end
/// the game as the window's close button does: the loop ends after the current
/// frame and everything shuts down in the usual order; one that comes while
/// the game loads ends the loop before its first frame. The handler only
/// records the signal; the loop reads it once a frame. A stop signal that the
/// process was started with ignored (nohup, a background job of a script) stays
/// ignored; one that it was started with blocked is unblocked once the handler
/// is there, and one already pending is acted on then. shutDown() gives back the handlers that were
/// there before, unless a stop signal came: the process was asked to end, and the handlers stay so
/// that another signal cannot cut the rest of its exit short. A host with a
/// loop of its own reads getStopSignal().
class GameManager : public Manager {
public:
    /// The length of one frame of the game loop.
    static constexpr int FRAME_TIME_MILLISECONDS = 33;

    /// The one game manager.
    static GameManager& getInstance();
    ~GameManager() override;

    /// Starts log, world, display, input and resource managers, in that order.
    /// -1, with a log line, when the display did not start (no window or no
    /// font): nothing could be shown. shutDown() stops what did start.
    /// On success its log line is "GameManager::startUp() - GM was started up".
    int startUp() override;
    /// Stops the world (deleting every object), input, display and resource
    /// managers, logs "GameManager::shutDown() - GM was shut down" and stops
    /// the log last.
    void shutDown() override;

    /// Runs frames until game over is set or a stop signal comes.
    void run();

    /// Set during a frame, run() returns when the frame is over.
    void setGameOver(bool gameOver = true) { m_gameOver = gameOver; }
    /// Whether the game is over.
    bool getGameOver() const { return m_gameOver; }
    /// The length of a frame in milliseconds: FRAME_TIME_MILLISECONDS.
    int getFrameTime() const { return m_frameTime; }

    /// The step number the next frame will carry.
    static int getStepCount();

    /// The stop signal received since startUp() (SIGTERM, SIGINT or SIGHUP),
    /// or 0 for none.
    static int getStopSignal();

private:
    /// Tests set up and read back state through it (tests/support/TestAccess.h);
    /// the program never does.
    friend class ::TestAccess;

    /// One frame as run() makes it: step broadcast, input, update, draw, show.
    /// The input stage is given by the caller; the frame does not sleep.
    void runFrame(const std::function<void()>& input);

    static void resetStepCount();
    /// Replaces the clock (nullptr restores the system clock).
    void setClock(Clock* clock);

    GameManager();

    /// Sets game over, with a log line, when a stop signal has come; true when
    /// the game is over.
    bool gameOverOrStopped();

    bool m_gameOver = false;
    int m_frameTime = FRAME_TIME_MILLISECONDS;
    std::unique_ptr<SystemClock> m_systemClock;
    Clock* m_clock;
};

} // namespace mw
