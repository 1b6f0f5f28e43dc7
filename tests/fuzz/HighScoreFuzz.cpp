// Feeds arbitrary bytes to the match loader as "hsdata.txt", then records a
// win against each opponent: nothing may crash and the file must stay three
// lines.
#include "engine/ObjectList.h"
#include "engine/WorldManager.h"
#include "game/BestTimes.h"
#include "game/MatchLoader.h"
#include "game/RoundSystem.h"
#include "game/Timer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool inScratchDirectory = [] {
        const auto directory =
            std::filesystem::temp_directory_path() / ("mw-fuzz-hs-" + std::to_string(getpid()));
        std::filesystem::create_directories(directory);
        std::filesystem::current_path(directory);
        mw::WorldManager::getInstance().startUp(); // objects are made in a started world
        return true;
    }();
    if (std::FILE* out = std::fopen("hsdata.txt", "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    MatchLoader& loader = MatchLoader::getInstance();
    loader.startUp();
    std::string entries[3];
    for (int opponent = 1; opponent <= 3; ++opponent)
        entries[opponent - 1] = loader.getHighScore(opponent);
    // Compare each read entry against fresh wins of every length.
    const std::string raw(reinterpret_cast<const char*>(data), size < 64 ? size : 64);
    for (const char* time : {"000", "059", "130", "430", "9", ""}) {
        BestTimes::fasterTime(raw, time);
        BestTimes::fasterTime(time, raw);
    }
    for (int round = 1; round <= 4; ++round)
        BestTimes::storedTime(
            RoundSystem::winningSeconds(round, static_cast<int>(size % 200) - 100));
    // A win against one of the opponents rewrites the file: three lines.
    loader.startMatch(1 + static_cast<int>(size % 3));
    const mw::ObjectList objects = mw::WorldManager::getInstance().getAllObjects();
    const Timer* timer = nullptr;
    const RoundSystem* roundSystem = nullptr;
    for (int i = 0; i < objects.getCount(); ++i) {
        timer = timer ? timer : dynamic_cast<const Timer*>(objects[i]);
        roundSystem = roundSystem ? roundSystem : dynamic_cast<const RoundSystem*>(objects[i]);
    }
    loader.updateFile(timer, roundSystem);
    int lines = 0;
    if (std::FILE* in = std::fopen("hsdata.txt", "rb")) {
        for (int c; (c = std::fgetc(in)) != EOF;)
            lines += c == '\n';
        std::fclose(in);
    }
    if (lines != 3)
        std::abort();
    loader.clearWorld();
    mw::WorldManager::getInstance().update();
    loader.shutDown();
    return 0;
}
