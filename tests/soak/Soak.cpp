// marrowick_soak FRAMES [SEED]: plays the whole game through the frame driver
// with random keys (weighted toward the game's own, Escape left out) for
// FRAMES frames, checking after every frame that the world stays bounded and
// every health stays in range. Exits 1 on the first violation.
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/ObjectList.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/HealthUI.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"
#include "support/FrameDriver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int MAX_WORLD_OBJECTS = 40;

// Each game key appears several times so that it is drawn more often.
const std::vector<mw::Key> KEYS = {
    mw::KEY_Q,     mw::KEY_W, mw::KEY_O,  mw::KEY_P, mw::KEY_Q,          mw::KEY_W,
    mw::KEY_O,     mw::KEY_P, mw::KEY_Q,  mw::KEY_W, mw::KEY_O,          mw::KEY_P,
    mw::KEY_1,     mw::KEY_2, mw::KEY_3,  mw::KEY_T, mw::KEY_ENTER,      mw::KEY_ENTER,
    mw::KEY_SPACE, mw::KEY_A, mw::KEY_F1, mw::KEY_0, mw::KEY_LEFT_SHIFT, mw::KEY_UNDEFINED};

std::string sceneOf() {
    mw::WorldManager& world = mw::WorldManager::getInstance();
    if (!world.objectsOfType("TitleScreen").isEmpty())
        return "title";
    if (!world.objectsOfType("TutorialMode").isEmpty())
        return "tutorial";
    if (!world.objectsOfType("Ring").isEmpty())
        return "fight";
    return "other";
}

// Empty when the world is sound, otherwise what is wrong.
std::string check() {
    const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
    if (all.getCount() > MAX_WORLD_OBJECTS)
        return "the world holds " + std::to_string(all.getCount()) + " objects";
    for (int i = 0; i < all.getCount(); ++i) {
        if (const auto* bar = dynamic_cast<const HealthUI*>(all[i])) {
            if (bar->getHealth() < 0 || bar->getHealth() > bar->getMaxHealth())
                return "a health of " + std::to_string(bar->getHealth());
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    const long frames = argc > 1 ? std::atol(argv[1]) : 1000000;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atol(argv[2])) : 1;

    const fs::path work = fs::temp_directory_path() / ("mw-soak-" + std::to_string(getpid()));
    fs::create_directories(work);
    for (const char* item : {"sprites", "audio"})
        fs::copy(fs::path(MW_RUN_DIR) / item, work / item, fs::copy_options::recursive);
    fs::current_path(work);

    mw::LogManager::getInstance().startUp();
    mw::WorldManager::getInstance().startUp();
    mw::ResourceManager::getInstance().startUp();
    MatchLoader::getInstance().startUp();
    loadResources();
    new TitleScreen;

    std::mt19937 random(seed);
    mw::FrameDriver driver;
    std::map<std::string, long> framesIn;
    std::map<std::string, long> visits;
    std::string scene = "title";
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    for (long frame = 0; frame < frames; ++frame) {
        // Zero to two key changes a frame.
        for (int change = static_cast<int>(random() % 3); change > 0; --change) {
            const mw::Key key = KEYS[random() % KEYS.size()];
            if (random() % 4 == 0)
                driver.tap(key);
            else if (driver.isHeld(key))
                driver.release(key);
            else
                driver.press(key);
        }
        try {
            driver.advance();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "soak: frame %ld threw: %s\n", frame, error.what());
            status = 1;
            break;
        }
        const std::string now = sceneOf();
        ++framesIn[now];
        if (now != scene)
            ++visits[now];
        scene = now;
        if (const std::string problem = check(); !problem.empty()) {
            std::fprintf(stderr, "soak: frame %ld: %s\n", frame, problem.c_str());
            status = 1;
            break;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("soak: %ld frames in %.1f s (seed %u):", frames, seconds, seed);
    for (const auto& [name, count] : framesIn)
        std::printf(" %s %ld frames in %ld visits;", name.c_str(), count, visits[name]);
    std::printf("\n");

    mw::WorldManager::getInstance().shutDown();
    mw::ResourceManager::getInstance().shutDown();
    MatchLoader::getInstance().shutDown();
    mw::LogManager::getInstance().shutDown();
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(work);
    for (const char* name : {"title", "tutorial", "fight"}) {
        if (status == 0 && framesIn[name] == 0 && frames >= 20000) {
            std::fprintf(stderr, "soak: never reached the %s\n", name);
            status = 1;
        }
    }
    return status;
}
