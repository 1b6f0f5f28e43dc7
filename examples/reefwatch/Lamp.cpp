#include "Lamp.h"

#include "Flare.h"
#include "ReefwatchRules.h"

#include "engine/ObjectList.h"
#include "engine/WorldManager.h"

namespace reefwatch {

Lamp::Lamp() {
    setType("Lamp");
    setSprite("lamp");
    // One row high, a little less than the sprite, so that the lamp rests on
    // whole rows next to the caps instead of touching them.
    setBox(mw::Box(mw::Vector(-1.5f, -0.45f), 3.0f, 0.9f));
    setPosition(mw::Vector(LAMP_X, LAMP_START_Y));
}

int Lamp::eventHandler(const mw::Event& event) {
    const auto* keyboard = event.getIf<mw::EventKeyboard>();
    if (keyboard == nullptr)
        return 0;
    const mw::Key key = keyboard->getKey();
    if (keyboard->getKeyboardAction() == mw::KEY_PRESSED &&
        (key == mw::KEY_UP_ARROW || key == mw::KEY_DOWN_ARROW)) {
        m_moving = key;
        setDirection(mw::Vector(0.0f, key == mw::KEY_UP_ARROW ? -1.0f : 1.0f));
        setSpeed(LAMP_SPEED);
        return 1;
    }
    if (keyboard->getKeyboardAction() == mw::KEY_RELEASED && key == m_moving) {
        m_moving = mw::KEY_UNDEFINED;
        setSpeed(0.0f);
        return 1;
    }
    if (keyboard->getKeyboardAction() == mw::KEY_PRESSED && key == mw::KEY_SPACE &&
        world().objectsOfType("Flare").getCount() < MAX_FLARES) {
        new Flare(getPosition() + mw::Vector(3.0f, 0.0f));
        playSound("flare");
        return 1;
    }
    return 0;
}

} // namespace reefwatch
