#include "ReefwatchRules.h"

#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"

#include <string>

namespace reefwatch {

mw::WorldManager& world() {
    return mw::WorldManager::getInstance();
}

void playSound(const std::string& label) {
    mw::ResourceManager::getInstance().playSound(label);
}

int loadResources() {
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    int failures = 0;
    for (const char* sprite : {"lamp", "flare", "boat-inbound", "boat-homeward", "wreck", "reef",
                               "cap", "wave", "title"})
        failures += resources.loadSprite(std::string("sprites/") + sprite + ".txt", sprite) != 0;
    for (const char* sound : {"flare", "bell", "horn", "crash", "win", "lose"})
        failures +=
            resources.loadSound(std::string("audio/reefwatch-") + sound + ".wav", sound) != 0;
    return failures;
}

} // namespace reefwatch
