// Reefwatch, a small game on the Marrowick engine: see ReefwatchRules.h.
#include "Harbour.h"
#include "ReefwatchRules.h"

#include "engine/GameManager.h"

int main() {
    mw::GameManager& game = mw::GameManager::getInstance();
    mw::GameConfig config;
    config.windowTitle = "Reefwatch";
    config.logFile = "reefwatch.log";
    if (game.startUp(config) != 0) {
        // No window or no font: the log and standard error say which.
        game.shutDown();
        return 1;
    }
    // A sprite or sound that fails to load is missing from the game; the log says which.
    reefwatch::loadResources();
    new reefwatch::Harbour;
    game.run();
    game.shutDown();
    return 0;
}
