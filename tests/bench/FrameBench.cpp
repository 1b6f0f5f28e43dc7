// marrowick_frame_bench [FRAMES] [--fight]
//
// Frame cost of the display with a real window, drawing cell by cell and
// batched: a full 80 x 24 screen of characters that changes every frame, a
// frame of 1000 cells, the game's title, tutorial and fight scenes, and 8000
// cells that all lie outside the window.
// Prints milliseconds per frame for both paths and how many times faster
// the batched one is.
#include "engine/Clock.h"
#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/Hero.h"
#include "game/MatchLoader.h"
#include "game/Opponent1.h"
#include "game/ResourceManifest.h"
#include "game/Ring.h"
#include "game/TitleScreen.h"
#include "game/TutorialMode.h"
#include "support/FrameDriver.h"
#include "support/ScriptedPlayer.h"
#include "support/TestAccess.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Figures {
    double median;
    double p99;
};

Figures summarise(std::vector<double> costs) {
    std::sort(costs.begin(), costs.end());
    return {costs[costs.size() / 2], costs[std::min(costs.size() - 1, costs.size() * 99 / 100)]};
}

// Draws and shows `frames` frames, adding each one's cost in milliseconds to `costs`.
void measure(int frames, const std::function<void()>& drawFrame, std::vector<double>& costs) {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        drawFrame();
        display.swapBuffers();
        const auto end = std::chrono::steady_clock::now();
        costs.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
}

// The same frames drawn per cell and batched, in alternating blocks so that
// both paths meet the same background load.
std::pair<Figures, Figures> measureBothPaths(int frames, const std::function<void()>& drawFrame) {
    constexpr int BLOCK = 25;
    std::vector<double> perCell;
    std::vector<double> batched;
    for (int done = 0; done < frames; done += BLOCK) {
        const int block = std::min(BLOCK, frames - done);
        TestAccess::setBatched(false);
        measure(block, drawFrame, perCell);
        TestAccess::setBatched(true);
        measure(block, drawFrame, batched);
    }
    return {summarise(perCell), summarise(batched)};
}

void fullScreen(int frame) {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    for (int row = 0; row < display.getVertical(); ++row)
        for (int column = 0; column < display.getHorizontal(); ++column)
            display.drawCh(mw::Vector(column, row),
                           static_cast<char>('!' + (row * 7 + column + frame) % 90),
                           static_cast<mw::Color>(1 + (row + column) % 7));
}

void thousandCells(int frame) {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    for (int i = 0; i < 1000; ++i)
        display.drawCh(mw::Vector((i * 13 + frame) % 80, (i * 7) % 24),
                       static_cast<char>('A' + i % 26), static_cast<mw::Color>(1 + i % 7));
}

// 8000 cells around the window, none of them on it: they should cost nothing.
void cellsOffTheWindow(int frame) {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    for (int i = 0; i < 8000; ++i)
        display.drawCh(mw::Vector(i % 2 == 0 ? -5.0f - i % 40 : 85.0f + i % 40,
                                  static_cast<float>((i * 7 + frame) % 60 - 18)),
                       static_cast<char>('A' + i % 26), static_cast<mw::Color>(1 + i % 7));
}

// Plays a whole fight against opponent 1 in the real window, frame by frame
// with the game loop's timing (a frame sleeps out the rest of its 33
// milliseconds), the player dodging every wind-up until the decision after
// three rounds. Prints the frames played and how many were late.
void timeAWholeFight() {
    MatchLoader::getInstance().clearWorld();
    mw::WorldManager::getInstance().update();
    MatchLoader::getInstance().startMatch(1);
    mw::SystemClock clock;
    clock.beginFinePeriod();
    mw::FrameDriver keys;
    gametest::Player player(gametest::Player::DODGES);
    std::vector<double> costs;
    int late = 0;
    for (int frame = 0; frame < 20000; ++frame) {
        if (!mw::WorldManager::getInstance().objectsOfType("TitleScreen").isEmpty())
            break;
        const std::int64_t start = clock.nowMilliseconds();
        const auto preciseStart = std::chrono::steady_clock::now();
        player.play(keys);
        keys.advance();
        costs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                  preciseStart)
                            .count());
        const std::int64_t elapsed = clock.nowMilliseconds() - start;
        if (elapsed > mw::GameManager::FRAME_TIME_MILLISECONDS)
            ++late;
        else
            clock.sleepMilliseconds(
                static_cast<int>(mw::GameManager::FRAME_TIME_MILLISECONDS - elapsed));
    }
    clock.endFinePeriod();
    std::sort(costs.begin(), costs.end());
    std::printf("  a whole fight (%zu frames, to the result and back to the title): frame work "
                "median %.2f ms, 99th percentile %.2f ms, worst %.2f ms; late frames: %d\n",
                costs.size(), costs[costs.size() / 2], costs[costs.size() * 99 / 100], costs.back(),
                late);
}

// Replaces the world by one of the game's scenes.
void buildScene(const std::string& scene) {
    MatchLoader::getInstance().clearWorld();
    mw::WorldManager::getInstance().update();
    if (scene == "title") {
        new TitleScreen;
    } else if (scene == "tutorial") {
        new Ring;
        new Hero;
        new Opponent1;
        new TutorialMode;
    } else {
        MatchLoader::getInstance().startMatch(1);
    }
}

} // namespace

int main(int argc, char** argv) {
    int frames = 300;
    bool wholeFight = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--fight")
            wholeFight = true;
        else
            frames = std::max(10, std::atoi(argv[i]));
    }
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    mw::WorldManager::getInstance().startUp();
    mw::ResourceManager::getInstance().startUp();
    if (display.startUp() != 0) {
        std::fprintf(stderr,
                     "frame bench: the display did not start (font or X display missing)\n");
        return 1;
    }
    loadResources();
    int frame = 0;
    std::printf("frame bench, %d frames each, milliseconds per frame (median / 99th percentile)\n",
                frames);
    std::vector<double> emptyCosts;
    measure(
        frames, [] {}, emptyCosts);
    const Figures empty = summarise(emptyCosts);
    std::printf("  an empty frame (show and clear only): %.2f / %.2f\n", empty.median, empty.p99);
    std::vector<std::pair<Figures, Figures>> figures;
    figures.push_back(measureBothPaths(frames, [&] { fullScreen(frame++); }));
    figures.push_back(measureBothPaths(frames, [&] { thousandCells(frame++); }));
    for (const char* scene : {"title", "tutorial", "fight"}) {
        buildScene(scene);
        figures.push_back(measureBothPaths(frames, [] { mw::WorldManager::getInstance().draw(); }));
    }
    figures.push_back(measureBothPaths(frames, [&] { cellsOffTheWindow(frame++); }));
    std::printf("  %-9s %-17s %-17s %-17s %-17s %-17s %-17s\n", "path", "full 80x24", "1000 cells",
                "title", "tutorial", "fight", "8000 off-window");
    std::printf("  %-9s", "per-cell");
    for (const auto& [perCell, batched] : figures)
        std::printf(" %7.2f / %-7.2f", perCell.median, perCell.p99);
    std::printf("\n  %-9s", "batched");
    for (const auto& [perCell, batched] : figures)
        std::printf(" %7.2f / %-7.2f", batched.median, batched.p99);
    std::printf("\n  %-9s", "speed-up");
    for (const auto& [perCell, batched] : figures)
        std::printf(" %7.1fx          ", perCell.median / batched.median);
    std::printf("\n");
    if (wholeFight)
        timeAWholeFight();
    mw::WorldManager::getInstance().shutDown();
    display.shutDown();
    mw::ResourceManager::getInstance().shutDown();
    return 0;
}
