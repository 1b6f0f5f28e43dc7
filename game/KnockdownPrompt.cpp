#include "game/KnockdownPrompt.h"

#include "engine/DisplayManager.h"
#include "game/Hero.h"
#include "game/Opponent.h"
#include "game/Timer.h"

#include <algorithm>

namespace {

// The hero is looked up at every use: the prompt never outlives a pointer.
const Hero* heroDown() {
    const Hero* hero = worldHero();
    return hero != nullptr && hero->isDown() && !hero->isFrozen() ? hero : nullptr;
}

} // namespace

KnockdownPrompt::KnockdownPrompt() {
    setType("KnockdownPrompt");
    setSolidness(mw::INTANGIBLE);
    setAltitude(4);
}

std::string KnockdownPrompt::getText() const {
    // A key pressed again counts once: the rule is in the words.
    return heroDown() != nullptr ? "Alternate Q W O P to get up!" : "";
}

std::string KnockdownPrompt::getCount() const {
    const Hero* hero = heroDown();
    if (hero == nullptr)
        return "";
    return "Presses: " + std::to_string(hero->getMashCount()) + "/" +
           std::to_string(hero->getPressesNeeded());
}

std::string KnockdownPrompt::getTimeLeft() const {
    const Hero* hero = heroDown();
    if (hero == nullptr)
        return "";
    // Whole seconds, rounded up: 10 at the knockdown, 1 in the last second.
    const int steps = std::max(Hero::STEPS_DOWN_BEFORE_TKO - hero->getDownTime(), 0);
    const int seconds = (steps + Timer::STEPS_PER_SECOND - 1) / Timer::STEPS_PER_SECOND;
    return std::to_string(seconds) + (seconds == 1 ? " second left" : " seconds left");
}

int KnockdownPrompt::draw() {
    const std::string text = getText();
    if (text.empty())
        return 0;
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    const float column = static_cast<float>(display.getHorizontal() / 2 + 3);
    display.drawString(mw::Vector(column, TEXT_ROW), text, mw::JUSTIFY_CENTER, mw::COLOR_YELLOW);
    display.drawString(mw::Vector(column, COUNT_ROW), getCount(), mw::JUSTIFY_CENTER,
                       mw::COLOR_WHITE);
    display.drawString(mw::Vector(column, TIME_ROW), getTimeLeft(), mw::JUSTIFY_CENTER,
                       mw::COLOR_RED);
    return 0;
}
