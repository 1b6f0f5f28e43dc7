// Draws the health bars, the round clock and the round label and reads the
// cells they cover.

#include "engine/DisplayManager.h"
#include "engine/EventStep.h"
#include "game/HealthUI.h"
#include "game/RoundUI.h"
#include "game/SharedCounts.h"
#include "game/TextDisplay.h"
#include "game/Timer.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <initializer_list>
#include <string>

namespace {

class MatchDisplayTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        sharedCounts().reset();
    }

    // Characters and colours of the cells drawn on a row, from column 0 up to
    // the last drawn one; an undrawn cell reads as ' ' and colour '-'.
    static std::string chars(int row) {
        std::string text;
        for (int column = 0; column < 80; ++column) {
            const mw::Cell cell = TestAccess::drawnCell(column, row);
            text += cell.drawn ? cell.ch : ' ';
        }
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    static std::string colors(int row) {
        std::string text;
        for (int column = 0; column < 80; ++column) {
            const mw::Cell cell = TestAccess::drawnCell(column, row);
            text += cell.drawn ? static_cast<char>('0' + cell.color) : '-';
        }
        return text.substr(0, text.find_last_not_of('-') + 1);
    }
};

TEST_F(MatchDisplayTest, HealthBarsFillAndColourByTheFractionLeft) {
    MW_OPEN_WINDOW();
    struct Case {
        int health;
        const char* bar;
        const char* colors; // from column 5 on
    };
    const Case cases[] = {
        {100, "HP: [########################]", "777772222222222222222222222227"},
        {51, "HP: [############............]", "777772222222222227777777777777"},
        {50, "HP: [############............]", "777773333333333337777777777777"},
        {21, "HP: [#####...................]", "777773333377777777777777777777"},
        {20, "HP: [####....................]", "777771111777777777777777777777"},
        {1, "HP: [........................]", "777777777777777777777777777777"},
        {0, "HP: [........................]", "777777777777777777777777777777"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.health);
        HealthUI bar(mw::Vector(5, 2));
        EXPECT_EQ(bar.getType(), "OpponentHealthUI");
        EXPECT_EQ(bar.getAltitude(), 3);
        bar.setHealth(c.health);
        EXPECT_EQ(bar.draw(), 0);
        EXPECT_EQ(chars(2), std::string(5, ' ') + c.bar);
        EXPECT_EQ(colors(2), std::string(5, '-') + c.colors);
        mw::DisplayManager::getInstance().swapBuffers();
    }
    HealthUI bar(mw::Vector(50, 2));
    bar.setHealth(130);
    EXPECT_EQ(bar.getHealth(), 100);
    bar.setHealth(-5);
    EXPECT_EQ(bar.getHealth(), 0);
}

TEST_F(MatchDisplayTest, ClockAndRoundAreDrawnWhiteWhereTheyBelong) {
    MW_OPEN_WINDOW();
    struct Case {
        int timeLeft;
        const char* row2;
    };
    const Case cases[] = {{90, "TIME 1:30"},
                          {61, "TIME 1:01"},
                          {5, "TIME 0:05"},
                          {0, "TIME 0:00"},
                          {-7, "TIME 0:00"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.timeLeft);
        Timer timer;
        EXPECT_EQ(timer.getType(), "TimerUI");
        EXPECT_EQ(timer.getAltitude(), 4);
        timer.setTimeLeft(c.timeLeft);
        timer.updateText();
        EXPECT_EQ(timer.draw(), 0);
        EXPECT_EQ(chars(2), std::string(38, ' ') + c.row2);
        EXPECT_EQ(colors(2), std::string(38, '-') + std::string(9, '7'));
        mw::DisplayManager::getInstance().swapBuffers();
    }
    for (int round : {1, 3}) {
        RoundUI label(round);
        EXPECT_EQ(label.getType(), "RoundUI");
        EXPECT_EQ(label.getAltitude(), 3);
        EXPECT_EQ(label.draw(), 0);
        EXPECT_EQ(chars(1), std::string(39, ' ') + "ROUND " + std::to_string(round));
        EXPECT_EQ(colors(1), std::string(39, '-') + "7777777");
        mw::DisplayManager::getInstance().swapBuffers();
    }
    TextDisplay message("End of round.", mw::Vector(43, 10));
    EXPECT_EQ(message.draw(), 0);
    EXPECT_EQ(chars(10), std::string(36, ' ') + "End of round.");
    EXPECT_EQ(colors(10), std::string(36, '-') + std::string(13, '7'));
}

TEST_F(MatchDisplayTest, TheClockLosesASecondEveryThirtyStepsOfAnyTimer) {
    Timer timer;
    RoundUI label(2);
    HealthUI bar(mw::Vector(5, 2));
    TextDisplay message("x", mw::Vector(1, 1));
    for (const mw::Object* display : std::initializer_list<const mw::Object*>{&timer, &label, &bar})
        EXPECT_EQ(display->getSolidness(), mw::INTANGIBLE) << display->getType();
    EXPECT_EQ(message.getSolidness(), mw::BLOCKING);
    EXPECT_EQ(message.getAltitude(), 2);
    EXPECT_EQ(message.getType(), "TextDisplay");
    EXPECT_EQ(timer.getText(), "TIME 1:30");
    EXPECT_EQ(timer.getPosition(), mw::Vector(47, 2));
    EXPECT_EQ(label.getText(), "ROUND 2");
    EXPECT_EQ(label.getPosition(), mw::Vector(43, 1));
    EXPECT_EQ(timer.eventHandler(mw::EventStep(1)), 1);
    EXPECT_EQ(timer.eventHandler(mw::Event()), 0);
    for (int step = 2; step <= 30; ++step)
        timer.eventHandler(mw::EventStep(step));
    EXPECT_EQ(timer.getTimeLeft(), 89);
    EXPECT_EQ(timer.getText(), "TIME 1:29");
    for (int step = 0; step < 89 * 30 - 1; ++step)
        timer.eventHandler(mw::EventStep(step));
    EXPECT_EQ(timer.getText(), "TIME 0:01");
    timer.eventHandler(mw::EventStep(0));
    EXPECT_EQ(timer.getText(), "TIME 0:00");
    for (int step = 0; step < 60; ++step)
        timer.eventHandler(mw::EventStep(step));
    EXPECT_EQ(timer.getTimeLeft(), -2);
    EXPECT_EQ(timer.getText(), "TIME 0:00");
}

} // namespace
