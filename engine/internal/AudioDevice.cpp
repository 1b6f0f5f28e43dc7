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
#include <streambuf>
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

// How many Quiet objects live on this thread; the device thread counts one
// for all its life.
thread_local int quietDepth = 0;

// Stands between the audio library's error stream and where it wrote before:
// what a quiet thread writes goes nowhere, the rest passes through. It has no
// buffer of its own, so threads that write at once never share one.
class QuietFilter : public std::streambuf {
public:
    explicit QuietFilter(std::streambuf* target) : m_target(target) {}

protected:
    int overflow(int c) override {
        if (quietDepth > 0 || m_target == nullptr ||
            traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        return m_target->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (quietDepth > 0 || m_target == nullptr)
            return count;
        return m_target->sputn(text, count);
    }
    int sync() override { return m_target == nullptr ? 0 : m_target->pubsync(); }

private:
    std::streambuf* m_target;
};

// Put in place once, on the game's thread, and never destroyed: the library
// may write to its error stream until the very end of the program.
void installQuietFilter() {
    static QuietFilter* const filter = new QuietFilter(sf::err().rdbuf());
    if (sf::err().rdbuf() != filter)
        sf::err().rdbuf(filter);
}

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

AudioDevice::Quiet::Quiet() {
    installQuietFilter();
    ++quietDepth;
}

AudioDevice::Quiet::~Quiet() {
    --quietDepth;
}

AudioDevice::AudioDevice() = default;

AudioDevice& AudioDevice::getInstance() {
    static AudioDevice* const instance = new AudioDevice;
    return *instance;
}

bool AudioDevice::startUp() {
    if (m_state != State::NotStarted)
        return hasDevice();
    quietAlsa();
    const Quiet quiet;
    const std::optional<std::string> defaultDevice = sf::PlaybackDevice::getDefaultDevice();
    // The null device first: it always opens, and its name tells a default
    // device that is only the null one (no server, no card) from a real one.
    // The device opens with the first voice, the heartbeat's.
    (void)toNull();
    startHeartbeat();
    m_nullName = sf::PlaybackDevice::getDevice().value_or("");
    m_state = State::Null;
    if (defaultDevice && *defaultDevice != m_nullName) {
        if (toDefault()) {
            m_state = State::Real;
        } else {
            m_state = State::Broken;
            LogManager::getInstance().writeLog(
                "AudioDevice::startUp() - The audio library could not open '%s' and cannot move "
                "its sounds again: the game plays without sound",
                defaultDevice->c_str());
        }
    }
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

bool AudioDevice::toNull() {
    return sf::PlaybackDevice::setDeviceToNull();
}

bool AudioDevice::toDefault() {
    return sf::PlaybackDevice::setDeviceToDefault();
}

bool AudioDevice::mayReleaseVoices() const {
    return m_state != State::Broken && m_state != State::Moving && !m_threadStuck &&
           !m_serverSilent;
}

std::unique_lock<std::mutex> AudioDevice::tryUseVoices() {
    if (m_state == State::Moving || m_state == State::Broken)
        return {};
    return std::unique_lock<std::mutex>(m_voices, std::try_to_lock);
}

void AudioDevice::post(Request request) {
    if (m_threadStuck)
        return;
    if (!m_thread.joinable())
        m_thread = std::thread(&AudioDevice::runDeviceThread, this);
    m_state = State::Moving;
    m_posted = request;
    {
        const std::lock_guard<std::mutex> lock(m_requestLock);
        m_request = request;
        m_done = false;
    }
    m_requested.notify_one();
}

void AudioDevice::runDeviceThread() {
    // The audio library's complaints about a server that is gone are expected here.
    quietDepth = 1;
    std::unique_lock<std::mutex> lock(m_requestLock);
    for (;;) {
        m_requested.wait(lock, [this] { return m_request != Request::None; });
        const Request request = m_request;
        m_request = Request::None;
        if (request == Request::Stop)
            return;
        m_busy = true;
        lock.unlock();
        bool moved = false;
        bool failed = false;
        std::string name;
        if (request == Request::ToNull) {
            const std::lock_guard<std::mutex> voices(m_voices);
            failed = !toNull();
        } else {
            // Asks the server, which may not answer for a while.
            const std::optional<std::string> defaultDevice = sf::PlaybackDevice::getDefaultDevice();
            if (defaultDevice && *defaultDevice != m_nullName) {
                name = *defaultDevice;
                const std::lock_guard<std::mutex> voices(m_voices);
                failed = !toDefault();
            }
        }
        moved = !failed && (request == Request::ToNull || !name.empty());
        lock.lock();
        m_busy = false;
        m_done = true;
        m_moved = moved;
        m_failed = failed;
        m_deviceName = name;
        m_requested.notify_all();
    }
}

void AudioDevice::finishMove() {
    bool moved = false;
    bool failed = false;
    std::string name;
    {
        const std::lock_guard<std::mutex> lock(m_requestLock);
        if (!m_done)
            return;
        m_done = false;
        moved = m_moved;
        failed = m_failed;
        name = m_deviceName;
    }
    const auto now = std::chrono::steady_clock::now();
    const LogManager& log = LogManager::getInstance();
    if (failed) {
        m_state = State::Broken;
        log.writeLog("AudioDevice::poll() - The audio library could not open '%s' and cannot move "
                     "its sounds again: the game plays on without sound",
                     m_posted == Request::ToNull ? m_nullName.c_str() : name.c_str());
        return;
    }
    if (m_posted == Request::ToDefault && moved) {
        m_state = State::Real;
        m_stalls = 0;
        if (m_heartbeat)
            m_heartbeat->lastPosition = -1;
        log.writeLog("AudioDevice::poll() - Audio device '%s' is back", name.c_str());
        // A new stream takes a moment to start taking samples.
        m_nextCheck = now + START_GRACE;
        return;
    }
    m_state = State::Null;
    m_nextCheck = now + m_retryDelay;
}

void AudioDevice::checkHeartbeat(std::chrono::steady_clock::time_point now) {
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
    LogManager::getInstance().writeLog(
        "AudioDevice::poll() - Lost the audio device: the game plays on without sound");
    m_retryDelay = FIRST_RETRY;
    post(Request::ToNull);
}

void AudioDevice::poll() {
    if (m_state == State::NotStarted || m_state == State::Broken)
        return;
    if (m_state == State::Moving) {
        finishMove();
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now < m_nextCheck)
        return;
    const Quiet quiet;
    if (m_state == State::Real) {
        checkHeartbeat(now);
        return;
    }
    m_retryDelay = std::min(2 * m_retryDelay, RETRY_INTERVAL);
    post(Request::ToDefault);
}

void AudioDevice::shutDown() {
    if (m_thread.joinable()) {
        std::unique_lock<std::mutex> lock(m_requestLock);
        // A move nearly done is waited for; one held by a server that does
        // not answer is not.
        m_requested.wait_for(lock, STOP_WAIT,
                             [this] { return !m_busy && m_request == Request::None; });
        if (m_busy || m_request != Request::None) {
            m_threadStuck = true;
            lock.unlock();
            m_thread.detach();
            LogManager::getInstance().writeLog("AudioDevice::shutDown() - The sound server does "
                                               "not answer: the sounds are left to the system");
            return;
        }
        m_request = Request::Stop;
        lock.unlock();
        m_requested.notify_one();
        m_thread.join();
    }
    if (m_state == State::Moving)
        finishMove();
    if (m_state == State::Real && !heartbeatMovesWithin(STOP_WAIT)) {
        // A server frozen since the last reading would hold every voice's
        // destruction until it runs again.
        m_serverSilent = true;
        LogManager::getInstance().writeLog("AudioDevice::shutDown() - The sound server does "
                                           "not answer: the sounds are left to the system");
    }
    if (mayReleaseVoices())
        m_heartbeat.reset();
}

bool AudioDevice::heartbeatMovesWithin(std::chrono::milliseconds wait) {
    if (!m_heartbeat || m_heartbeat->voice->getStatus() != sf::Sound::Status::Playing)
        return true;
    const Quiet quiet;
    const std::int64_t start = m_heartbeat->voice->getPlayingOffset().asMicroseconds();
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(HEARTBEAT_LOOK);
        if (m_heartbeat->voice->getPlayingOffset().asMicroseconds() != start)
            return true;
    }
    return false;
}

} // namespace mw
