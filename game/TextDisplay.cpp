#include "game/TextDisplay.h"

#include "engine/DisplayManager.h"
#include "engine/WorldManager.h"

TextDisplay::TextDisplay(const std::string& text, mw::Vector position) : m_text(text) {
    setType("TextDisplay");
    setPosition(position);
}

int TextDisplay::draw() {
    return mw::DisplayManager::getInstance().drawString(getPosition(), m_text, mw::JUSTIFY_CENTER,
                                                        mw::COLOR_WHITE);
}

void removeTextDisplays() {
    mw::WorldManager& world = mw::WorldManager::getInstance();
    const mw::ObjectList messages = world.objectsOfType("TextDisplay");
    for (int i = 0; i < messages.getCount(); ++i)
        world.markForDelete(messages[i]);
}
