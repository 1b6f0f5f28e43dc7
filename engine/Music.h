#pragma once

#include <SFML/Audio/Music.hpp>

#include <string>

namespace mw {

// One record of the resource manager's music table: a track streamed from its file.
class Music {
public:
    Music() = default;
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    bool openFromFile(const std::string& fileName) { return m_track.openFromFile(fileName); }

    const std::string& getLabel() const { return m_label; }
    void setLabel(const std::string& label) { m_label = label; }
    sf::Music* getTrack() { return &m_track; }

private:
    sf::Music m_track;
    std::string m_label;
};

} // namespace mw
