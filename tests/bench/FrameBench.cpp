// marrowick_frame_bench [FRAMES]: median frame cost, cell by cell and batched in turns of 25
// frames (so both meet the same load), for a changing full 80 x 24 screen, the title, a fight.
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"
#include "support/TestAccess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const int frames = std::max(50, argc > 1 ? std::atoi(argv[1]) : 300);
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    mw::WorldManager& world = mw::WorldManager::getInstance();
    world.startUp();
    mw::ResourceManager::getInstance().startUp();
    if (display.startUp() != 0) {
        std::fprintf(stderr, "frame bench: the display did not start (font or X display)\n");
        return 1;
    }
    loadResources();
    for (const std::string scene : {"full 80x24", "title", "fight"}) {
        MatchLoader::getInstance().clearWorld();
        world.update();
        if (scene == "title")
            new TitleScreen;
        if (scene == "fight")
            MatchLoader::getInstance().startMatch(1);
        std::vector<double> costs[2]; // cell by cell, batched
        for (int frame = 0; frame < 2 * frames; ++frame) {
            TestAccess::setBatched(frame / 25 % 2 == 1);
            const auto start = std::chrono::steady_clock::now();
            for (int cell = 0; scene == "full 80x24" && cell < 80 * 24; ++cell)
                display.drawCh(mw::Vector(cell % 80, cell / 80),
                               static_cast<char>('!' + (cell * 7 + frame) % 90),
                               static_cast<mw::Color>(1 + cell % 7));
            world.draw();
            display.swapBuffers();
            const std::chrono::duration<double, std::milli> cost =
                std::chrono::steady_clock::now() - start;
            costs[frame / 25 % 2].push_back(cost.count());
        }
        for (std::vector<double>& cost : costs)
            std::sort(cost.begin(), cost.end());
        const double perCell = costs[0][frames / 2], batched = costs[1][frames / 2];
        std::printf("%-10s ms a frame: cell by cell %6.2f, batched %6.2f, %.1fx faster\n",
                    scene.c_str(), perCell, batched, perCell / batched);
    }
    display.shutDown();
}
