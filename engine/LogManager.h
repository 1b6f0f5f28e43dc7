#pragma once

#include "engine/Manager.h"

#include <cstdio>
#include <string>

namespace mw {

inline const std::string LOG_FILE_NAME = "marrowick.log";

/// Writes one formatted line per call to "marrowick.log" in the working
/// directory, or to the file a game names (GameConfig::logFile).
class LogManager : public Manager {
public:
    /// The characters a line can hold, its terminator included.
    static constexpr int LINE_BUFFER_SIZE = 2048;

    /// The one log manager.
    static LogManager& getInstance();
    ~LogManager() override;

    /// Opens the file afresh, closing one that is open; -1, and not started,
    /// when it cannot be opened, with a line on standard error saying why.
    /// Its first line is "LogManager::startUp() - LM was started".
    /// While another process holds "marrowick.log", this one writes
    /// "marrowick.2.log" (up to "marrowick.9.log") and says so on standard
    /// error and in its second line.
    int startUp() override;
    /// Writes "LogManager::shutDown() - LM was shutdown", then closes the file.
    void shutDown() override;

    /// printf-style. Returns the characters written including the newline, or
    /// -1 when no file is open or formatting fails. Output past 2047
    /// characters is cut.
    int writeLog(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    /// Flushes after every line, so that a crash loses none and a test can read
    /// the log while it is open. Off by default: lines are buffered.
    void setFlush(bool flush) { m_flush = flush; }
    /// Whether every line is flushed.
    bool getFlush() const { return m_flush; }
    /// The file the next startUp() opens; LOG_FILE_NAME by default.
    void setFileName(const std::string& fileName) { m_fileName = fileName; }
    /// The file the log is written to.
    const std::string& getFileName() const { return m_fileName; }

private:
    LogManager();

    std::string m_fileName = LOG_FILE_NAME;
    bool m_flush = false;
    std::FILE* m_file = nullptr;
};

} // namespace mw
