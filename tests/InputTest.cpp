#include "engine/GameManager.h"
#include "engine/InputManager.h"
#include "support/FrameDriver.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <SFML/Window/Event.hpp>

using mw::InputManager;
using SfKey = sf::Keyboard::Key;

namespace {

class InputTest : public mwtest::EngineTest {};

TEST(KeyTableTest, TranslatesEverySfmlKey) {
    const std::pair<SfKey, int> cases[] = {
        {SfKey::A, 31},
        {SfKey::O, 45},
        {SfKey::P, 46},
        {SfKey::Q, 47},
        {SfKey::T, 50},
        {SfKey::W, 53},
        {SfKey::Z, 56},
        {SfKey::F1, 19},
        {SfKey::F12, 30},
        {SfKey::Num1, 57},
        {SfKey::Num9, 65},
        {SfKey::Num0, 66},
        {SfKey::Space, 0},
        {SfKey::Enter, 1},
        {SfKey::Escape, 2},
        {SfKey::Tab, 3},
        {SfKey::Left, 4},
        {SfKey::Right, 5},
        {SfKey::Up, 6},
        {SfKey::Down, 7},
        {SfKey::Pause, 8},
        {SfKey::Subtract, 9},
        {SfKey::Add, 10},
        {SfKey::Grave, 11},
        {SfKey::Period, 12},
        {SfKey::Comma, 13},
        {SfKey::Slash, 14},
        {SfKey::LControl, 15},
        {SfKey::RControl, 16},
        {SfKey::LShift, 17},
        {SfKey::RShift, 18},
        // Keys the engine has no code for.
        {SfKey::Hyphen, -1},
        {SfKey::Equal, -1},
        {SfKey::Backspace, -1},
        {SfKey::Delete, -1},
        {SfKey::Numpad5, -1},
        {SfKey::F13, -1},
        {SfKey::LAlt, -1},
        {SfKey::Semicolon, -1},
        {SfKey::Multiply, -1},
        {SfKey::Unknown, -1},
    };
    for (const auto& [sfKey, key] : cases)
        EXPECT_EQ(InputManager::translateKey(sfKey), key) << static_cast<int>(sfKey);

    // Every engine key appears exactly once in the poll order.
    std::vector<bool> seen(mw::KEY_COUNT, false);
    for (const mw::Key key : TestAccess::heldPollOrder()) {
        ASSERT_GE(key, 0);
        EXPECT_FALSE(seen[key]) << key;
        seen[key] = true;
    }
    EXPECT_EQ(TestAccess::heldPollOrder().front(), mw::KEY_A);
    EXPECT_EQ(TestAccess::heldPollOrder()[26], mw::KEY_F1);
    EXPECT_EQ(TestAccess::heldPollOrder()[38], mw::KEY_0);
    EXPECT_EQ(TestAccess::heldPollOrder().back(), mw::KEY_RIGHT_SHIFT);
}

TEST_F(InputTest, WindowEventsBecomeEngineEvents) {
    auto* recorder = new mwtest::Recorder;
    TestAccess::handleEvent(sf::Event{sf::Event::KeyPressed{SfKey::Num0}});
    TestAccess::handleEvent(sf::Event{sf::Event::KeyReleased{SfKey::Hyphen}});
    TestAccess::handleEvent(
        sf::Event{sf::Event::MouseButtonPressed{sf::Mouse::Button::Extra1, {3, 4}}});
    TestAccess::handleEvent(
        sf::Event{sf::Event::MouseButtonReleased{sf::Mouse::Button::Right, {3, 4}}});
    TestAccess::handleEvent(sf::Event{sf::Event::FocusLost{}});
    EXPECT_EQ(recorder->events, (std::vector<std::string>{"mw::keyboard 66 0", "mw::keyboard -1 1",
                                                          "mw::mouse 0 -1", "mw::mouse 1 1"}));
    EXPECT_FALSE(mw::GameManager::getInstance().getGameOver());
    TestAccess::handleEvent(sf::Event{sf::Event::Closed{}});
    EXPECT_TRUE(mw::GameManager::getInstance().getGameOver());
    EXPECT_EQ(recorder->events.size(), 4u);
}

// Keeps the position of the last mouse event.
class MouseProbe : public mw::Object {
public:
    int eventHandler(const mw::Event& event) override {
        if (event.getType() == mw::MOUSE_EVENT)
            position = static_cast<const mw::EventMouse&>(event).getMousePosition();
        return 1;
    }
    mw::Vector position;
};

TEST_F(InputTest, MousePixelsBecomeCells) {
    auto* probe = new MouseProbe;
    const std::pair<sf::Vector2i, mw::Vector> cases[] = {
        {{1023, 767}, {85.25f, 23.96875f}}, {{100, 40}, {100.0f / 12, 1.25f}}, {{0, 0}, {0, 0}}};
    for (const auto& [pixel, cells] : cases) {
        TestAccess::handleEvent(sf::Event{sf::Event::MouseMoved{pixel}});
        EXPECT_FLOAT_EQ(probe->position.getX(), cells.getX());
        EXPECT_FLOAT_EQ(probe->position.getY(), cells.getY());
    }
}

TEST_F(InputTest, TheFrameDriverSendsPressedHeldAndReleasedInTheLoopsOrder) {
    auto* recorder = new mwtest::Recorder;
    mw::FrameDriver driver;
    driver.press(mw::KEY_W);
    driver.press(mw::KEY_Q);
    driver.advance();
    driver.advance();
    driver.release(mw::KEY_W);
    driver.advance();
    driver.tap(mw::KEY_P);
    driver.advance();
    EXPECT_EQ(recorder->events,
              (std::vector<std::string>{
                  "mw::step 0", "mw::keyboard 53 0", "mw::keyboard 47 0",
                  // Held keys come in poll order (Q before W), whatever the press order.
                  "mw::keyboard 47 2", "mw::keyboard 53 2", "mw::step 1", "mw::keyboard 47 2",
                  "mw::keyboard 53 2", "mw::step 2", "mw::keyboard 53 1", "mw::keyboard 47 2",
                  // A tap between two frames sends no held event.
                  "mw::step 3", "mw::keyboard 46 0", "mw::keyboard 46 1", "mw::keyboard 47 2"}));
}

} // namespace
