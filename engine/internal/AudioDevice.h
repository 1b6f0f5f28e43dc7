#pragma once

#include <chrono>
#include <memory>
#include <streambuf>
#include <string>

namespace mw {

/// Keeps the game's sounds and music on a working playback device, for the
/// resource manager. Without a device they play on the audio library's silent
/// null device, which needs nothing and reports nothing. When the sound server
/// goes away (stopped, killed, restarted) the sounds move to the null device
/// and the game plays on; when a default device is back they move onto it
/// again, the music where it has got to.
///
/// A silent voice, looping, is the heartbeat: while a real device plays, its
/// position moves on; a device whose server is gone stops taking samples and
/// the position stands still. Reading it asks no server anything, so a frame
/// never waits for one.
class AudioDevice {
public:
    /// Time between two readings of the heartbeat.
    static constexpr std::chrono::milliseconds CHECK_INTERVAL{500};
    /// Readings in a row without movement that mean the device is gone.
    static constexpr int STALLS_FOR_LOSS = 3;
    /// Time a new device is given before its heartbeat is first read.
    static constexpr std::chrono::milliseconds START_GRACE{2000};
    /// Time between two looks for a default device while on the null device.
    static constexpr std::chrono::milliseconds RETRY_INTERVAL{1000};
    /// The first look after a loss comes sooner, and each one after it waits
    /// twice as long, up to RETRY_INTERVAL: a sound server that restarts is
    /// back within a second or so.
    static constexpr std::chrono::milliseconds FIRST_RETRY{250};

    /// The one audio device of the program.
    static AudioDevice& getInstance();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    /// Chooses the device, once per program: the default one when the system
    /// has one, else the null device. Keeps ALSA's configuration messages off
    /// the standard error. Returns whether a real device plays.
    bool startUp();
    /// Whether startUp was called.
    bool isStarted() const { return m_state != State::NotStarted; }
    /// Whether the sounds go to a real device now.
    bool hasDevice() const { return m_state == State::Real; }

    /// Once a frame; costs a clock reading except every CHECK_INTERVAL.
    /// Moves to the null device when the heartbeat stood still STALLS_FOR_LOSS
    /// readings in a row ("AudioDevice::poll() - Lost the audio device: the
    /// game plays on without sound"), and back to a default device when one
    /// is there ("AudioDevice::poll() - Audio device 'NAME' is back"), looked
    /// for FIRST_RETRY after a loss, then at doubling intervals up to
    /// RETRY_INTERVAL (from the start, when the program began without one).
    void poll();

    /// While one lives, the audio library's messages (a sound that finds no
    /// device, a server that cannot be reached) go nowhere instead of to the
    /// standard error. Only on the game's own thread.
    class Quiet {
    public:
        Quiet();
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        std::streambuf* m_saved;
    };

private:
    enum class State { NotStarted, Real, Null };
    struct Heartbeat;

    AudioDevice();
    void toNull();
    bool toDefault();
    void startHeartbeat();

    State m_state = State::NotStarted;
    // The null device's name, as the audio library gives it.
    std::string m_nullName;
    std::unique_ptr<Heartbeat> m_heartbeat;
    std::chrono::steady_clock::time_point m_nextCheck{};
    int m_stalls = 0;
    std::chrono::milliseconds m_retryDelay = RETRY_INTERVAL;
};

} // namespace mw
