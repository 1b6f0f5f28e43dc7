#pragma once

#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>

#include <memory>
#include <string>

namespace mw {

/// One record of the resource manager's sound table: a decoded sound file and
/// its single voice. The voice is bound to this record's buffer, so records
/// never move.
class Sound {
public:
    Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    /// Loads the whole file; on failure the record is left as it was.
    bool loadFromFile(const std::string& fileName);

    /// The name the sound is found by.
    const std::string& getLabel() const { return m_label; }
    /// Sets the name the sound is found by.
    void setLabel(const std::string& label) { m_label = label; }
    /// The voice that plays the samples, or nullptr before a file was loaded.
    sf::Sound* getVoice() const { return m_voice.get(); }
    /// The decoded samples.
    const sf::SoundBuffer& getBuffer() const { return m_buffer; }

    /// Starts the sound once, from its beginning (restarting it if it plays).
    void play();

private:
    sf::SoundBuffer m_buffer;
    std::unique_ptr<sf::Sound> m_voice;
    std::string m_label;
};

} // namespace mw
