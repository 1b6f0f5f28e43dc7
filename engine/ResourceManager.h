#pragma once

#include "engine/Manager.h"
#include "engine/Music.h"
#include "engine/Sound.h"

#include <array>
#include <memory>
#include <string>

class TestAccess;

namespace sf {
class Music;
}

namespace mw {

class Sprite;

// Keeps the sprites, sounds and music tracks the game loads, each under a label.
class ResourceManager : public Manager {
public:
    static constexpr int MAX_SPRITES = 1000;
    static constexpr int MAX_SOUNDS = 128;
    static constexpr int MAX_MUSIC = 128;
    // A sprite's frames are allocated up front; a larger count is refused.
    static constexpr int MAX_SPRITE_FRAMES = 10000;
    // No frame can show more than the display's 80 x 24 cells; a larger one
    // would only cost drawing time.
    static constexpr int MAX_SPRITE_WIDTH = 80;
    static constexpr int MAX_SPRITE_HEIGHT = 24;

    static ResourceManager& getInstance();
    ~ResourceManager() override;

    int startUp() override;
    // Deletes the sprites; sound and music records stay until program exit but
    // are no longer counted.
    void shutDown() override;

    // Reads a sprite file (see data/README.md for the format); 0 or -1.
    int loadSprite(const std::string& fileName, const std::string& label);
    // The first sprite loaded under the label, or nullptr.
    Sprite* getSprite(const std::string& label) const;

    int loadSound(const std::string& fileName, const std::string& label);
    Sound* getSound(const std::string& label);
    // Plays the sound once from its start; an unknown label is skipped.
    void playSound(const std::string& label);

    int loadMusic(const std::string& fileName, const std::string& label);
    sf::Music* getMusic(const std::string& label);

    // Whether the name leads, through any links, to a regular file: a FIFO
    // would block its reader, a device or a directory reads as endless or
    // nothing.
    static bool isRegularFile(const std::string& fileName);

    int getSpriteCount() const { return m_spriteCount; }
    int getSoundCount() const { return m_soundCount; }
    int getMusicCount() const { return m_musicCount; }

private:
    // Tests set up and read back state through it (tests/support/TestAccess.h);
    // the program never does.
    friend class ::TestAccess;

    // Whether the file is a RIFF WAVE file whose chunks, up to and with the
    // data chunk, lie within it, with a PCM format of 1 to 8 channels before
    // the data: decoders size their buffers by the declared length, and
    // probing other formats is left out, as it can crash on hostile bytes.
    static bool isCompleteWav(const std::string& fileName);

    ResourceManager();
    void deleteSprites();

    std::array<Sprite*, MAX_SPRITES> m_sprites{};
    int m_spriteCount = 0;
    std::unique_ptr<std::array<Sound, MAX_SOUNDS>> m_sounds;
    int m_soundCount = 0;
    std::unique_ptr<std::array<Music, MAX_MUSIC>> m_music;
    int m_musicCount = 0;
};

} // namespace mw
