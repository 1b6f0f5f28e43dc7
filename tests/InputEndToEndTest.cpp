#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/InputManager.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <SFML/Graphics/RenderWindow.hpp>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class InputEndToEndTest : public mwtest::EngineTest {
protected:
    // Runs frames with real window input until the recorder has seen the
    // event; returns the events of the frame that brought it.
    std::vector<std::string> framesUntil(mwtest::Recorder& recorder, const std::string& event,
                                         int limit = 150) {
        for (int frame = 0; frame < limit; ++frame) {
            recorder.events.clear();
            TestAccess::runFrame([] { mw::InputManager::getInstance().getInput(); });
            if (std::find(recorder.events.begin(), recorder.events.end(), event) !=
                recorder.events.end())
                return recorder.events;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return {};
    }
};

TEST_F(InputEndToEndTest, ARealKeyReachesObjectsAsPressedHeldAndReleased) {
    if (std::system("command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xdotool is not installed";
    MW_OPEN_WINDOW();
    ASSERT_EQ(mw::InputManager::getInstance().startUp(), 0);
    auto* recorder = new mwtest::Recorder;
    framesUntil(*recorder, "none", 10); // let the window appear
    // Other tests' windows may share the X server: give ours the focus.
    const auto window = mw::DisplayManager::getInstance().getWindow()->getNativeHandle();
    const std::string focus = "xdotool windowfocus --sync " + std::to_string(window) + " keydown q";
    ASSERT_EQ(std::system(focus.c_str()), 0);
    const auto pressed = framesUntil(*recorder, "mw::keyboard 47 0");
    std::system("xdotool keyup q");
    ASSERT_FALSE(pressed.empty()) << "the key press never arrived";
    const auto at = std::find(pressed.begin(), pressed.end(), "mw::keyboard 47 0");
    EXPECT_NE(std::find(at, pressed.end(), "mw::keyboard 47 2"), pressed.end())
        << "no held event after the press in the same frame";
    const auto released = framesUntil(*recorder, "mw::keyboard 47 1");
    EXPECT_FALSE(released.empty()) << "the key release never arrived";
}

} // namespace
