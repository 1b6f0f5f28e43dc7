#include "engine/GameManager.h"

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/InputManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"

namespace mw {

namespace {
int stepCount = 0;
}

GameManager::GameManager() {
    setType("GameManager");
}

GameManager& GameManager::getInstance() {
    static GameManager instance;
    return instance;
}

int GameManager::getStepCount() {
    return stepCount;
}

void GameManager::resetStepCount() {
    stepCount = 0;
}

void GameManager::setClock(Clock* clock) {
    m_clock = clock != nullptr ? clock : &m_systemClock;
}

int GameManager::startUp() {
    LogManager::getInstance().startUp();
    WorldManager::getInstance().startUp();
    DisplayManager::getInstance().startUp();
    InputManager::getInstance().startUp();
    ResourceManager::getInstance().startUp();
    m_clock->beginFinePeriod();
    m_gameOver = false;
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
}

void GameManager::runFrame(const std::function<void()>& input) {
    const EventStep step(stepCount++);
    onEvent(step);
    input();
    WorldManager& world = WorldManager::getInstance();
    world.update();
    world.draw();
    DisplayManager::getInstance().swapBuffers();
}

void GameManager::run() {
    const auto windowInput = [] { InputManager::getInstance().getInput(); };
    while (!m_gameOver) {
        const std::int64_t start = m_clock->nowMilliseconds();
        runFrame(windowInput);
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
