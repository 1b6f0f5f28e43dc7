#pragma once

// Reefwatch: a lighthouse keeper's night. Boats sail in from the open sea on
// the right, blind, towards the reef on the left. The player slides the lamp
// up and down the lighthouse (Up, Down) and fires flares (Space); a boat that
// a flare reaches turns and sails home, out of the world on the right. Twelve
// boats home win the night; three wrecks on the reef lose it.

#include <string>

namespace mw {
class WorldManager;
} // namespace mw

namespace reefwatch {

inline constexpr int BOATS_TO_SAVE = 12;
inline constexpr int WRECKS_TO_LOSE = 3;
inline constexpr int MAX_FLARES = 2;

// Where things are, in cells. The lamp moves on column 3 between the two caps;
// the reef stands on column 9 from row 2 to row 22; boats sail on seven lanes.
inline constexpr float LAMP_X = 3.0f;
inline constexpr float LAMP_START_Y = 12.0f;
inline constexpr float REEF_X = 9.0f;
inline constexpr float BOAT_START_X = 76.0f;
inline constexpr int LANE_COUNT = 7;
inline constexpr float FIRST_LANE_Y = 3.0f;
inline constexpr float LANE_SPACING = 3.0f;

// Speeds in cells per frame: binary fractions, so positions stay exact.
inline constexpr float LAMP_SPEED = 0.5f;
inline constexpr float FLARE_SPEED = 1.5f;
inline constexpr float HOMEWARD_SPEED = 0.5f;

// Loads every sprite and sound from sprites/ and audio/ of the data folder
// (the working directory); returns how many failed (each failure is in the log).
int loadResources();

mw::WorldManager& world();

void playSound(const std::string& label);

} // namespace reefwatch
