#include "engine/EventCollision.h"
#include "engine/EventKeyboard.h"
#include "engine/EventMouse.h"
#include "engine/EventOut.h"
#include "engine/EventStep.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(EventTest, EachClassCarriesItsTypeString) {
    const std::pair<std::shared_ptr<mw::Event>, std::string> cases[] = {
        {std::make_shared<mw::Event>(), "mw::undefined"},
        {std::make_shared<mw::EventStep>(), "mw::step"},
        {std::make_shared<mw::EventKeyboard>(), "mw::keyboard"},
        {std::make_shared<mw::EventMouse>(), "mw::mouse"},
        {std::make_shared<mw::EventCollision>(), "mw::collision"},
        {std::make_shared<mw::EventOut>(), "mw::out"},
    };
    for (const auto& [event, type] : cases)
        EXPECT_EQ(event->getType(), type);
}

TEST(EventTest, DefaultsAreUndefined) {
    const mw::EventKeyboard keyboard;
    EXPECT_EQ(keyboard.getKey(), mw::KEY_UNDEFINED);
    EXPECT_EQ(keyboard.getKeyboardAction(), mw::KEYBOARD_ACTION_UNDEFINED);
    const mw::EventMouse mouse;
    EXPECT_EQ(mouse.getMouseAction(), mw::MOUSE_ACTION_UNDEFINED);
    EXPECT_EQ(mouse.getMouseButton(), mw::MOUSE_BUTTON_UNDEFINED);
    EXPECT_EQ(mouse.getMousePosition(), mw::Vector(0, 0));
    const mw::EventCollision collision;
    EXPECT_EQ(collision.getObject1(), nullptr);
    EXPECT_EQ(collision.getObject2(), nullptr);
    EXPECT_EQ(collision.getPosition(), mw::Vector(0, 0));
    EXPECT_EQ(mw::EventStep(7).getStepCount(), 7);
}

TEST(EventTest, KeyCodesFollowTheTable) {
    EXPECT_EQ(mw::KEY_SPACE, 0);
    EXPECT_EQ(mw::KEY_RIGHT_SHIFT, 18);
    EXPECT_EQ(mw::KEY_F1, 19);
    EXPECT_EQ(mw::KEY_F12, 30);
    EXPECT_EQ(mw::KEY_A, 31);
    EXPECT_EQ(mw::KEY_O, 45);
    EXPECT_EQ(mw::KEY_P, 46);
    EXPECT_EQ(mw::KEY_Q, 47);
    EXPECT_EQ(mw::KEY_T, 50);
    EXPECT_EQ(mw::KEY_W, 53);
    EXPECT_EQ(mw::KEY_Z, 56);
    EXPECT_EQ(mw::KEY_1, 57);
    EXPECT_EQ(mw::KEY_9, 65);
    EXPECT_EQ(mw::KEY_0, 66);
}

} // namespace
