// marrowick_frame_bench [FRAMES]: what a frame costs with a real window, per scene and drawing
// path, beside the floor (an empty frame: clear and display) measured in the same run. Frames
// start 33 ms apart, as the game loop makes them, and the floor and the two paths take turns of
// 30 frames so that all meet the same load; the first frame of a turn, which follows another
// path's picture, is not counted. For the full changing screen a third path sets a bound: the
// glyphs' boxes as flat quads, untextured and unblended, the least that drawing each glyph as a
// quad can cost the renderer. CPU time is the whole process's (the renderer's threads too)
// from a frame's start to the next one's. Sounds play on the silent device. It builds against
// engines from before frames were skipped too, so that tests/bench/compare.sh can set an older
// commit beside this one.
#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/InputSource.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Graphics/Vertex.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

// Older engines name this class a friend: their frame step and drawing path were reached only
// through it.
class TestAccess {
public:
    static void setBatched(bool batched) { mw::DisplayManager::getInstance().setBatched(batched); }
    static void runFrame(const std::function<void()>& input) {
        struct Input : mw::InputSource {
            explicit Input(const std::function<void()>& input) : input(input) {}
            void getInput() override { input(); }
            const std::function<void()>& input;
        } source(input);
        mw::GameManager& game = mw::GameManager::getInstance();
        mw::InputSource* previous = game.getInputSource();
        game.setInputSource(&source);
        game.runFrame();
        game.setInputSource(previous);
    }
};

namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int TURN = 30;
enum Path { FLOOR, PER_CELL, BATCHED, FLAT_BOXES, PATHS };
const char* const PATH_NAMES[] = {"clear+display", "per-cell", "batched", "flat-boxes"};

struct Samples {
    std::vector<double> wall; // ms a frame
    std::vector<double> cpu;  // ms of process CPU time a frame

    void add(const Samples& other) {
        wall.insert(wall.end(), other.wall.begin(), other.wall.end());
        cpu.insert(cpu.end(), other.cpu.begin(), other.cpu.end());
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

// A full screen of 80 x 24 cells; `frame` changes every cell, a fixed value none.
void drawFullScreen(int frame) {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    for (int cell = 0; cell < 80 * 24; ++cell)
        display.drawCh(mw::Vector(static_cast<float>(cell % 80), static_cast<float>(cell / 80)),
                       static_cast<char>('!' + (cell * 7 + frame) % 90),
                       static_cast<mw::Color>(1 + cell % 7));
}

// The glyph boxes of drawFullScreen(frame), two flat triangles each, shown without the display
// manager: no texture, no blending, no backings.
void drawGlyphBoxes(const sf::Font& font, int frame) {
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    const unsigned size = 2 * std::min(display.getCellWidth(), display.getCellHeight());
    static std::vector<sf::Vertex> vertices;
    vertices.clear();
    for (int cell = 0; cell < 80 * 24; ++cell) {
        const char ch = static_cast<char>('!' + (cell * 7 + frame) % 90);
        const sf::FloatRect box = font.getGlyph(static_cast<unsigned char>(ch), size, true).bounds;
        const sf::Vector2f topLeft(
            static_cast<float>(cell % 80 * display.getCellWidth()) + box.position.x,
            static_cast<float>(cell / 80 * display.getCellHeight() + size) + box.position.y);
        const sf::Vector2f bottomRight = topLeft + box.size;
        const sf::Color color = sf::Color::Cyan;
        for (const sf::Vector2f corner :
             {topLeft, sf::Vector2f(bottomRight.x, topLeft.y),
              sf::Vector2f(topLeft.x, bottomRight.y), sf::Vector2f(topLeft.x, bottomRight.y),
              sf::Vector2f(bottomRight.x, topLeft.y), bottomRight})
            vertices.push_back({corner, color});
    }
    sf::RenderWindow& window = *display.getWindow();
    window.draw(vertices.data(), vertices.size(), sf::PrimitiveType::Triangles,
                sf::RenderStates(sf::BlendNone));
    window.display();
    window.clear();
}

// An empty frame is shown, as clear and display, even when the last one was empty too. An
// engine without invalidate() shows every frame.
template <typename Display> void showNextFrame(Display& display) {
    if constexpr (requires { display.invalidate(); })
        display.invalidate();
}

} // namespace

int main(int argc, char** argv) {
    // Before anything opens the sound device: ALSA without a configuration and no sound
    // server leave the silent one.
    setenv("ALSA_CONFIG_PATH", "/dev/null", 1);
    setenv("PULSE_SERVER", "unix:/nonexistent", 1);
    // The libraries' own notes on standard error would come between the figures.
    FILE* errors = fdopen(dup(STDERR_FILENO), "w");
    const int quiet = open("/dev/null", O_WRONLY);
    if (quiet >= 0)
        dup2(quiet, STDERR_FILENO);

    const int frames = std::max(TURN, argc > 1 ? std::atoi(argv[1]) : 150);
    const int turnsPerPath = (frames + TURN - 2) / (TURN - 1);
    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    mw::WorldManager& world = mw::WorldManager::getInstance();
    world.startUp();
    mw::ResourceManager::getInstance().startUp();
    if (display.startUp() != 0) {
        std::fprintf(errors, "frame bench: the display did not start (font or X display)\n");
        return 1;
    }
    loadResources();
    sf::Font font;
    if (!font.openFromFile("mw-font.ttf")) {
        std::fprintf(errors, "frame bench: cannot open mw-font.ttf\n");
        return 1;
    }

    struct Scene {
        const char* name;
        std::vector<Samples> samples = std::vector<Samples>(PATHS);
    };
    std::vector<Scene> scenes = {{"full changing"}, {"full static"}, {"title"}, {"fight"}};
    for (Scene& scene : scenes) {
        const std::string name = scene.name;
        MatchLoader::getInstance().clearWorld();
        world.update();
        if (name == "title")
            new TitleScreen;
        if (name == "fight")
            MatchLoader::getInstance().startMatch(1);
        for (int frame = 0; frame < turnsPerPath * PATHS * TURN; ++frame) {
            const Path path = static_cast<Path>(frame / TURN % PATHS);
            if (path == FLAT_BOXES && name != "full changing")
                continue;
            if (path == PER_CELL || path == BATCHED)
                TestAccess::setBatched(path == BATCHED);
            const auto start = std::chrono::steady_clock::now();
            const std::clock_t cpuStart = std::clock();
            if (path == FLOOR) {
                showNextFrame(display);
                display.swapBuffers();
            } else if (path == FLAT_BOXES) {
                drawGlyphBoxes(font, frame);
            } else if (name == "full changing" || name == "full static") {
                drawFullScreen(name == "full changing" ? frame : 0);
                display.swapBuffers();
            } else {
                TestAccess::runFrame([] {});
            }
            const Milliseconds wall = std::chrono::steady_clock::now() - start;
            std::this_thread::sleep_until(start + std::chrono::milliseconds(33));
            const double cpu = 1000.0 * static_cast<double>(std::clock() - cpuStart) /
                               static_cast<double>(CLOCKS_PER_SEC);
            if (frame % TURN != 0) {
                scene.samples[path].wall.push_back(wall.count());
                scene.samples[path].cpu.push_back(cpu);
            }
        }
    }

    Samples floor;
    for (const Scene& scene : scenes)
        floor.add(scene.samples[FLOOR]);
    const double floorMedian = median(floor.wall);
    const double floorMean = mean(floor.wall);
    const double floorCpu = mean(floor.cpu);
    std::printf("%-14s %-14s %21s %21s %25s %12s\n", "scene", "path", "median ms (x floor)",
                "mean ms (x floor)", "CPU ms a frame (x floor)", "CPU at 30/s");
    const auto print = [&](const char* scene, const char* path, const Samples& samples) {
        const double wallMedian = median(samples.wall);
        const double wallMean = mean(samples.wall);
        const double cpu = mean(samples.cpu);
        std::printf("%-14s %-14s %11.2f (%6.2fx) %11.2f (%6.2fx) %15.2f (%6.2fx) %11.1f%%\n", scene,
                    path, wallMedian, wallMedian / floorMedian, wallMean, wallMean / floorMean, cpu,
                    cpu / floorCpu, 100 * cpu / 33.3);
    };
    print("floor", PATH_NAMES[FLOOR], floor);
    for (const Scene& scene : scenes)
        for (const Path path : {BATCHED, PER_CELL, FLAT_BOXES})
            if (!scene.samples[path].wall.empty())
                print(scene.name, PATH_NAMES[path], scene.samples[path]);
    display.shutDown();
    return 0;
}
