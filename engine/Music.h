#pragma once

#include <SFML/Audio/Music.hpp>

#include <memory>
#include <string>

namespace mw {

/// One record of the resource manager's music table: a track streamed from its file.
class Music {
public:
    Music() = default;
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    /// Opens the file in a fresh track: a stream that failed to open is never
    /// reused, since it is left half reset. On failure the record is unchanged.
    bool openFromFile(const std::string& fileName);

    /// The name the track is found by.
    const std::string& getLabel() const { return m_label; }
    /// Sets the name the track is found by.
    void setLabel(const std::string& label) { m_label = label; }
    /// The open track, or nullptr before a file was opened.
    sf::Music* getTrack() const { return m_track.get(); }

private:
    std::unique_ptr<sf::Music> m_track;
    std::string m_label;
};

} // namespace mw
