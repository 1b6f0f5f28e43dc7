#include "game/KnockdownPrompt.h"

#include "engine/DisplayManager.h"
#include "game/Hero.h"
#include "game/Opponent.h"

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
    return heroDown() != nullptr ? "Mash Q W O P to get up!" : "";
}

std::string KnockdownPrompt::getCount() const {
    const Hero* hero = heroDown();
    if (hero == nullptr)
        return "";
    return "Presses: " + std::to_string(hero->getMashCount()) + "/" +
           std::to_string(hero->getPressesNeeded());
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
    return 0;
}
