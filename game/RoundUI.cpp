#include "game/RoundUI.h"

#include "engine/DisplayManager.h"

RoundUI::RoundUI(int round) : m_round(round) {
    setType("RoundUI");
    setSolidness(mw::INTANGIBLE);
    setAltitude(3);
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    setPosition(mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 3), 1));
    updateText();
}

void RoundUI::updateText() {
    m_text = "ROUND " + std::to_string(m_round);
}

int RoundUI::draw() {
    return mw::DisplayManager::getInstance().drawString(getPosition(), m_text, mw::JUSTIFY_CENTER,
                                                        mw::COLOR_WHITE);
}
