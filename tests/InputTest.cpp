#include "engine/EventCollision.h"
#include "engine/EventOut.h"
#include "engine/EventStep.h"
#include "support/FrameDriver.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <memory>

using mw::InputManager;
using SfKey = sf::Keyboard::Key;

namespace {

TEST(EventTest, EachClassCarriesItsTypeString) {
    const std::pair<std::unique_ptr<mw::Event>, std::string> cases[] = {
        {std::make_unique<mw::Event>(), "mw::undefined"},
        {std::make_unique<mw::EventStep>(7), "mw::step"},
        {std::make_unique<mw::EventKeyboard>(), "mw::keyboard"},
        {std::make_unique<mw::EventKeyboard>(mw::KEY_Q, mw::KEY_HELD), "mw::keyboard"},
        {std::make_unique<mw::EventMouse>(), "mw::mouse"},
        {std::make_unique<mw::EventMouse>(mw::MOUSE_MOVED, mw::MOUSE_LEFT), "mw::mouse"},
        {std::make_unique<mw::EventCollision>(), "mw::collision"},
        {std::make_unique<mw::EventCollision>(nullptr, nullptr, mw::Vector()), "mw::collision"},
        {std::make_unique<mw::EventOut>(), "mw::out"},
    };
    for (const auto& [event, type] : cases)
        EXPECT_EQ(event->getType(), type);
}

TEST(KeyTableTest, TranslatesSfmlKeysInThePollOrder) {
    const std::pair<SfKey, int> cases[] = {
        {SfKey::A, 31},      {SfKey::O, 45},      {SfKey::P, 46},     {SfKey::Q, 47},
        {SfKey::T, 50},      {SfKey::W, 53},      {SfKey::F1, 19},    {SfKey::Num1, 57},
        {SfKey::Num0, 66},   {SfKey::Space, 0},   {SfKey::Escape, 2}, {SfKey::RShift, 18},
        {SfKey::Hyphen, -1}, {SfKey::Numpad5, -1}};
    for (const auto& [sfKey, key] : cases)
        EXPECT_EQ(InputManager::translateKey(sfKey), key) << static_cast<int>(sfKey);
    const auto& order = TestAccess::heldPollOrder();
    EXPECT_EQ((std::vector<int>{order[0], order[1], order[26], order[38], order[66]}),
              (std::vector<int>{mw::KEY_A, mw::KEY_B, mw::KEY_F1, mw::KEY_0, mw::KEY_RIGHT_SHIFT}));
}

class InputTest : public mwtest::EngineTest {};

TEST_F(InputTest, WindowEventsBecomeEngineEventsAndTheFrameDriverSendsThemInTheLoopsOrder) {
    EXPECT_EQ(InputManager::getInstance().startUp(), -1); // no display yet
    EXPECT_FALSE(InputManager::getInstance().isStarted());
    auto* recorder = new mwtest::Recorder;
    const sf::Event events[] = {
        sf::Event::KeyPressed{SfKey::Num0},
        sf::Event::KeyReleased{SfKey::Hyphen},
        sf::Event::MouseButtonPressed{sf::Mouse::Button::Middle, {3, 4}},
        sf::Event::MouseButtonReleased{sf::Mouse::Button::Right, {3, 4}},
        sf::Event::MouseButtonPressed{sf::Mouse::Button::Extra1, {3, 4}},
        sf::Event::MouseButtonReleased{sf::Mouse::Button::Left, {3, 4}},
        sf::Event::FocusLost{},
    };
    for (const sf::Event& event : events)
        TestAccess::handleEvent(event);
    EXPECT_FALSE(mw::GameManager::getInstance().getGameOver());
    TestAccess::handleEvent(sf::Event::Closed{});
    EXPECT_TRUE(mw::GameManager::getInstance().getGameOver());
    // A pixel is a twelfth of a cell across and a thirty-second down.
    TestAccess::handleEvent(sf::Event::MouseMoved{{1023, 40}});
    mw::FrameDriver driver;
    driver.press(mw::KEY_W);
    driver.press(mw::KEY_Q);
    driver.advance(2);
    driver.release(mw::KEY_W);
    driver.advance();
    driver.tap(mw::KEY_P);
    driver.advance();
    EXPECT_EQ(recorder->events,
              (std::vector<std::string>{
                  "mw::keyboard 66 0", "mw::keyboard -1 1", "mw::mouse 0 2", "mw::mouse 1 1",
                  "mw::mouse 0 -1", "mw::mouse 1 0", "mw::mouse 3 -1 85.25 1.25", "mw::step 0",
                  "mw::keyboard 53 0", "mw::keyboard 47 0",
                  // Held keys come in poll order (Q before W), whatever the press order.
                  "mw::keyboard 47 2", "mw::keyboard 53 2", "mw::step 1", "mw::keyboard 47 2",
                  "mw::keyboard 53 2", "mw::step 2", "mw::keyboard 53 1", "mw::keyboard 47 2",
                  // A tap between two frames sends no held event.
                  "mw::step 3", "mw::keyboard 46 0", "mw::keyboard 46 1", "mw::keyboard 47 2"}));
    EXPECT_EQ(logLines().size(), 2u); // the input manager wrote nothing
}

} // namespace
