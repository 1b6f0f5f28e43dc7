#include "engine/Music.h"

namespace mw {

bool Music::openFromFile(const std::string& fileName) {
    auto track = std::make_unique<sf::Music>();
    if (!track->openFromFile(fileName))
        return false;
    m_track = std::move(track);
    return true;
}

} // namespace mw
