#include "support/FrameDriver.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

using SfKey = sf::Keyboard::Key;

namespace {

class InputTest : public mwtest::EngineTest {};

TEST_F(InputTest, WindowEventsBecomeEngineEventsAndTheFrameDriverSendsThemInTheLoopsOrder) {
    EXPECT_EQ(mw::InputManager::getInstance().startUp(), -1); // no display yet
    EXPECT_FALSE(mw::InputManager::getInstance().isStarted());
    auto* recorder = new mwtest::Recorder;
    for (const sf::Event& event :
         {sf::Event{sf::Event::KeyPressed{SfKey::Num0}},
          {sf::Event::KeyReleased{SfKey::Hyphen}},
          {sf::Event::KeyPressed{SfKey::A}},
          {sf::Event::KeyPressed{SfKey::Escape}},
          {sf::Event::MouseButtonPressed{sf::Mouse::Button::Middle, {3, 4}}},
          {sf::Event::MouseButtonReleased{sf::Mouse::Button::Right, {3, 4}}},
          {sf::Event::MouseButtonPressed{sf::Mouse::Button::Extra1, {3, 4}}},
          {sf::Event::MouseButtonReleased{sf::Mouse::Button::Left, {3, 4}}},
          {sf::Event::FocusLost{}},
          {sf::Event::MouseMoved{{1023, 40}}}})
        TestAccess::handleEvent(event);
    EXPECT_FALSE(mw::GameManager::getInstance().getGameOver());
    TestAccess::handleEvent(sf::Event::Closed{});
    EXPECT_TRUE(mw::GameManager::getInstance().getGameOver());
    mw::FrameDriver driver;
    driver.press(mw::KEY_W);
    driver.press(mw::KEY_Q);
    driver.advance(2);
    driver.release(mw::KEY_W);
    driver.advance();
    driver.tap(mw::KEY_P);
    driver.advance();
    EXPECT_EQ(
        recorder->events,
        (std::vector<std::string>{
            "mw::keyboard 66 0", "mw::keyboard -1 1", "mw::keyboard 31 0", "mw::keyboard 2 0",
            "mw::mouse 0 2", "mw::mouse 1 1", "mw::mouse 0 -1", "mw::mouse 1 0",
            // A pixel is a twelfth of a cell across and a thirty-second down.
            "mw::mouse 3 -1 85.25 1.25", "mw::step 0", "mw::keyboard 53 0", "mw::keyboard 47 0",
            // Held keys come in poll order (Q before W), whatever the press order.
            "mw::keyboard 47 2", "mw::keyboard 53 2", "mw::step 1", "mw::keyboard 47 2",
            "mw::keyboard 53 2", "mw::step 2", "mw::keyboard 53 1", "mw::keyboard 47 2",
            // A tap between two frames sends no held event.
            "mw::step 3", "mw::keyboard 46 0", "mw::keyboard 46 1", "mw::keyboard 47 2"}));
    EXPECT_EQ(TestAccess::heldPollOrder()[0], mw::KEY_A);
    EXPECT_EQ(logLines().size(), 2u); // the input manager wrote nothing
}

} // namespace
