// Whole nights of Reefwatch, frame by frame, through the engine's own frame
// (mw::FrameDriver runs GameManager::runFrame() with keys fed by hand).
// No window is opened: drawing goes nowhere, but sprites still animate.

#include "Boat.h"
#include "Harbour.h"
#include "ReefwatchRules.h"

#include "engine/FrameDriver.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/ObjectList.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace reefwatch;

class ReefwatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        mw::LogManager::getInstance().startUp();
        mw::WorldManager::getInstance().startUp();
        mw::ResourceManager::getInstance().startUp();
        ASSERT_EQ(loadResources(), 0) << "sprites or sounds missing; see marrowick.log";
        mw::GameManager::resetStepCount();
        m_harbour = new Harbour;
    }
    void TearDown() override {
        mw::WorldManager::getInstance().shutDown();
        mw::ResourceManager::getInstance().shutDown();
        mw::LogManager::getInstance().shutDown();
    }

    void frame() { m_driver.advance(); }
    void press(mw::Key key) { m_driver.press(key); }
    void release(mw::Key key) { m_driver.release(key); }
    void tap(mw::Key key) { m_driver.tap(key); }

    static mw::ObjectList all(const char* type) {
        return mw::WorldManager::getInstance().objectsOfType(type);
    }
    static mw::Object* lamp() {
        const mw::ObjectList lamps = all("Lamp");
        return lamps.isEmpty() ? nullptr : lamps[0];
    }

    mw::FrameDriver m_driver;
    Harbour* m_harbour = nullptr;
};

// Nobody turns a boat: they sail into the reef one after another. On the way
// the lamp is held up against its cap, and a flare into the empty sea leaves
// the world and is gone.
TEST_F(ReefwatchTest, BoatsLeftAloneWreckOnTheReefAndTheThirdEndsTheNight) {
    tap(mw::KEY_SPACE);
    frame(); // the watch begins in this frame, call it frame 0
    EXPECT_EQ(mw::GameManager::getStepCount(), 1);
    ASSERT_EQ(m_harbour->getPhase(), Harbour::WATCH);
    ASSERT_NE(lamp(), nullptr);

    tap(mw::KEY_SPACE); // frame 1: a flare from (3 + 3, 12)
    frame();
    ASSERT_EQ(all("Flare").getCount(), 1);
    EXPECT_EQ(all("Flare")[0]->getPosition(), mw::Vector(7.5f, 12.0f));

    press(mw::KEY_UP_ARROW); // frame 2 on: up at half a row a frame
    for (int f = 2; f <= 40; ++f)
        frame();
    // 12 to 2 in 20 frames; the move to 1.5 would meet the cap at row 1.
    EXPECT_EQ(lamp()->getPosition(), mw::Vector(3.0f, 2.0f));
    release(mw::KEY_UP_ARROW);

    // The flare moved 1.5 a frame from 6: 79.5 after frame 49, out past 80 in frame 50.
    for (int f = 41; f <= 49; ++f)
        frame();
    ASSERT_EQ(all("Flare").getCount(), 1);
    EXPECT_EQ(all("Flare")[0]->getPosition().getX(), 79.5f);
    frame(); // 50
    EXPECT_EQ(all("Flare").getCount(), 0);

    // The first boat sets out at 76 in frame 60 at 1/8 of a cell a frame. Its
    // box (5 wide) meets the reef's (columns 7.5 to 10.5) on the move to 13,
    // its 504th, in frame 60 + 503: the reef refuses it and the boat is wrecked.
    for (int f = 51; f <= 562; ++f)
        frame();
    EXPECT_EQ(m_harbour->getWrecks(), 0);
    // Four boats are out; the fifth waits for a place.
    ASSERT_EQ(all("Boat").getCount(), 4);
    frame(); // 563
    EXPECT_EQ(m_harbour->getWrecks(), 1);
    EXPECT_EQ(all("Wreck").getCount(), 1);
    EXPECT_EQ(all("Wreck")[0]->getPosition().getX(), 13.125f);

    int f = 564;
    for (; f < 3000 && m_harbour->getPhase() == Harbour::WATCH; ++f)
        frame();
    EXPECT_EQ(m_harbour->getPhase(), Harbour::LOST);
    EXPECT_EQ(m_harbour->getWrecks(), 3);
    EXPECT_EQ(m_harbour->getSaved(), 0);
    EXPECT_EQ(m_harbour->getScore(), 0);
    // The night's objects go at the end of the frame that ended it.
    EXPECT_EQ(all("Boat").getCount(), 0);
    EXPECT_EQ(lamp(), nullptr);

    // Space starts a new night from nothing.
    tap(mw::KEY_SPACE);
    frame();
    EXPECT_EQ(m_harbour->getPhase(), Harbour::WATCH);
    EXPECT_EQ(m_harbour->getWrecks(), 0);
    EXPECT_EQ(lamp()->getPosition(), mw::Vector(3.0f, 12.0f));
}

// A keeper who meets the boat nearest the reef on its lane and fires when
// level with it brings twelve home before three are lost.
TEST_F(ReefwatchTest, AKeeperWhoLightsEveryBoatWinsTheNight) {
    tap(mw::KEY_SPACE);
    frame();
    mw::Key moving = mw::KEY_UNDEFINED;
    int frames = 0;
    for (; frames < 20000 && m_harbour->getPhase() == Harbour::WATCH; ++frames) {
        const mw::Object* nearest = nullptr;
        for (const mw::Object* boat : all("Boat"))
            if (!static_cast<const Boat*>(boat)->isHomeward() &&
                (nearest == nullptr || boat->getPosition().getX() < nearest->getPosition().getX()))
                nearest = boat;
        mw::Key wanted = mw::KEY_UNDEFINED;
        if (nearest != nullptr) {
            const float gap = nearest->getPosition().getY() - lamp()->getPosition().getY();
            if (std::abs(gap) > 0.25f)
                wanted = gap < 0 ? mw::KEY_UP_ARROW : mw::KEY_DOWN_ARROW;
            else if (all("Flare").isEmpty())
                tap(mw::KEY_SPACE);
        }
        if (wanted != moving) {
            if (moving != mw::KEY_UNDEFINED)
                release(moving);
            if (wanted != mw::KEY_UNDEFINED)
                press(wanted);
            moving = wanted;
        }
        frame();
    }
    EXPECT_EQ(m_harbour->getPhase(), Harbour::WON) << "after " << frames << " frames";
    EXPECT_EQ(m_harbour->getSaved(), 12);
    EXPECT_LT(m_harbour->getWrecks(), 3);
    // Each boat home is worth 10, and up to 9 more the further out it turned.
    EXPECT_GE(m_harbour->getScore(), 12 * 10);
    EXPECT_LE(m_harbour->getScore(), 12 * 19);
    EXPECT_EQ(all("Boat").getCount(), 0);
    EXPECT_EQ(all("Flare").getCount(), 0);
}

} // namespace
