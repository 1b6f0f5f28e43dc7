#include "engine/LogManager.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {

// Other copies of the program in the same folder each get a log of their own,
// NAME with ".2" to ".9" before its extension ("marrowick.2.log").
constexpr int LAST_COPY_NUMBER = 9;

std::string copyLogName(const std::string& name, int copy) {
    if (copy == 1)
        return name;
    const std::size_t dot = name.rfind('.');
    const std::size_t cut = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, cut) + '.' + std::to_string(copy) + name.substr(cut);
}

std::string pathForPeople(const std::string& name) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(name, error);
    return error ? name : path.string();
}

enum class LockedOpen { OPENED, IN_USE, FAILED };

// Opens NAME for writing and locks it against other copies of the program
// before emptying it, so that a log in use is never cut. The lock goes with
// the process, however it ends. A folder that cannot lock files still gets
// its log. A FIFO without a reader fails rather than blocking.
LockedOpen openLocked(const std::string& name, std::FILE*& file) {
    const int descriptor =
        ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (descriptor < 0)
        return LockedOpen::FAILED;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(descriptor);
        return LockedOpen::IN_USE;
    }
    struct stat status {};
    if (::fcntl(descriptor, F_SETFL, 0) != 0 || ::fstat(descriptor, &status) != 0 ||
        (S_ISREG(status.st_mode) && ::ftruncate(descriptor, 0) != 0) ||
        (file = ::fdopen(descriptor, "w")) == nullptr) {
        const int error = errno;
        ::close(descriptor);
        errno = error;
        return LockedOpen::FAILED;
    }
    return LockedOpen::OPENED;
}

} // namespace

LogManager::LogManager() {
    setType("LogManager");
}

LogManager::~LogManager() {
    shutDown();
}

LogManager& LogManager::getInstance() {
    static LogManager instance;
    return instance;
}

int LogManager::startUp() {
    if (m_file != nullptr) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    // Started again only once the new file is open.
    setStarted(false);
    // Standard error is where a log that cannot be written is reported.
    for (int copy = 1; copy <= LAST_COPY_NUMBER; ++copy) {
        const std::string name = copyLogName(m_fileName, copy);
        const LockedOpen opened = openLocked(name, m_file);
        if (opened == LockedOpen::IN_USE)
            continue;
        if (opened == LockedOpen::FAILED) {
            const char* reason = std::strerror(errno);
            std::fprintf(stderr, "Marrowick cannot write its log %s: %s; it goes on without one.\n",
                         pathForPeople(name).c_str(), reason);
            return -1;
        }
        writeLog("LogManager::startUp() - LM was started");
        if (copy > 1) {
            writeLog("LogManager::startUp() - '%s' is in use by another copy; this log is '%s'",
                     m_fileName.c_str(), name.c_str());
            std::fprintf(stderr, "Marrowick: another copy is writing %s; this copy's log is %s.\n",
                         pathForPeople(m_fileName).c_str(), pathForPeople(name).c_str());
        }
        setStarted(true);
        return 0;
    }
    std::fprintf(stderr,
                 "Marrowick cannot write its log: %s and its %d other names are in use by other "
                 "copies; it goes on without one.\n",
                 pathForPeople(m_fileName).c_str(), LAST_COPY_NUMBER - 1);
    return -1;
}

void LogManager::shutDown() {
    if (m_file != nullptr) {
        writeLog("LogManager::shutDown() - LM was shutdown");
        std::fclose(m_file);
        m_file = nullptr;
    }
    setStarted(false);
}

int LogManager::writeLog(const char* format, ...) const {
    if (m_file == nullptr)
        return -1;
    char buffer[LINE_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    const int formatted = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (formatted < 0)
        return -1;
    const int written = std::fprintf(m_file, "%s\n", buffer);
    if (m_flush)
        std::fflush(m_file);
    return written;
}

} // namespace mw
