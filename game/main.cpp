#include "engine/GameManager.h"

int main() {
    mw::GameManager& game = mw::GameManager::getInstance();
    game.startUp();
    game.setGameOver(true);
    game.run();
    game.shutDown();
    return 0;
}
