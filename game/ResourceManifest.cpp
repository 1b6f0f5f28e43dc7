#include "game/ResourceManifest.h"

#include "engine/ResourceManager.h"

#include <array>
#include <string>

namespace {

struct SpriteEntry {
    const char* label;
    const char* file;
};

constexpr std::array<SpriteEntry, 12> SCREEN_SPRITES = {{
    {"world", "sprites/world-spr.txt"},
    {"ring", "sprites/ring-spr.txt"},
    {"frame-opponent1", "sprites/frame-opponent1.txt"},
    {"frame-opponent2", "sprites/frame-opponent2.txt"},
    {"frame-opponent3", "sprites/frame-opponent3.txt"},
    {"game-title", "sprites/game-title.txt"},
    {"hero-d-left", "sprites/hero-dodge-left.txt"},
    {"hero-d-right", "sprites/hero-dodge-right.txt"},
    {"hero-s-left", "sprites/hero-swing-left.txt"},
    {"hero-s-right", "sprites/hero-swing-right.txt"},
    {"hero-idle", "sprites/hero-idle.txt"},
    {"hero-down", "sprites/hero-down.txt"},
}};

struct Pose {
    const char* labelEnding;
    const char* fileEnding;
};

constexpr std::array<Pose, 10> OPPONENT_POSES = {{
    {"idle", "idle.txt"},
    {"swing-right", "swing-right.txt"},
    {"charge-right", "chargeswing-right.txt"},
    {"swing-left", "swing-left.txt"},
    {"charge-left", "chargeswing-left.txt"},
    {"dodge-right", "dodge-right.txt"},
    {"dodge-left", "dodge-left.txt"},
    {"down", "down.txt"},
    {"tell", "tell.txt"},
    {"stunned", "stunned.txt"},
}};

struct OpponentFiles {
    const char* labelPrefix;
    const char* filePrefix;
};

constexpr std::array<OpponentFiles, 3> OPPONENTS = {{
    {"opponent-", "sprites/opponent-1/opponent-"},
    {"opponent2-", "sprites/opponent-2/opponent2-"},
    {"opponent3-", "sprites/opponent-3/opponent3-"},
}};

constexpr std::array<const char*, 11> SOUND_LABELS = {
    "hero-dodge",       "hero-hit",         "hero-swing",      "opponent-dodge", "opponent-hit",
    "opponent-swing",   "opponent-stunned", "opponent-charge", "opponent-tell",  "tko",
    "successful-dodge",
};

} // namespace

void loadResources() {
    // A failed load has its log line, and the game plays on without what failed.
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    for (const SpriteEntry& sprite : SCREEN_SPRITES)
        (void)resources.loadSprite(sprite.file, sprite.label);
    for (const OpponentFiles& opponent : OPPONENTS) {
        for (const Pose& pose : OPPONENT_POSES)
            (void)resources.loadSprite(std::string(opponent.filePrefix) + pose.fileEnding,
                                       std::string(opponent.labelPrefix) + pose.labelEnding);
    }
    for (const char* label : SOUND_LABELS)
        (void)resources.loadSound(std::string("audio/") + label + ".wav", label);
    (void)resources.loadMusic("audio/mwbrawlicktheme.wav", "theme-music");
}
