#pragma once

// How a fight ended, seen from the player's side.
enum GameOverResult {
    WON_BY_TKO = 0,
    WON_BY_KO = 1,
    WON_BY_DECISION = 2,
    LOST_BY_TKO = 3,
    LOST_BY_KO = 4,
    LOST_BY_DECISION = 5,
    DRAW = 6,
};
