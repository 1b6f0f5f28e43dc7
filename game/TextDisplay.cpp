#include "game/TextDisplay.h"

#include "engine/DisplayManager.h"
#include "engine/WorldManager.h"

TextDisplay::TextDisplay(const std::string& text, mw::Vector position) : m_text(text) {
    setType(TEXT_DISPLAY_TYPE);
    setPosition(position);
}

mw::Vector TextDisplay::promptPosition() {
    const mw::DisplayManager& display = mw::DisplayManager::getInstance();
    return mw::Vector(static_cast<float>(display.getHorizontal() / 2 + 3),
                      static_cast<float>(display.getVertical() - 2));
}

int TextDisplay::draw() {
    return mw::DisplayManager::getInstance().drawString(getPosition(), m_text, mw::JUSTIFY_CENTER,
                                                        mw::COLOR_WHITE);
}

void removeTextDisplays() {
    mw::WorldManager& world = mw::WorldManager::getInstance();
    const mw::ObjectList messages = world.objectsOfType(TEXT_DISPLAY_TYPE);
    for (int i = 0; i < messages.getCount(); ++i)
        world.markForDelete(messages[i]);
}
