#pragma once

// The counts the game keeps once for the whole program rather than per
// object. Each starts at 0 and carries over from one fight to the next;
// reset() puts them all back to 0, and is called by the program when it
// starts and by the tests before each case.
struct SharedCounts {
    // Steps the hero's current move has lasted. Shared by every Hero: a new
    // match starts with whatever a move cut short by a knockdown left behind.
    int heroMoveSteps = 0;
    // Steps of the wind-up, and of the recovery after a swing, one count per
    // opponent class, shared by every object of that class.
    int opponent1AttackSteps = 0;
    int opponent2AttackSteps = 0;
    int opponent3AttackSteps = 0;
    // Steps spent paused since the "Press any key" prompt was last shown.
    // Shared by every RoundSystem: a pause may start with what the last one left.
    int pauseSteps = 0;
    // Step events received by any round clock. Shared by every Timer: a
    // clock's seconds tick on this count, not on its own.
    int clockSteps = 0;

    void reset();
};

// The program's one set of shared counts.
SharedCounts& sharedCounts();
