#include "Harbour.h"

#include "Boat.h"
#include "EventHarbour.h"
#include "Lamp.h"
#include "ReefwatchRules.h"
#include "Scenery.h"

#include "engine/DisplayManager.h"
#include "engine/EventKeyboard.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/ObjectList.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"

#include <algorithm>
#include <string>

namespace reefwatch {

Harbour::Harbour() {
    setType("Harbour");
    setSolidness(mw::INTANGIBLE);
    setAltitude(mw::WorldManager::MAX_ALTITUDE);
}

unsigned Harbour::nextRandom() {
    // A fixed sequence (a linear congruential generator), so that every night
    // brings the same boats.
    m_random = m_random * 1103515245u + 12345u;
    return (m_random >> 16) & 0x7fffu;
}

void Harbour::startWatch() {
    world().clearWorld({this});
    m_phase = WATCH;
    m_saved = m_wrecks = m_score = m_launched = 0;
    m_untilNextBoat = 60;
    m_random = 1;
    new Scenery("Reef", "reef", mw::Vector(REEF_X, 12.0f), mw::BLOCKING, 2);
    new Scenery("Cap", "cap", mw::Vector(LAMP_X, 1.0f), mw::BLOCKING, 2);
    new Scenery("Cap", "cap", mw::Vector(LAMP_X, 23.0f), mw::BLOCKING, 2);
    for (int i = 0; i < 10; ++i) {
        auto* wave = new Scenery("Wave", "wave",
                                 mw::Vector(static_cast<float>(16 + nextRandom() % 62),
                                            static_cast<float>(2 + nextRandom() % 21)),
                                 mw::INTANGIBLE, 0);
        wave->setDirection(mw::Vector(-1.0f, 0.0f));
        wave->setSpeed(0.0625f);
    }
    new Lamp;
}

void Harbour::endWatch(Phase phase) {
    world().clearWorld({this});
    m_phase = phase;
    if (phase == WON)
        playSound("win");
    else if (phase == LOST)
        playSound("lose");
}

void Harbour::launchBoat() {
    // Seven lanes; a lane whose last boat is still near the start is skipped.
    const mw::ObjectList boats = world().objectsOfType("Boat");
    const unsigned first = nextRandom() % LANE_COUNT;
    for (unsigned i = 0; i < LANE_COUNT; ++i) {
        const float y = FIRST_LANE_Y + LANE_SPACING * static_cast<float>((first + i) % LANE_COUNT);
        bool free = true;
        for (const mw::Object* boat : boats)
            if (boat->getPosition().getY() == y && boat->getPosition().getX() > 66.0f)
                free = false;
        if (!free)
            continue;
        // Each boat a little faster than the last, up to twice the first's speed.
        new Boat(y, 0.125f + 0.015625f * static_cast<float>(std::min(m_launched, 8)));
        m_untilNextBoat = std::max(45, 120 - 8 * m_launched);
        ++m_launched;
        return;
    }
    m_untilNextBoat = 1;
}

int Harbour::eventHandler(const mw::Event& event) {
    if (event.getType() == mw::STEP_EVENT && m_phase == WATCH) {
        int inbound = 0;
        for (const mw::Object* boat : world().objectsOfType("Boat"))
            inbound += !static_cast<const Boat*>(boat)->isHomeward();
        if (--m_untilNextBoat <= 0 && inbound < 4)
            launchBoat();
        return 1;
    }
    const auto* harbour = event.getIf<EventHarbour>();
    if (harbour != nullptr && m_phase == WATCH) {
        if (harbour->isSaved()) {
            ++m_saved;
            m_score += harbour->getPoints();
            playSound("horn");
        } else {
            ++m_wrecks;
        }
        if (m_saved == BOATS_TO_SAVE)
            endWatch(WON);
        else if (m_wrecks == WRECKS_TO_LOSE)
            endWatch(LOST);
        return 1;
    }
    const auto* keyboard = event.getIf<mw::EventKeyboard>();
    if (keyboard == nullptr || keyboard->getKeyboardAction() != mw::KEY_PRESSED)
        return 0;
    if (keyboard->getKey() == mw::KEY_ESCAPE) {
        if (m_phase == WATCH)
            endWatch(TITLE);
        else
            mw::GameManager::getInstance().setGameOver();
        return 1;
    }
    if (keyboard->getKey() == mw::KEY_SPACE && m_phase != WATCH) {
        startWatch();
        return 1;
    }
    return 0;
}

int Harbour::draw() {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    const float middle = static_cast<float>(display.getHorizontal()) / 2.0f;
    const auto line = [&](float row, const std::string& text, mw::Color color) {
        display.drawString(mw::Vector(middle, row), text, mw::JUSTIFY_CENTER, color);
    };
    const std::string tally = "home " + std::to_string(m_saved) + "/" +
                              std::to_string(BOATS_TO_SAVE) + "   wrecks " +
                              std::to_string(m_wrecks) + "/" + std::to_string(WRECKS_TO_LOSE) +
                              "   score " + std::to_string(m_score);
    if (m_phase == TITLE) {
        if (mw::Sprite* title = mw::ResourceManager::getInstance().getSprite("title"))
            title->draw(0, mw::Vector(middle, 5.0f));
        line(10.0f, "A night at the lighthouse. Boats sail blind for the reef.", mw::COLOR_WHITE);
        line(12.0f, "UP / DOWN  slide the lamp        SPACE  fire a flare", mw::COLOR_YELLOW);
        line(14.0f, "A boat that sees a flare turns for home: the further out, the more points.",
             mw::COLOR_WHITE);
        line(15.0f,
             "Bring " + std::to_string(BOATS_TO_SAVE) + " boats home. " +
                 std::to_string(WRECKS_TO_LOSE) + " wrecks end the night.",
             mw::COLOR_WHITE);
        line(18.0f, "SPACE  begin the watch        ESCAPE  leave", mw::COLOR_GREEN);
        return 0;
    }
    if (m_phase == WATCH) {
        display.drawString(mw::Vector(1.0f, 0.0f), "REEFWATCH", mw::JUSTIFY_LEFT, mw::COLOR_CYAN);
        display.drawString(mw::Vector(79.0f, 0.0f), tally, mw::JUSTIFY_RIGHT, mw::COLOR_WHITE);
        return 0;
    }
    const bool won = m_phase == WON;
    line(8.0f, won ? "DAWN. THE HARBOUR IS FULL." : "THE REEF HAS TAKEN THREE.",
         won ? mw::COLOR_GREEN : mw::COLOR_RED);
    line(10.0f, won ? "Every boat you lit came home." : "The watch is over before dawn.",
         mw::COLOR_WHITE);
    line(12.0f, tally, mw::COLOR_YELLOW);
    line(16.0f, "SPACE  watch another night        ESCAPE  leave", mw::COLOR_GREEN);
    return 0;
}

} // namespace reefwatch
