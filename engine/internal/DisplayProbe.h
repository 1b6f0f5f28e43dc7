#pragma once

#include <memory>
#include <string>

namespace mw {

/// A connection to the display that windows open on, held while the first
/// window opens. On X11 the window library ends the process when it cannot
/// reach the X server; the probe finds that out first and says why.
class DisplayProbe {
public:
    /// Connects; when the display cannot be reached (no DISPLAY, no server, no
    /// authorization), writes "PROGRAM needs a desktop: REASON." on standard
    /// error and "DisplayManager::startUp() - No window: REASON" in the log.
    /// Builds of the window library that do not use X11 are always connected.
    explicit DisplayProbe(const std::string& program);

    /// Whether the display can be reached.
    bool isConnected() const { return m_connection != nullptr; }

private:
    std::shared_ptr<void> m_connection;
};

} // namespace mw
