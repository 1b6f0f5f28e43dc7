#pragma once

#include <string>

namespace mw {

/// What a game tells the engine about itself when it starts it
/// (GameManager::startUp(const GameConfig&)). Every default is the engine's
/// own setting, so a game that gives none runs exactly as startUp() does.
struct GameConfig {
    /// The window's title.
    std::string windowTitle = "Marrowick";
    /// The font every cell is drawn with; a relative name is read from dataFolder.
    std::string fontFile = "mw-font.ttf";
    /// The log, written relative to the working directory unless absolute.
    std::string logFile = "marrowick.log";
    /// Flushes the log after every line, so that a crash loses none of it.
    /// Off by default: lines then reach the disk when the buffer fills or the
    /// log closes, and a crash can leave the log empty.
    bool flushLog = false;
    /// The folder that relative names of the font, sprites, sounds and music
    /// are read from; empty for the working directory.
    std::string dataFolder;
};

} // namespace mw
