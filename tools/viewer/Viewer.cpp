// mw_viewer: looks at the game's art in the real window, from the program's
// working directory (sprites/, audio/, mw-font.ttf).
//
//   mw_viewer sprite LABEL            one sprite, animated, at the screen's centre
//   mw_viewer fight N POSE HERO-POSE  ring, opponent N (1-3) in POSE, the hero in HERO-POSE
//   mw_viewer title                   the title screen
//   mw_viewer testframe               a sprite and centred strings in every colour
//
// With --png FILE [--frames N] the scene is drawn N frames (default 1) without
// waiting and the last one is saved as FILE; otherwise it stays on screen until
// the window is closed or Escape is pressed.
#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"
#include "game/HealthUI.h"
#include "game/ResourceManifest.h"
#include "game/RoundUI.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderWindow.hpp>
#include <SFML/Window/Event.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using mw::Vector;

void drawSprite(const std::string& label, Vector position, int frame) {
    const mw::Sprite* sprite = mw::ResourceManager::getInstance().getSprite(label);
    if (sprite == nullptr) {
        std::fprintf(stderr, "mw_viewer: no sprite '%s'\n", label.c_str());
        return;
    }
    const int slowdown = sprite->getSlowdown() > 0 ? sprite->getSlowdown() : 1;
    const int index = sprite->getSlowdown() == -1 || sprite->getFrameCount() == 0
                          ? 0
                          : (frame / slowdown) % sprite->getFrameCount();
    sprite->draw(index, position);
}

std::string opponentPrefix(int number) {
    return number == 1 ? "opponent-" : "opponent" + std::to_string(number) + "-";
}

// Wind-ups and dodges stand three columns to their side.
float poseOffset(const std::string& pose) {
    if (pose == "charge-left" || pose == "dodge-left")
        return -3;
    if (pose == "charge-right" || pose == "dodge-right")
        return 3;
    return 0;
}

std::function<void(int)> fightScene(int opponent, const std::string& pose,
                                    const std::string& heroPose) {
    // The fight's displays are ordinary world objects.
    new HealthUI(Vector(5, 2));
    new HealthUI(Vector(50, 2));
    new RoundUI(1);
    new Timer();
    return [=](int frame) {
        mw::DisplayManager& display = mw::DisplayManager::getInstance();
        drawSprite("ring", Vector(42.5f, 14), frame);
        drawSprite(opponentPrefix(opponent) + pose, Vector(42 + poseOffset(pose), 16), frame);
        display.drawString(Vector(43, 10), "Round " + std::to_string(opponent) + ": " + pose,
                           mw::JUSTIFY_CENTER, mw::COLOR_WHITE);
        drawSprite("hero-" + heroPose, Vector(42, 19), frame);
        mw::WorldManager::getInstance().draw();
    };
}

std::function<void(int)> testFrame() {
    return [](int frame) {
        mw::DisplayManager& display = mw::DisplayManager::getInstance();
        drawSprite("frame-opponent1", Vector(15, 8), frame);
        for (int color = 1; color < mw::COLOR_COUNT; ++color) {
            const std::string text =
                std::string(color % 2 ? "odd" : "even") + " centred " + std::to_string(color);
            display.drawString(Vector(55, static_cast<float>(2 + color * 2)), text,
                               mw::JUSTIFY_CENTER, static_cast<mw::Color>(color));
        }
        display.drawString(Vector(40, 22), "ABC JUSTIFY_CENTER at 40", mw::JUSTIFY_CENTER,
                           mw::COLOR_WHITE);
    };
}

int usage() {
    std::fprintf(stderr, "usage: mw_viewer sprite LABEL | fight N POSE HERO-POSE | title | "
                         "testframe [--png FILE] [--frames N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    std::string png;
    int frames = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--png" && i + 1 < argc)
            png = argv[++i];
        else if (arg == "--frames" && i + 1 < argc)
            frames = std::max(1, std::atoi(argv[++i]));
        else
            args.push_back(arg);
    }
    if (args.empty())
        return usage();

    mw::GameManager& game = mw::GameManager::getInstance();
    if (game.startUp() != 0) {
        game.shutDown();
        return 1;
    }
    loadResources();

    std::function<void(int)> scene;
    if (args[0] == "sprite" && args.size() == 2) {
        scene = [label = args[1]](int frame) { drawSprite(label, Vector(40, 12), frame); };
    } else if (args[0] == "fight" && args.size() == 4) {
        scene = fightScene(std::atoi(args[1].c_str()), args[2], args[3]);
    } else if (args[0] == "title") {
        new TitleScreen;
        scene = [](int) { mw::WorldManager::getInstance().draw(); };
    } else if (args[0] == "testframe") {
        scene = testFrame();
    } else {
        game.shutDown();
        return usage();
    }

    mw::DisplayManager& display = mw::DisplayManager::getInstance();
    sf::RenderWindow* window = display.getWindow();
    int status = 0;
    for (int frame = 0; window != nullptr; ++frame) {
        scene(frame);
        if (!png.empty() && frame + 1 >= frames) {
            if (!display.capture().saveToFile(png))
                status = 1;
            break;
        }
        display.swapBuffers();
        bool quit = false;
        while (const std::optional event = window->pollEvent()) {
            const auto* key = event->getIf<sf::Event::KeyPressed>();
            quit = quit || event->is<sf::Event::Closed>() ||
                   (key != nullptr && key->code == sf::Keyboard::Key::Escape);
        }
        if (quit)
            break;
        if (png.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(33));
    }
    game.shutDown();
    return status;
}
