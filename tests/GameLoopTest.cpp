#include "engine/EventMouse.h"
#include "engine/EventStep.h"
#include "engine/FrameDriver.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "engine/internal/DurableFile.h"
#include "engine/internal/SystemClock.h"
#include "support/GameCopy.h"
#include "support/TestSupport.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <chrono>
#include <csignal>
#include <set>
#include <sstream>
#include <thread>

using mw::GameManager;
using Button = sf::Mouse::Button;
using SfKey = sf::Keyboard::Key;
using Lines = std::vector<std::string>;

// Records its events as "mw::step 3", "mw::keyboard 47 0" (key, action), "mw::mouse 1 0"
// (action, button).
struct Recorder : mw::Object {
    Recorder() { setSolidness(mw::INTANGIBLE); }
    int eventHandler(const mw::Event& event) override {
        std::ostringstream text;
        text << event.getType();
        if (const auto* step = dynamic_cast<const mw::EventStep*>(&event))
            text << ' ' << step->getStepCount();
        if (const auto* key = dynamic_cast<const mw::EventKeyboard*>(&event))
            text << ' ' << key->getKey() << ' ' << key->getKeyboardAction();
        if (const auto* mouse = dynamic_cast<const mw::EventMouse*>(&event))
            text << ' ' << mouse->getMouseAction() << ' ' << mouse->getMouseButton();
        events.push_back(text.str());
        return 1;
    }
    Lines events;
};

// Frames 100 milliseconds apart last 33 each; the third ends the game. Sleeps are recorded.
struct LoopClock : mw::Clock {
    std::int64_t nowMilliseconds() override {
        GameManager::getInstance().setGameOver(++reads == 6);
        return (reads + 1) / 2 * 100 + (reads % 2 == 0 ? 33 : 0);
    }
    void sleepMilliseconds(int milliseconds) override { sleeps.push_back(milliseconds); }
    void beginFinePeriod() override { fine = true; }
    void endFinePeriod() override { fine = false; }
    int reads = 0;
    bool fine = false;
    std::vector<int> sleeps;
};

using GameManagerTest = mwtest::EngineTest;

TEST_F(GameManagerTest, ManagersGoUpAndDownInOrderAroundFramesOf33MsUnderTheGamesOwnNames) {
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "needs an X display";
    std::filesystem::copy_file(MW_RUN_DIR "/mw-font.ttf", "mw-font.ttf");
    GameManager& game = GameManager::getInstance();
    LoopClock clock;
    mw::GameManager::getInstance().setClock(&clock);
    game.setGameOver(true);
    EXPECT_EQ(mw::InputManager::getInstance().startUp(), -1); // no display yet
    ASSERT_EQ(game.startUp(), 0);
    EXPECT_TRUE(clock.fine && !game.getGameOver());
    const std::pair<const mw::Manager*, std::string> managers[] = {
        {&game, "GameManager"},
        {&mw::LogManager::getInstance(), "LogManager"},
        {&mw::WorldManager::getInstance(), "WorldManager"},
        {&mw::DisplayManager::getInstance(), "DisplayManager"},
        {&mw::ResourceManager::getInstance(), "ResourceManager"},
        {&mw::InputManager::getInstance(), ""}}; // it names no type
    for (const auto& [manager, type] : managers)
        EXPECT_TRUE(manager->isStarted() && manager->getType() == type) << type;
    auto* recorder = new Recorder; // the world deletes it at shut-down
    game.run();                    // frames of exactly 33 milliseconds: on time, no sleep
    EXPECT_EQ(recorder->events, (Lines{"mw::step 0", "mw::step 1", "mw::step 2"}));
    EXPECT_TRUE(clock.sleeps == std::vector<int>(3, 0) && GameManager::getStepCount() == 0);
    recorder->events.clear();
    game.setGameOver(false); // until the window is closed
    using E = sf::Event;
    for (const E& event :
         {E{E::KeyPressed{SfKey::Num0}}, E{E::KeyReleased{SfKey::Hyphen}},
          E{E::KeyPressed{SfKey::A}}, E{E::KeyPressed{SfKey::B}}, E{E::KeyReleased{SfKey::RShift}},
          E{E::MouseButtonPressed{Button::Middle, {}}},
          E{E::MouseButtonReleased{Button::Extra1, {}}}, E{E::FocusLost{}}})
        mw::InputManager::getInstance().handleEvent(event);
    mw::InputManager::getInstance().handleEvent(sf::Event::Closed{});
    EXPECT_TRUE(game.getGameOver());
    EXPECT_EQ(recorder->events,
              (Lines{"mw::keyboard 66 0", "mw::keyboard -1 1", "mw::keyboard 31 0",
                     "mw::keyboard 32 0", "mw::keyboard 18 1", "mw::mouse 0 2", "mw::mouse 1 -1"}));
    game.shutDown();
    for (const auto& [manager, type] : managers)
        EXPECT_FALSE(manager->isStarted()) << type;
    EXPECT_TRUE(!clock.fine && game.getGameOver() &&
                !mw::DisplayManager::getInstance().getWindow());
    EXPECT_EQ(mwtest::readLines("marrowick.log"),
              (Lines{"LogManager::startUp() - LM was started",
                     "WorldManager::startUp() - WM was started up",
                     "DisplayManager::startUp() - DM was started up",
                     "InputManager::startUp() - IM was started up",
                     "ResourceManager::startUp() - RM was started",
                     "GameManager::startUp() - GM was started up",
                     "InputManager::shutDown() - IM was shut down",
                     "DisplayManager::shutDown() - DM was shut down",
                     "ResourceManager::shutDown() - RM was shut down",
                     "GameManager::shutDown() - GM was shut down",
                     "LogManager::shutDown() - LM was shutdown"}));
    std::filesystem::remove("marrowick.log"); // the engine's own, which the game does not name
    std::filesystem::create_directories("data/fonts");
    std::filesystem::create_directories("data/sprites");
    std::filesystem::copy_file(MW_RUN_DIR "/mw-font.ttf", "data/fonts/dusk.ttf");
    std::ofstream("data/sprites/dot.txt") << "1\n1\n1\n1\nred\n*\n";
    mw::GameConfig config;
    config.windowTitle = "Lighthouse at Dusk";
    config.fontFile = "fonts/dusk.ttf";
    config.logFile = "dusk.log";
    config.flushLog = true;
    config.dataFolder = "data";
    ASSERT_EQ(game.startUp(config), 0);
    EXPECT_EQ(std::system("timeout 10 xdotool search --sync --name '^Lighthouse at Dusk$' "
                          ">/dev/null"),
              0);
    EXPECT_EQ(mw::ResourceManager::getInstance().loadSprite("sprites/dot.txt", "dot"), 0);
    EXPECT_EQ(mwtest::readLines("dusk.log").back(), // read while the log is open
              "ResourceManager::loadSprite - Loaded Sprite in 'data/sprites/dot.txt' with label "
              "'dot' succesfully");
    game.shutDown();
    EXPECT_FALSE(std::filesystem::exists("marrowick.log"));
    const std::string display = std::getenv("DISPLAY");
    for (const std::string reason : {"DISPLAY is not set", "cannot open the X display ':9999'"}) {
        if (reason.starts_with("DISPLAY"))
            unsetenv("DISPLAY");
        else
            setenv("DISPLAY", ":9999", 1); // no X server there
        testing::internal::CaptureStderr();
        EXPECT_EQ(game.startUp(config), -1);
        const std::string noDesktop = testing::internal::GetCapturedStderr();
        game.shutDown();
        EXPECT_EQ(mw::DisplayManager::getInstance().startUp(), -1); // as a library user calls it
        setenv("DISPLAY", display.c_str(), 1);
        EXPECT_EQ(noDesktop, "Lighthouse at Dusk needs a desktop: " + reason + ".\n");
        EXPECT_EQ(mwtest::readLines("dusk.log"),
                  (Lines{"LogManager::startUp() - LM was started",
                         "WorldManager::startUp() - WM was started up",
                         "DisplayManager::startUp() - No window: " + reason,
                         "ResourceManager::startUp() - RM was started",
                         "GameManager::startUp() - The display did not start; nothing can be shown",
                         "InputManager::shutDown() - IM was shut down",
                         "DisplayManager::shutDown() - DM was shut down",
                         "ResourceManager::shutDown() - RM was shut down",
                         "GameManager::shutDown() - GM was shut down",
                         "LogManager::shutDown() - LM was shutdown"}));
    }
}

using FrameStepTest = mwtest::EngineTest;

TEST_F(FrameStepTest, OneFrameRunsTheLoopsOrderAndADriverFeedsItKeysWithoutAWindow) {
    mw::WorldManager& world = mw::WorldManager::getInstance();
    auto* recorder = new Recorder;
    auto* doomed = new Recorder;
    {
        mw::FrameDriver driver;
        driver.press(mw::KEY_Z);
        driver.tap(mw::KEY_B);
        driver.press(mw::KEY_A);
        driver.advance();
        ASSERT_EQ(world.markForDelete(doomed), 0);
        driver.release(mw::KEY_Z);
        driver.advance(2);
        EXPECT_TRUE(driver.isHeld(mw::KEY_A) && !driver.isHeld(mw::KEY_Z) &&
                    !driver.isHeld(mw::KEY_B));
    }
    GameManager::getInstance().runFrame();
    EXPECT_EQ(recorder->events,
              (Lines{"mw::step 0", "mw::keyboard 56 0", "mw::keyboard 32 0", "mw::keyboard 32 1",
                     "mw::keyboard 31 0", "mw::keyboard 31 2", "mw::keyboard 56 2", "mw::step 1",
                     "mw::keyboard 56 1", "mw::keyboard 31 2", "mw::step 2", "mw::keyboard 31 2",
                     "mw::step 3"}));
    EXPECT_EQ(GameManager::getStepCount(), 4);
    EXPECT_EQ(world.getAllObjects().getCount(), 1);
}

TEST(GameLoopLogTest, TheLogWritesOneLinePerCallBetweenItsStartAndShutdownLines) {
    mwtest::ScratchDirectory scratch;
    mw::LogManager& log = mw::LogManager::getInstance();
    EXPECT_EQ(log.writeLog("before the start"), -1);
    ASSERT_EQ(log.startUp(), 0);
    ASSERT_EQ(log.startUp(), 0); // a second start begins the log again
    EXPECT_EQ(log.writeLog("Hero: knockdown #%d, need %d presses", 2, 70), 36);
    EXPECT_EQ(log.writeLog("%s", std::string(5000, 'x').c_str()), 2048);
    EXPECT_EQ(log.writeLog("open '%s' %s", "100%s%d%n.txt", "50%"), 25);
    EXPECT_EQ(log.writeLog("%s", ""), 1);
    EXPECT_EQ(log.writeLog("%ls", L"\u00e9"), -1); // the C locale cannot write it
    log.shutDown();
    EXPECT_EQ(log.writeLog("after the shutdown"), -1);
    EXPECT_EQ(mwtest::readLines("marrowick.log"),
              (Lines{"LogManager::startUp() - LM was started",
                     "Hero: knockdown #2, need 70 presses", std::string(2047, 'x'),
                     "open '100%s%d%n.txt' 50%", "", "LogManager::shutDown() - LM was shutdown"}));
    for (const bool running : {false, true}) { // a first start, and a restart of an open log
        if (running) {
            ASSERT_EQ(log.startUp(), 0);
        }
        std::filesystem::remove("marrowick.log");
        std::filesystem::create_directory("marrowick.log"); // in the way of the log file
        EXPECT_TRUE(log.startUp() == -1 && !log.isStarted() && log.writeLog("lost") == -1)
            << running;
        std::filesystem::remove("marrowick.log");
    }
    struct : mw::Manager { // the defaults that every manager overrides
    } plain;
    EXPECT_TRUE(plain.startUp() == 0 && plain.isStarted());
    plain.shutDown();
    EXPECT_FALSE(plain.isStarted());
}

TEST(SystemClockTest, ASleepLastsAtLeastItsTimeInEitherPeriod) {
    mw::SystemClock clock;
    for (const bool fine : {false, true}) {
        if (fine)
            clock.beginFinePeriod();
        const std::int64_t start = clock.nowMilliseconds();
        clock.sleepMilliseconds(30);
        clock.sleepMilliseconds(-5); // nothing to wait for
        EXPECT_GE(clock.nowMilliseconds() - start, 30) << fine;
    }
    clock.endFinePeriod();
    EXPECT_FALSE(clock.isFinePeriod());
}

// Raises a signal halfway through a rewrite of "hsdata.txt" at its step, another when deleted.
struct SignalRaiser : mw::Object {
    SignalRaiser(int signal, int atStep, int atShutDown)
        : m_signal(signal), m_atStep(atStep), m_atShutDown(atShutDown) {
        setSolidness(mw::INTANGIBLE);
    }
    ~SignalRaiser() override {
        if (m_atShutDown != 0)
            std::raise(m_atShutDown);
    }
    int eventHandler(const mw::Event& event) override {
        const auto* step = dynamic_cast<const mw::EventStep*>(&event);
        if (step == nullptr)
            return 0;
        steps += std::to_string(step->getStepCount()) + ' ';
        if (step->getStepCount() == m_atStep) {
            mw::DurableFile rewrite("hsdata.txt");
            std::fputs("105\n", rewrite.getStream());
            std::raise(m_signal);
            std::fputs("130\n207\n", rewrite.getStream());
            rewrite.commit();
        }
        return 1;
    }
    static inline std::string steps;
    const int m_signal, m_atStep, m_atShutDown;
};

// Frames take no time; the tenth ends the game if nothing else has.
struct InstantClock : mw::Clock {
    std::int64_t nowMilliseconds() override {
        if (++reads == 20)
            GameManager::getInstance().setGameOver(true);
        return 0;
    }
    void sleepMilliseconds(int) override {}
    int reads = 0;
};

int interruptsSeen = 0;

// The shut-down goes on in its usual order through signals during and after it; without a
// stop the host's handlers are back after shutDown. A child each, as handlers outlive a stop.
TEST(GameLoopSignalTest, AStopSignalEndsTheLoopAfterItsFrameAndLaterOnesChangeNothing) {
    const struct {
        int signal, atStep, atShutDown, afterwards;
        bool hostHandlers; // SIGHUP ignored and SIGINT handled before the game starts
        const char* seen;  // steps | stop signal, host's SIGINTs, SIGTERM at its default | log
    } rows[] = {
        {SIGTERM, 2, SIGINT, SIGHUP, false, "0 1 2 | 15 0 0 | Stopped by SIGTERM"},
        {SIGINT, 0, SIGHUP, SIGTERM, false, "0 | 2 0 0 | Stopped by SIGINT"},
        {SIGHUP, 4, SIGTERM, SIGINT, false, "0 1 2 3 4 | 1 0 0 | Stopped by SIGHUP"},
        // The host's SIGHUP stays ignored: the clock ends the game.
        {SIGHUP, 3, 0, SIGINT, true, "0 1 2 3 4 5 6 7 8 9 | 0 1 1 | no stop"},
    };
    for (const auto& row : rows) {
        mwtest::ScratchDirectory scratch;
        gametest::GameCopy child([&row] {
            if (row.hostHandlers) {
                std::signal(SIGHUP, SIG_IGN);
                std::signal(SIGINT, [](int) { ++interruptsSeen; });
            }
            InstantClock clock;
            GameManager& game = GameManager::getInstance();
            game.setClock(&clock);
            game.setGameOver(false);
            mw::LogManager::getInstance().startUp();
            mw::WorldManager::getInstance().startUp();
            new SignalRaiser(row.signal, row.atStep, row.atShutDown);
            game.run();
            game.shutDown();
            std::raise(row.afterwards);
            struct sigaction term {};
            sigaction(SIGTERM, nullptr, &term);
            std::set<std::string> files;
            for (const auto& entry : std::filesystem::directory_iterator("."))
                files.insert(entry.path().filename().string());
            const Lines log = mwtest::readLines("marrowick.log");
            if (mwtest::readLines("hsdata.txt") != Lines{"105", "130", "207"} ||
                files != std::set<std::string>{"hsdata.txt", "marrowick.log"} ||
                log.back() != "LogManager::shutDown() - LM was shutdown")
                return std::string("a file cut short, or a temporary one left");
            const auto stop = std::ranges::find_if(log, [](const std::string& line) {
                return line.starts_with("GameManager::run()");
            });
            std::ostringstream seen;
            seen << SignalRaiser::steps << "| " << GameManager::getStopSignal() << ' '
                 << interruptsSeen << ' ' << (term.sa_handler == SIG_DFL) << " | "
                 << (stop == log.end() ? "no stop" : stop->substr(21));
            return seen.str();
        });
        EXPECT_EQ(child.heard(), row.seen) << "signal " << row.signal;
        EXPECT_TRUE(child.finish()) << "signal " << row.signal;
    }
}

using WindowInputTest = mwtest::EngineTest;

// Held for a second, past the X server's key repeat delay; after shut-down the window repeats
// the press again. A held key is held for every window on a server: this runs on its own.
// Unseen: the window's events taken away unread. One let go unseen is dropped at the next
// poll; one pressed unseen between start and focus is not polled for.
TEST_F(WindowInputTest, AKeyHeldIsOnePressThenHeldUntilItsReleaseAndOnesDownUnseenAreFound) {
    if (std::getenv("MW_RUN_ALONE") == nullptr)
        GTEST_SKIP() << "runs on an X server of its own";
    MW_OPEN_WINDOW();
    mw::InputManager& input = mw::InputManager::getInstance();
    ASSERT_EQ(input.startUp(), 0);
    auto* recorder = new Recorder;
    const auto frames = [&](int count) {
        for (int frame = 0; frame < count; ++frame) {
            mw::GameManager::getInstance().runFrame();
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
        }
    };
    // How often Q was pressed (0), released (1) and held (2), and whether anything else came.
    const auto holdQ = [&] {
        recorder->events.clear();
        frames(3);
        EXPECT_EQ(
            std::system("xdotool search --sync --name Marrowick windowfocus --sync keydown q"), 0);
        frames(30);
        EXPECT_EQ(std::system("xdotool keyup q"), 0);
        frames(3);
        std::array<int, 4> seen{};
        const std::string q = "mw::keyboard " + std::to_string(mw::KEY_Q) + " ";
        for (const std::string& event : recorder->events)
            if (event.starts_with(q))
                ++seen[event.back() - '0'];
            else if (event.starts_with("mw::keyboard"))
                ++seen[3];
        return seen;
    };
    const std::array<int, 4> held = holdQ();
    EXPECT_TRUE(held[0] == 1 && held[1] == 1 && held[2] >= 28 && held[3] == 0)
        << held[0] << " " << held[1] << " " << held[2] << " " << held[3];
    input.shutDown();
    EXPECT_GE(holdQ()[0], 2);
    sf::RenderWindow& window = *mw::DisplayManager::getInstance().getWindow();
    const struct {
        const char* xdotool; // done unseen before the frame
        bool startUp, focusGained;
        Lines frame;
    } steps[] = {
        {"keydown q mousedown 1", true, false, {"mw::keyboard 47 2", "mw::mouse 2 0"}},
        {"", false, false, {"mw::keyboard 47 2", "mw::mouse 2 0"}},
        {"keyup q mouseup 1", false, false, {}},
        {"keydown w", false, false, {}},
        {"", false, true, {"mw::keyboard 53 2"}},
        {"keyup w", false, false, {}},
    };
    for (const auto& step : steps) {
        if (*step.xdotool != '\0') {
            ASSERT_EQ(std::system((std::string("xdotool ") + step.xdotool).c_str()), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        while (window.pollEvent())
            continue;
        if (step.startUp) {
            ASSERT_EQ(input.startUp(), 0);
        }
        if (step.focusGained)
            mw::InputManager::getInstance().handleEvent(sf::Event::FocusGained{});
        recorder->events.clear();
        mw::GameManager::getInstance().runFrame();
        std::erase_if(recorder->events,
                      [](const std::string& e) { return e.starts_with("mw::step"); });
        EXPECT_EQ(recorder->events, step.frame) << step.xdotool;
    }
}
