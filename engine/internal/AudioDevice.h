#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

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
///
/// Moving to another device waits for the old one to stop, which a server
/// that does not answer (stopped, frozen in a debugger) makes last as long as
/// it does not answer; looking for a default device asks the server too. Both
/// happen on a thread of their own, the device thread: the game's thread only
/// posts a request and reads the outcome at a later frame. While a move is
/// under way no voice may be used, so the game's sounds are skipped
/// (tryUseVoices).
///
/// A move that fails leaves the audio library with the voices of the old
/// device freed but still held: using, moving or destroying them again would
/// free their memory twice. After one, the device is broken for the rest of
/// the run: the game plays on without sound, and the voices are never
/// destroyed (mayReleaseVoices).
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
    /// The longest shutDown waits for a move under way to end, and for the
    /// heartbeat of a real device to move.
    static constexpr std::chrono::milliseconds STOP_WAIT{300};
    /// Time between two readings of the heartbeat at shutDown.
    static constexpr std::chrono::milliseconds HEARTBEAT_LOOK{5};

    /// The one audio device of the program. It is never destroyed: the
    /// resource manager's voices, destroyed at exit, ask it first.
    static AudioDevice& getInstance();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    /// Chooses the device, once per program: the default one when the system
    /// has one, else the null device. Keeps ALSA's configuration messages off
    /// the standard error, and the audio library's own while a Quiet lives or
    /// on the device thread. Starts the device thread. Returns whether a real
    /// device plays.
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
    /// Never waits for the device thread.
    void poll();

    /// Ends the device thread, at the end of the program. A thread that is
    /// held in the audio library by a server that does not answer is left
    /// there, and so are the voices of a real device whose heartbeat stands
    /// still for STOP_WAIT (a server frozen since the last reading), logged
    /// ("AudioDevice::shutDown() - The sound server does not answer: the sounds are left to the
    /// system"); nothing waits for it.
    void shutDown();

    /// Whether the voices may be destroyed: no move is under way or stuck,
    /// and none has failed. Otherwise destroying them would wait for a server
    /// that does not answer, or free memory twice; the system takes them back
    /// when the program ends.
    bool mayReleaseVoices() const;

    /// A hold on the voices: owns its lock when a voice may be used now, and
    /// never waits. Without it, the device is moving (or broken) and a sound
    /// is skipped.
    std::unique_lock<std::mutex> tryUseVoices();

    /// While one lives, the audio library's messages (a sound that finds no
    /// device, a server that cannot be reached) on this thread go nowhere
    /// instead of to the standard error.
    class Quiet {
    public:
        Quiet();
        ~Quiet();
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;
    };

private:
    enum class State { NotStarted, Real, Null, Moving, Broken };
    enum class Request { None, ToNull, ToDefault, Stop };
    struct Heartbeat;

    AudioDevice();
    ~AudioDevice() = default;
    bool toNull();
    bool toDefault();
    void startHeartbeat();
    void post(Request request);
    void finishMove();
    void checkHeartbeat(std::chrono::steady_clock::time_point now);
    /// Whether the heartbeat's position moves within wait (true when it is
    /// not playing, as nothing can be told from it).
    bool heartbeatMovesWithin(std::chrono::milliseconds wait);
    void runDeviceThread();

    State m_state = State::NotStarted;
    // What the device thread was asked to do last.
    Request m_posted = Request::None;
    // The null device's name, as the audio library gives it.
    std::string m_nullName;
    std::unique_ptr<Heartbeat> m_heartbeat;
    std::chrono::steady_clock::time_point m_nextCheck{};
    int m_stalls = 0;
    std::chrono::milliseconds m_retryDelay = RETRY_INTERVAL;

    // Held by the device thread while it moves the voices to another device,
    // and by the game's thread, without waiting, while it uses one.
    std::mutex m_voices;

    // The device thread and what the two threads tell each other, under
    // m_requestLock.
    std::thread m_thread;
    std::mutex m_requestLock;
    std::condition_variable m_requested;
    Request m_request = Request::None;
    bool m_busy = false;
    bool m_done = false;
    // The outcome of the last request: whether it moved the voices, whether
    // a move failed, and the device's name.
    bool m_moved = false;
    bool m_failed = false;
    std::string m_deviceName;
    bool m_threadStuck = false;
    // At shutDown, a real device's heartbeat stood still.
    bool m_serverSilent = false;
};

} // namespace mw
