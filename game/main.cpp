#include "engine/GameManager.h"
#include "engine/ResourceManager.h"
#include "game/BestTimes.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/SharedCounts.h"
#include "game/TitleScreen.h"

#include <SFML/Audio/Music.hpp>

// Starts the engine and the game, runs the loop until game over (Escape, the
// window's close button, or SIGTERM, SIGINT or SIGHUP), shuts down. The game
// plays on without whatever else failed to load (the log says what), but a
// display that cannot show anything ends the program at once, with status 1.
int main() {
    mw::GameManager& game = mw::GameManager::getInstance();
    if (game.startUp() != 0) {
        game.shutDown();
        return 1;
    }
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
    // While the log is open: a best time that cannot be written is named there.
    BestTimes::getInstance().saveBeforeExit();
    game.shutDown();
    // Writes no log line: the log closed with the game manager.
    MatchLoader::getInstance().shutDown();
    return 0;
}
