#include "engine/GameManager.h"
#include "engine/ResourceManager.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/SharedCounts.h"
#include "game/TitleScreen.h"

#include <SFML/Audio/Music.hpp>

// Starts the engine and the game, runs the loop until game over, shuts down.
// Every step's result is ignored: failures are in the log, and the game plays
// on without what failed to load.
int main() {
    mw::GameManager& game = mw::GameManager::getInstance();
    game.startUp();
    MatchLoader::getInstance().startUp();
    sharedCounts().reset();
    // Resources first: the title screen looks its sprites up when it is made.
    loadResources();
    new TitleScreen;
    if (sf::Music* theme = mw::ResourceManager::getInstance().getMusic("theme-music")) {
        theme->setLooping(true);
        theme->play();
    }
    game.run();
    game.shutDown();
    // Writes no log line: the log closed with the game manager.
    MatchLoader::getInstance().shutDown();
    return 0;
}
