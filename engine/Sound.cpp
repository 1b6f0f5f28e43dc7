#include "engine/Sound.h"

namespace mw {

bool Sound::loadFromFile(const std::string& fileName) {
    sf::SoundBuffer loaded;
    if (!loaded.loadFromFile(fileName))
        return false;
    m_voice.reset();
    m_buffer = std::move(loaded);
    m_voice = std::make_unique<sf::Sound>(m_buffer);
    return true;
}

void Sound::play() {
    if (!m_voice)
        return;
    m_voice->setLooping(false);
    m_voice->play();
}

} // namespace mw
