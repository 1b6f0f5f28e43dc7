#pragma once

#include "engine/Clock.h"
#include "engine/EventKeyboard.h"
#include "engine/GameConfig.h"
#include "engine/Manager.h"

#include <memory>

namespace mw {

class InputSource;
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
    /// font): nothing could be shown, and run() would loop with nothing on the
    /// screen and no key to end it; call shutDown() and end. shutDown() stops
    /// what did start.
    /// On success its log line is "GameManager::startUp() - GM was started up".
    /// The same as startUp(GameConfig()): the engine's own title, font and log.
    [[nodiscard]] int startUp() override;
    /// startUp() for a game that names itself: its window title, font, log
    /// and data folder (GameConfig). Objects made before it are not in the
    /// world.
    [[nodiscard]] int startUp(const GameConfig& config);
    /// The configuration of the last startUp().
    const GameConfig& getConfig() const { return m_config; }
    /// Stops the world (deleting every object), input, display and resource
    /// managers, logs "GameManager::shutDown() - GM was shut down" and stops
    /// the log last.
    void shutDown() override;

    /// Runs frames until game over is set or a stop signal comes, each by
    /// runFrame(), sleeping out the rest of its FRAME_TIME_MILLISECONDS.
    void run();

    /// Runs one frame, as run() does, without sleeping, in this order:
    /// 1. an EventStep carrying getStepCount() goes to every object, and the
    ///    count goes up by one;
    /// 2. input: the window's key and mouse events, then one held event per
    ///    key and button down (or the input source's events, setInputSource());
    /// 3. the world's update: moves by velocity with their EventCollision and
    ///    EventOut, then the objects marked for deletion are deleted (a marked
    ///    object still receives events and collides until then);
    /// 4. every object draws itself, altitude 0 first;
    /// 5. the frame is shown, and the audio device is looked after.
    /// A game's tests call it to play frame by frame (see FrameDriver).
    void runFrame();
    /// Takes the frame's input from the source instead of the window; nullptr
    /// restores the window. The source is not owned.
    void setInputSource(InputSource* source) { m_inputSource = source; }
    /// The input source, or nullptr for the window.
    InputSource* getInputSource() const { return m_inputSource; }
    /// Replaces the clock that times the frames of run() (nullptr restores
    /// the system clock); not owned. A test's clock runs run() without waiting.
    void setClock(Clock* clock);

    /// Set during a frame, run() returns when the frame is over.
    void setGameOver(bool gameOver = true) { m_gameOver = gameOver; }
    /// Whether the game is over.
    bool getGameOver() const { return m_gameOver; }
    /// The length of a frame in milliseconds: FRAME_TIME_MILLISECONDS.
    int getFrameTime() const { return m_frameTime; }

    /// The step number the next frame will carry.
    static int getStepCount();
    /// Sets the step count back to 0, as run() does when it returns; for a
    /// host or a test that runs frames with runFrame().
    static void resetStepCount();

    /// The stop signal received since startUp() (SIGTERM, SIGINT or SIGHUP),
    /// or 0 for none.
    static int getStopSignal();

private:
    GameManager();

    /// Sets game over, with a log line, when a stop signal has come; true when
    /// the game is over.
    bool gameOverOrStopped();

    bool m_gameOver = false;
    int m_frameTime = FRAME_TIME_MILLISECONDS;
    std::unique_ptr<SystemClock> m_systemClock;
    Clock* m_clock;
    InputSource* m_inputSource = nullptr;
    GameConfig m_config;
};

} // namespace mw
