#pragma once

#include "engine/EventKeyboard.h"
#include "engine/Object.h"
#include "game/BestTimes.h"

#include <array>

namespace mw {
class Sprite;
}

// The menu: the title, the three opponents with their names and best times,
// and the keys that pick a fight (1, 2, 3), the tutorial (T) or quit (Escape).
class TitleScreen : public mw::Object {
public:
    // Takes in the best times that another copy of the game saved meanwhile.
    TitleScreen();

    // Replaces the world by a new title screen: the way back from a fight
    // or the tutorial.
    static void show();

    int eventHandler(const mw::Event& event) override;
    int draw() override;

private:
    void handleKey(const mw::EventKeyboard& event);
    void startTutorial();

    const mw::Sprite* m_titleSprite = nullptr;
    std::array<const mw::Sprite*, BestTimes::OPPONENT_COUNT> m_opponentFrames{};
};
