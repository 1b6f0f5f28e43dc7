#include "engine/GameManager.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/InputManager.h"
#include "engine/InputSource.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "engine/internal/AudioDevice.h"
#include "engine/internal/SystemClock.h"

#include <csignal>
#include <iterator>

#include <signal.h>

namespace mw {

namespace {
int stepCount = 0;

struct StopSignal {
    int number;
    const char* name;
};
constexpr StopSignal STOP_SIGNALS[] = {
    {SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}, {SIGHUP, "SIGHUP"}};
constexpr std::size_t STOP_SIGNAL_COUNT = std::size(STOP_SIGNALS);

// The first stop signal received, or 0. Written by the handler only, which
// may run on any thread of the process (the audio library has its own).
volatile std::sig_atomic_t receivedStopSignal = 0;

// Per stop signal: whether our handler is installed, and what it replaced.
bool caught[STOP_SIGNAL_COUNT] = {};
struct sigaction replaced[STOP_SIGNAL_COUNT];

void onStopSignal(int number) {
    if (receivedStopSignal == 0)
        receivedStopSignal = number;
}

void catchStopSignals() {
    for (std::size_t i = 0; i < STOP_SIGNAL_COUNT; ++i) {
        struct sigaction current {};
        if (caught[i] || sigaction(STOP_SIGNALS[i].number, nullptr, &current) != 0 ||
            ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN))
            continue;
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        // Interrupted system calls go on: the signal only sets a flag.
        action.sa_flags = SA_RESTART;
        caught[i] = sigaction(STOP_SIGNALS[i].number, &action, &replaced[i]) == 0;
    }
    // A launcher can start the program with them blocked, so that one sent
    // before this point waits for the handler instead of killing the process.
    sigset_t handled;
    sigemptyset(&handled);
    for (std::size_t i = 0; i < STOP_SIGNAL_COUNT; ++i) {
        if (caught[i])
            sigaddset(&handled, STOP_SIGNALS[i].number);
    }
    pthread_sigmask(SIG_UNBLOCK, &handled, nullptr);
}

void releaseStopSignals() {
    if (receivedStopSignal != 0)
        return;
    for (std::size_t i = 0; i < STOP_SIGNAL_COUNT; ++i) {
        if (caught[i] && sigaction(STOP_SIGNALS[i].number, &replaced[i], nullptr) == 0)
            caught[i] = false;
    }
}

const char* stopSignalName(int number) {
    for (const StopSignal& stop : STOP_SIGNALS) {
        if (stop.number == number)
            return stop.name;
    }
    return "?";
}

} // namespace

GameManager::GameManager()
    : m_systemClock(std::make_unique<SystemClock>()), m_clock(m_systemClock.get()) {
    setType("GameManager");
}

GameManager::~GameManager() = default;

GameManager& GameManager::getInstance() {
    static GameManager instance;
    return instance;
}

int GameManager::getStepCount() {
    return stepCount;
}

int GameManager::getStopSignal() {
    return receivedStopSignal;
}

void GameManager::resetStepCount() {
    stepCount = 0;
}

void GameManager::setClock(Clock* clock) {
    m_clock = clock != nullptr ? clock : m_systemClock.get();
}

int GameManager::startUp() {
    return startUp(GameConfig());
}

int GameManager::startUp(const GameConfig& config) {
    m_config = config;
    LogManager::getInstance().setFileName(config.logFile);
    LogManager::getInstance().setFlush(config.flushLog);
    ResourceManager::getInstance().setDataFolder(config.dataFolder);
    DisplayManager::getInstance().setWindowTitle(config.windowTitle);
    DisplayManager::getInstance().setFontFile(
        ResourceManager::getInstance().getDataPath(config.fontFile));
    receivedStopSignal = 0;
    // First of all: a stop signal while the managers start and the game
    // loads is acted on when the loop begins.
    catchStopSignals();
    LogManager::getInstance().startUp();
    WorldManager::getInstance().startUp();
    DisplayManager::getInstance().startUp();
    InputManager::getInstance().startUp();
    ResourceManager::getInstance().startUp();
    m_clock->beginFinePeriod();
    m_gameOver = false;
    if (!DisplayManager::getInstance().isStarted()) {
        LogManager::getInstance().writeLog(
            "GameManager::startUp() - The display did not start; nothing can be shown");
        return -1;
    }
    LogManager::getInstance().writeLog("GameManager::startUp() - GM was started up");
    setStarted(true);
    return 0;
}

void GameManager::shutDown() {
    WorldManager::getInstance().shutDown();
    InputManager::getInstance().shutDown();
    DisplayManager::getInstance().shutDown();
    ResourceManager::getInstance().shutDown();
    m_gameOver = true;
    m_clock->endFinePeriod();
    setStarted(false);
    LogManager::getInstance().writeLog("GameManager::shutDown() - GM was shut down");
    LogManager::getInstance().shutDown();
    releaseStopSignals();
}

void GameManager::runFrame() {
    const EventStep step(stepCount++);
    onEvent(step);
    if (m_inputSource != nullptr)
        m_inputSource->getInput();
    else
        InputManager::getInstance().getInput();
    WorldManager& world = WorldManager::getInstance();
    world.update();
    world.draw();
    DisplayManager::getInstance().swapBuffers();
    AudioDevice::getInstance().poll();
}

bool GameManager::gameOverOrStopped() {
    const int stop = receivedStopSignal;
    if (stop != 0 && !m_gameOver) {
        LogManager::getInstance().writeLog("GameManager::run() - Stopped by %s",
                                           stopSignalName(stop));
        m_gameOver = true;
    }
    return m_gameOver;
}

void GameManager::run() {
    catchStopSignals();
    while (!gameOverOrStopped()) {
        const std::int64_t start = m_clock->nowMilliseconds();
        runFrame();
        const std::int64_t elapsed = m_clock->nowMilliseconds() - start;
        if (elapsed > m_frameTime)
            LogManager::getInstance().writeLog(
                "GameManager::run() - Game loop taking longer than target time!");
        else
            m_clock->sleepMilliseconds(static_cast<int>(m_frameTime - elapsed));
    }
    stepCount = 0;
}

} // namespace mw
