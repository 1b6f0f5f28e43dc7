#include "engine/Clock.h"
#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/WorldManager.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <algorithm>

using mw::GameManager;

namespace {

// A clock that moves only when told: each frame takes frameCost milliseconds.
class FakeClock : public mw::Clock {
public:
    explicit FakeClock(std::int64_t start) : now(start) {}
    std::int64_t nowMilliseconds() override {
        // Readings alternate between a frame's start and its end.
        const std::int64_t reading = now;
        if (startOfFrame)
            now += frameCost;
        startOfFrame = !startOfFrame;
        return reading;
    }
    void sleepMilliseconds(int milliseconds) override {
        sleeps.push_back(milliseconds);
        now += milliseconds;
    }
    std::int64_t now;
    int frameCost = 10;
    bool startOfFrame = true;
    std::vector<int> sleeps;
};

// Sets game over once it has seen a given number of steps.
class Stopper : public mw::Object {
public:
    explicit Stopper(int stopAt) : m_stopAt(stopAt) {}
    int eventHandler(const mw::Event& event) override {
        if (event.getType() != mw::STEP_EVENT)
            return 0;
        steps.push_back(static_cast<const mw::EventStep&>(event).getStepCount());
        if (static_cast<int>(steps.size()) == m_stopAt)
            GameManager::getInstance().setGameOver(true);
        return 1;
    }
    int draw() override {
        ++draws;
        return 0;
    }
    std::vector<int> steps;
    int draws = 0;

private:
    int m_stopAt;
};

class GameLoopTest : public mwtest::EngineTest {
protected:
    int lateLines() const {
        return countLogged("GameManager::run() - Game loop taking longer than target time!");
    }
};

TEST_F(GameLoopTest, SleepsTheRestOfEachFrameOrLogsALateOne) {
    struct Case {
        const char* name;
        std::int64_t start;
        int frameCost;
        std::vector<int> sleeps;
        int late;
    };
    const Case cases[] = {
        {"fast frames", 0, 10, {23, 23, 23}, 0},
        {"exactly on time", 0, 33, {0, 0, 0}, 0},
        {"slow frames", 0, 40, {}, 3},
        {"across the hour", 3599990, 10, {23, 23, 23}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock clock(c.start);
        clock.frameCost = c.frameCost;
        TestAccess::setClock(&clock);
        GameManager::getInstance().setGameOver(false);
        const int lateBefore = lateLines();
        auto* stopper = new Stopper(3);
        GameManager::getInstance().run();
        EXPECT_EQ(stopper->steps, (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(stopper->draws, 3);
        EXPECT_EQ(clock.sleeps, c.sleeps);
        EXPECT_EQ(lateLines() - lateBefore, c.late);
        EXPECT_EQ(GameManager::getStepCount(), 0);
        mw::WorldManager::getInstance().markForDelete(stopper);
        mw::WorldManager::getInstance().update();
    }
}

TEST_F(GameLoopTest, RunWithGameOverAlreadySetRunsNoFrame) {
    FakeClock clock(0);
    TestAccess::setClock(&clock);
    auto* stopper = new Stopper(1);
    GameManager::getInstance().setGameOver(true);
    GameManager::getInstance().run();
    EXPECT_TRUE(stopper->steps.empty());
    EXPECT_EQ(GameManager::getStepCount(), 0);
}

TEST_F(GameLoopTest, StepNumbersRunWithoutGapsAndStartAgainAfterARun) {
    FakeClock clock(0);
    TestAccess::setClock(&clock);
    auto* stopper = new Stopper(50);
    GameManager::getInstance().run();
    ASSERT_EQ(stopper->steps.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(stopper->steps[i], i);
    auto* second = new Stopper(2);
    GameManager::getInstance().setGameOver(false);
    GameManager::getInstance().run();
    EXPECT_EQ(second->steps, (std::vector<int>{0, 1}));
}

TEST(GameLoopLogTest, StartupAndShutdownLinesComeInTheirOrder) {
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "needs an X display";
    mwtest::ScratchDirectory scratch;
    std::filesystem::copy_file(std::filesystem::path(mwtest::runDirectory()) / "mw-font.ttf",
                               scratch.path() / "mw-font.ttf");
    GameManager& game = GameManager::getInstance();
    game.startUp();
    new mw::Object; // the world deletes it at shut-down
    game.shutDown();
    const auto lines = mwtest::readLines(scratch.path() / "marrowick.log");
    const std::vector<std::string> expected = {
        "LogManager::startUp() - LM was started",
        "WorldManager::startUp() - WM was started up",
        "DisplayManager::startUp() - DM was started up",
        "InputManager::startUp() - IM was started up",
        "ResourceManager::startUp() - RM was started",
        "GameManager::startUp() - GM was started up",
        "InputManager::shutDown() - IM was shut down",
        "DisplayManager::shutDown() - DM was shut down",
        "ResourceManager::shutDown() - RM was shut down",
        "GameManager::shutDown() - GM was shut down",
        "LogManager::shutDown() - LM was shutdown",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_TRUE(mw::WorldManager::getInstance().getAllObjects().isEmpty());
    EXPECT_TRUE(game.getGameOver());
    EXPECT_EQ(mw::DisplayManager::getInstance().getWindow(), nullptr);
}

} // namespace
