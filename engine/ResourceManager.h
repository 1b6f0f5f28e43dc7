#pragma once

#include "engine/Manager.h"
#include "engine/Music.h"
#include "engine/Sound.h"

#include <array>
#include <memory>
#include <string>

namespace sf {
class Music;
}

namespace mw {

class Sprite;

/// Keeps the sprites, sounds and music tracks the game loads, each under a label.
class ResourceManager : public Manager {
public:
    /// The sprites one run can load.
    static constexpr int MAX_SPRITES = 1000;
    /// The sounds one run can load.
    static constexpr int MAX_SOUNDS = 128;
    /// The music tracks one run can load.
    static constexpr int MAX_MUSIC = 128;
    /// A sprite's frames are allocated up front; a larger count is refused.
    static constexpr int MAX_SPRITE_FRAMES = 10000;
    /// No frame can show more than the display's 80 x 24 cells; a larger one
    /// would only cost drawing time.
    static constexpr int MAX_SPRITE_WIDTH = 80;
    /// The tallest frame accepted, in rows.
    static constexpr int MAX_SPRITE_HEIGHT = 24;

    /// The one resource manager.
    static ResourceManager& getInstance();
    ~ResourceManager() override;

    /// Starts with no sprites and logs "ResourceManager::startUp() - RM was
    /// started"; always 0.
    int startUp() override;
    /// Deletes the sprites; sound and music records stay until program exit but
    /// are no longer counted.
    /// Logs "ResourceManager::shutDown() - RM was shut down".
    void shutDown() override;

    /// Reads a sprite file (the format: @ref sprite_format); 0 or -1.
    /// Relative file names of this and the other loads are read from the data
    /// folder (setDataFolder()), and their log lines name the file so read.
    /// On failure the log names the file and the reason ("Failed to open file",
    /// "Couldn't identify color", "Reached max sprite count!", a size out of
    /// bounds); on success it logs "Loaded Sprite in 'FILE' with label 'LABEL'".
    [[nodiscard]] int loadSprite(const std::string& fileName, const std::string& label);
    /// The first sprite loaded under the label, or nullptr.
    Sprite* getSprite(const std::string& label) const;

    /// Loads a whole sound file (WAV) into the next free record under the
    /// label. Returns -1 when the table is full ("Sound array full!") or the file
    /// cannot be loaded ("Unable to load sound 'LABEL' from file 'FILE'"), each
    /// with its log line; 0 otherwise, logging the load.
    [[nodiscard]] int loadSound(const std::string& fileName, const std::string& label);
    /// The first sound loaded under the label, or nullptr.
    Sound* getSound(const std::string& label);
    /// Plays the sound once from its start; an unknown label is skipped.
    void playSound(const std::string& label);

    /// Opens a music file (WAV), to be streamed, in the next free record under
    /// the label. Returns -1 when the table is full ("Music array full!") or the
    /// file cannot be opened ("Unable to load music 'LABEL' from file 'FILE'"),
    /// each with its log line; 0 otherwise, logging the load.
    [[nodiscard]] int loadMusic(const std::string& fileName, const std::string& label);
    /// The track of the first music loaded under the label, or nullptr.
    sf::Music* getMusic(const std::string& label);

    /// Whether the name leads, through any links, to a regular file: a FIFO
    /// would block its reader, a device or a directory reads as endless or
    /// nothing.
    static bool isRegularFile(const std::string& fileName);

    /// Whether the file is a RIFF WAVE file whose chunks, up to and with the
    /// data chunk, lie within it, with a PCM format of 1 to 8 channels before
    /// the data: decoders size their buffers by the declared length, and
    /// probing other formats is left out, as it can crash on hostile bytes.
    static bool isCompleteWav(const std::string& fileName);

    /// The folder relative names are read from; empty (the default) for the
    /// working directory. GameManager::startUp() sets it from GameConfig.
    void setDataFolder(const std::string& folder) { m_dataFolder = folder; }
    /// The folder relative names are read from.
    const std::string& getDataFolder() const { return m_dataFolder; }
    /// The name as a load reads it: a relative name under the data folder,
    /// an absolute one as it is.
    std::string getDataPath(const std::string& name) const;

    /// Sprites loaded.
    int getSpriteCount() const { return m_spriteCount; }
    /// Sounds loaded.
    int getSoundCount() const { return m_soundCount; }
    /// Music tracks loaded.
    int getMusicCount() const { return m_musicCount; }

private:
    ResourceManager();
    void deleteSprites();
    /// Chooses the audio device before the first sound or track needs it,
    /// once per program; without one, logs "ResourceManager::startAudio() -
    /// No audio device: the game plays without sound".
    static void startAudio();

    std::string m_dataFolder;
    std::array<Sprite*, MAX_SPRITES> m_sprites{};
    int m_spriteCount = 0;
    std::unique_ptr<std::array<Sound, MAX_SOUNDS>> m_sounds;
    int m_soundCount = 0;
    std::unique_ptr<std::array<Music, MAX_MUSIC>> m_music;
    int m_musicCount = 0;
};

} // namespace mw
