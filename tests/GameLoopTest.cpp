#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

using mw::GameManager;
using Button = sf::Mouse::Button;
using SfKey = sf::Keyboard::Key;
using Lines = std::vector<std::string>;

namespace {

// Each frame lasts frameCost by its two readings; game over comes with the
// end of the third. Sleeps are recorded, not slept.
struct FakeClock : mw::Clock {
    std::int64_t nowMilliseconds() override {
        GameManager::getInstance().setGameOver(++reads == 6);
        return reads % 2 == 1 ? 0 : frameCost;
    }
    void sleepMilliseconds(int milliseconds) override { sleeps.push_back(milliseconds); }
    void beginFinePeriod() override { fine = true; }
    void endFinePeriod() override { fine = false; }
    int reads = 0, frameCost = 10;
    bool fine = false;
    std::vector<int> sleeps;
};

class GameLoopTest : public mwtest::EngineTest {};

TEST_F(GameLoopTest, EachFrameSleepsOutItsThirtyThreeMillisecondsOrIsLoggedAsLate) {
    auto* recorder = new mwtest::Recorder;
    // frame cost, the sleeps, late-frame lines logged so far
    const std::tuple<int, std::vector<int>, int> cases[] = {
        {10, {23, 23, 23}, 0}, {33, {0, 0, 0}, 0}, {34, {}, 3}, {32, {1, 1, 1}, 3}};
    for (const auto& [frameCost, sleeps, late] : cases) {
        FakeClock clock;
        clock.frameCost = frameCost;
        TestAccess::setClock(&clock);
        recorder->events.clear();
        GameManager::getInstance().setGameOver(false);
        GameManager::getInstance().run();
        EXPECT_EQ(recorder->events, (Lines{"mw::step 0", "mw::step 1", "mw::step 2"}));
        EXPECT_EQ(clock.sleeps, sleeps) << frameCost;
        EXPECT_EQ(countLogged("GameManager::run() - Game loop taking longer than target time!"),
                  late);
        EXPECT_EQ(GameManager::getStepCount(), 0);
    }
    TestAccess::setClock(nullptr);
    GameManager::getInstance().run(); // game over is still set: no frame
    EXPECT_EQ(recorder->events.size(), 3u);
}

TEST(GameLoopLogTest, StartupAndShutdownBringEveryManagerUpAndDownInOrder) {
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "needs an X display";
    mwtest::ScratchDirectory scratch;
    std::filesystem::copy_file(mwtest::runDirectory() + "/mw-font.ttf", "mw-font.ttf");
    GameManager& game = GameManager::getInstance();
    FakeClock clock;
    TestAccess::setClock(&clock);
    game.setGameOver(true);
    ASSERT_EQ(game.startUp(), 0);
    EXPECT_TRUE(clock.fine && !game.getGameOver());
    const mw::Manager* managers[] = {&game,
                                     &mw::LogManager::getInstance(),
                                     &mw::WorldManager::getInstance(),
                                     &mw::DisplayManager::getInstance(),
                                     &mw::ResourceManager::getInstance(),
                                     &mw::InputManager::getInstance()};
    const char* types[] = {"GameManager", "LogManager", "WorldManager", "DisplayManager",
                           "ResourceManager"};
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(managers[i]->isStarted() && (i == 5 || managers[i]->getType() == types[i]));
    new mw::Object; // the world deletes it at shut-down
    game.shutDown();
    TestAccess::setClock(nullptr);
    for (const mw::Manager* manager : managers)
        EXPECT_FALSE(manager->isStarted()) << manager->getType();
    EXPECT_TRUE(!clock.fine && game.getGameOver() &&
                !mw::DisplayManager::getInstance().getWindow());
    EXPECT_TRUE(mw::WorldManager::getInstance().getAllObjects().isEmpty());
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
    std::filesystem::remove("marrowick.log");
    std::filesystem::create_directory("marrowick.log"); // in the way of the log file
    EXPECT_TRUE(log.startUp() == -1 && !log.isStarted() && log.writeLog("lost") == -1);
    struct Plain : mw::Manager {
    } plain;
    EXPECT_TRUE(plain.startUp() == 0 && plain.isStarted());
    plain.shutDown();
    EXPECT_FALSE(plain.isStarted());
}

class InputTest : public mwtest::EngineTest {};

TEST_F(InputTest, WindowEventsBecomeEngineEventsForEveryObject) {
    EXPECT_EQ(mw::InputManager::getInstance().startUp(), -1); // no display yet
    EXPECT_FALSE(mw::InputManager::getInstance().isStarted());
    auto* recorder = new mwtest::Recorder;
    using E = sf::Event;
    for (const E& event :
         {E{E::KeyPressed{SfKey::Num0}}, E{E::KeyReleased{SfKey::Hyphen}},
          E{E::KeyPressed{SfKey::A}}, E{E::KeyPressed{SfKey::Escape}},
          E{E::KeyReleased{SfKey::RShift}}, E{E::FocusLost{}},
          E{E::MouseButtonPressed{Button::Middle, {3, 4}}},
          E{E::MouseButtonReleased{Button::Right, {3, 4}}},
          E{E::MouseButtonPressed{Button::Extra1, {3, 4}}},
          E{E::MouseButtonReleased{Button::Left, {3, 4}}}, E{E::MouseMoved{{1023, 40}}}})
        TestAccess::handleEvent(event);
    EXPECT_FALSE(mw::GameManager::getInstance().getGameOver());
    TestAccess::handleEvent(sf::Event::Closed{});
    EXPECT_TRUE(mw::GameManager::getInstance().getGameOver());
    EXPECT_EQ(recorder->events, (std::vector<std::string>{
                                    "mw::keyboard 66 0", "mw::keyboard -1 1", "mw::keyboard 31 0",
                                    "mw::keyboard 2 0", "mw::keyboard 18 1", "mw::mouse 0 2",
                                    "mw::mouse 1 1", "mw::mouse 0 -1", "mw::mouse 1 0",
                                    // A pixel is 1/12 of a cell across, 1/32 down.
                                    "mw::mouse 3 -1 85.25 1.25"}));
    EXPECT_EQ(TestAccess::heldPollOrder()[0], mw::KEY_A);
    EXPECT_EQ(TestAccess::heldPollOrder()[66], mw::KEY_RIGHT_SHIFT);
    EXPECT_EQ(logLines().size(), 2u); // the input manager wrote nothing
}

class SoundTest : public mwtest::EngineTest {};

TEST_F(SoundTest, AFailedLoadIsLoggedAndAGoodOnePlaysOnce) {
    std::filesystem::copy_file(mwtest::runDirectory() + "/audio/hero-hit.wav", "hit.wav");
    writeFile("broken.wav", "RIFF but not really a wave file");
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    resources.startUp();
    EXPECT_EQ(resources.loadSound("missing.wav", "gone") + resources.loadSound("broken.wav", "x") +
                  resources.loadMusic("missing.wav", "theme"),
              -3);
    ASSERT_EQ(resources.loadSound("hit.wav", "hit") + resources.loadMusic("hit.wav", "theme"), 0);
    EXPECT_TRUE(resources.getSoundCount() == 1 && resources.getMusic("theme") != nullptr);
    for (const char* line : {"Sound - Unable to load sound 'gone' from file 'missing.wav'",
                             "Sound - Unable to load sound 'x' from file 'broken.wav'",
                             "Music - Unable to load music 'theme' from file 'missing.wav'"})
        EXPECT_EQ(countLogged(std::string("ResourceManager::load") + line), 1) << line;
    mw::Sound* sound = resources.getSound("hit");
    sound->play();
    EXPECT_EQ(sound->getVoice()->getStatus(), sf::Sound::Status::Playing);
    EXPECT_FALSE(sound->getVoice()->isLooping());
}

} // namespace
