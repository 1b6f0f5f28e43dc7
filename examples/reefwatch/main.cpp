// Reefwatch, a small game on the Marrowick engine: see Reefwatch.h.
#include "Reefwatch.h"

#include "engine/GameManager.h"

int main() {
    mw::GameManager& game = mw::GameManager::getInstance();
    game.startUp();
    // A sprite or sound that fails to load is missing from the game; the log says which.
    reefwatch::loadResources();
    new reefwatch::Harbour;
    game.run();
    game.shutDown();
    return 0;
}
