#include "engine/internal/AudioDevice.h"

#include "engine/LogManager.h"

#include <SFML/Audio/PlaybackDevice.hpp>
#include <SFML/Audio/Sound.hpp>
#include <SFML/Audio/SoundBuffer.hpp>
#include <SFML/System/Err.hpp>
#include <SFML/System/Time.hpp>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include <dlfcn.h>

namespace {

// A handler for ALSA's library messages that drops them; ALSA calls it with
// the file, line, function, error number and a printf format.
extern "C" void dropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// ALSA prints its configuration errors (no card, no configuration) to the
// standard error unless a handler takes them. The audio library loads
// "libasound.so.2" at run time; loaded here first and never closed, it stays
// the one copy in the process, with this handler.
void quietAlsa() {
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (void* set = dlsym(alsa, "snd_lib_error_set_handler"))
        reinterpret_cast<SetHandler>(set)(&dropAlsaMessage);
}

class DiscardBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

DiscardBuffer discardBuffer;

// Long, and of a length no check interval divides, so that a moving position
// is never read twice at the same sample.
constexpr unsigned HEARTBEAT_RATE = 8000;
constexpr std::size_t HEARTBEAT_SAMPLES = HEARTBEAT_RATE * 13 / 10;

} // namespace

namespace mw {

struct AudioDevice::Heartbeat {
    sf::SoundBuffer buffer;
    std::optional<sf::Sound> voice;
    std::int64_t lastPosition = -1;
};

AudioDevice::Quiet::Quiet() : m_saved(sf::err().rdbuf(&discardBuffer)) {}

AudioDevice::Quiet::~Quiet() {
    sf::err().rdbuf(m_saved);
}

AudioDevice::AudioDevice() = default;
AudioDevice::~AudioDevice() = default;

AudioDevice& AudioDevice::getInstance() {
    static AudioDevice instance;
    return instance;
}

bool AudioDevice::startUp() {
    if (m_state != State::NotStarted)
        return hasDevice();
    quietAlsa();
    const Quiet quiet;
    const std::optional<std::string> defaultDevice = sf::PlaybackDevice::getDefaultDevice();
    // The null device first: it always opens, and its name tells a default
    // device that is only the null one (no server, no card) from a real one.
    // A failed switch to a default device leaves the audio library unusable,
    // so it is tried only when one is there.
    // The device opens with the first voice, the heartbeat's.
    toNull();
    startHeartbeat();
    m_nullName = sf::PlaybackDevice::getDevice().value_or("");
    if (defaultDevice && *defaultDevice != m_nullName)
        toDefault();
    m_nextCheck = std::chrono::steady_clock::now() + START_GRACE;
    return hasDevice();
}

void AudioDevice::startHeartbeat() {
    auto heartbeat = std::make_unique<Heartbeat>();
    const std::vector<std::int16_t> silence(HEARTBEAT_SAMPLES, 0);
    if (!heartbeat->buffer.loadFromSamples(silence.data(), silence.size(), 1, HEARTBEAT_RATE,
                                           {sf::SoundChannel::Mono}))
        return;
    heartbeat->voice.emplace(heartbeat->buffer);
    heartbeat->voice->setLooping(true);
    heartbeat->voice->play();
    m_heartbeat = std::move(heartbeat);
}

void AudioDevice::toNull() {
    (void)sf::PlaybackDevice::setDeviceToNull();
    m_state = State::Null;
}

bool AudioDevice::toDefault() {
    if (!sf::PlaybackDevice::setDeviceToDefault())
        return false;
    m_state = State::Real;
    m_stalls = 0;
    if (m_heartbeat)
        m_heartbeat->lastPosition = -1;
    return true;
}

void AudioDevice::poll() {
    if (m_state == State::NotStarted)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextCheck)
        return;
    const Quiet quiet;
    const LogManager& log = LogManager::getInstance();
    if (m_state == State::Real) {
        m_nextCheck = now + CHECK_INTERVAL;
        if (!m_heartbeat)
            return;
        if (m_heartbeat->voice->getStatus() != sf::Sound::Status::Playing)
            m_heartbeat->voice->play();
        const std::int64_t position = m_heartbeat->voice->getPlayingOffset().asMicroseconds();
        m_stalls = position == m_heartbeat->lastPosition ? m_stalls + 1 : 0;
        m_heartbeat->lastPosition = position;
        if (m_stalls < STALLS_FOR_LOSS)
            return;
        toNull();
        log.writeLog(
            "AudioDevice::poll() - Lost the audio device: the game plays on without sound");
        m_retryDelay = FIRST_RETRY;
        m_nextCheck = now + m_retryDelay;
        return;
    }
    m_retryDelay = std::min(2 * m_retryDelay, RETRY_INTERVAL);
    m_nextCheck = now + m_retryDelay;
    const std::optional<std::string> defaultDevice = sf::PlaybackDevice::getDefaultDevice();
    if (defaultDevice && *defaultDevice != m_nullName && toDefault()) {
        log.writeLog("AudioDevice::poll() - Audio device '%s' is back", defaultDevice->c_str());
        // A new stream takes a moment to start taking samples.
        m_nextCheck = now + START_GRACE;
    }
}

} // namespace mw
