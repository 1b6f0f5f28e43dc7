// marrowick_soak FRAMES [SEED]: random keys (the fight's thrice, never Escape); exits 1 when the
// world passes 40 objects, a health leaves its range, a frame throws, or a scene is never seen.
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/HealthUI.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"
#include "engine/FrameDriver.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <unistd.h>

using namespace mw;

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const long frames = argc > 1 ? std::atol(argv[1]) : 1000000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;
    const fs::path work = fs::temp_directory_path() / ("mw-soak-" + std::to_string(getpid()));
    fs::create_directories(work);
    for (const char* item : {"sprites", "audio"})
        fs::copy(fs::path(MW_RUN_DIR) / item, work / item, fs::copy_options::recursive);
    fs::current_path(work);
    WorldManager& world = WorldManager::getInstance();
    LogManager::getInstance().startUp();
    world.startUp();
    ResourceManager::getInstance().startUp();
    MatchLoader::getInstance().startUp();
    loadResources();
    new TitleScreen;
    const Key keys[] = {KEY_Q,     KEY_W, KEY_O,  KEY_P, KEY_Q,          KEY_W,
                        KEY_O,     KEY_P, KEY_Q,  KEY_W, KEY_O,          KEY_P,
                        KEY_1,     KEY_2, KEY_3,  KEY_T, KEY_ENTER,      KEY_ENTER,
                        KEY_SPACE, KEY_A, KEY_F1, KEY_0, KEY_LEFT_SHIFT, KEY_UNDEFINED};
    const char* scenes[] = {"TitleScreen", "TutorialMode", "Ring"};
    long framesIn[4] = {};
    std::mt19937 random(seed);
    FrameDriver driver;
    std::string failure;
    for (long frame = 0; frame < frames && failure.empty(); ++frame) {
        for (int change = static_cast<int>(random() % 3); change > 0; --change) {
            const Key key = keys[random() % std::size(keys)];
            if (random() % 4 == 0)
                driver.tap(key);
            else
                driver.isHeld(key) ? driver.release(key) : driver.press(key);
        }
        driver.advance(); // a frame that throws ends the run
        const ObjectList all = world.getAllObjects();
        if (all.getCount() > 40)
            failure = "the world holds " + std::to_string(all.getCount()) + " objects";
        for (int i = 0; i < all.getCount(); ++i)
            if (const auto* bar = dynamic_cast<const HealthUI*>(all[i]);
                bar && (bar->getHealth() < 0 || bar->getHealth() > bar->getMaxHealth()))
                failure = "a health of " + std::to_string(bar->getHealth());
        int scene = 0; // the first of the scenes whose object is in the world; 3 for none
        while (scene < 3 && world.objectsOfType(scenes[scene]).isEmpty())
            ++scene;
        ++framesIn[scene];
        if (!failure.empty())
            std::fprintf(stderr, "soak: frame %ld: %s\n", frame, failure.c_str());
    }
    std::printf("soak: %ld frames (seed %u): title %ld, tutorial %ld, fight %ld\n", frames, seed,
                framesIn[0], framesIn[1], framesIn[2]);
    for (int scene = 0; scene < 3; ++scene)
        if (failure.empty() && framesIn[scene] == 0 && frames >= 20000)
            std::fprintf(stderr, "soak: never reached %s\n", (failure = scenes[scene]).c_str());
    world.shutDown();
    ResourceManager::getInstance().shutDown();
    MatchLoader::getInstance().shutDown();
    LogManager::getInstance().shutDown();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
    return failure.empty() ? 0 : 1;
}
