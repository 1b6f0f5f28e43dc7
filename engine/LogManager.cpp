#include "engine/LogManager.h"

#include <cstdarg>

namespace mw {

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
    m_file = std::fopen(m_fileName.c_str(), "w");
    if (m_file == nullptr)
        return -1;
    writeLog("LogManager::startUp() - LM was started");
    setStarted(true);
    return 0;
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
