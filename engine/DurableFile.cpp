#include "engine/DurableFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {

constexpr unsigned MODE_BITS = 07777;
constexpr int TEMPORARY_NAME_ATTEMPTS = 100;

} // namespace

DurableFile::DurableFile(const std::string& path) : m_target(path) {
    struct stat status {};
    if (lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        char* resolved = realpath(path.c_str(), nullptr);
        if (resolved == nullptr)
            return;
        m_target = resolved;
        std::free(resolved);
    }
    const bool exists = stat(m_target.c_str(), &status) == 0;
    if (!exists && errno != ENOENT)
        return;
    if (exists && !S_ISREG(status.st_mode))
        return;
    if (exists && access(m_target.c_str(), W_OK) != 0) {
        m_status = Status::NotWritable;
        return;
    }
    if (openTemporary(exists ? status.st_mode & MODE_BITS : 0666, exists))
        m_status = Status::Temporary;
    else
        openInPlace(exists);
}

DurableFile::~DurableFile() {
    if (m_stream != nullptr)
        std::fclose(m_stream);
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
}

bool DurableFile::openTemporary(unsigned mode, bool fileExists) {
    std::random_device entropy;
    int error = EEXIST;
    for (int attempt = 0; attempt < TEMPORARY_NAME_ATTEMPTS && error == EEXIST; ++attempt) {
        const std::string name = m_target + ".tmp" + std::to_string(entropy());
        // Exclusive: never a link or a file that was there before. A new file
        // gets the mode a plain creation would.
        const int fd =
            open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, fileExists ? 0600 : 0666);
        if (fd < 0) {
            error = errno;
            continue;
        }
        if (fileExists && fchmod(fd, mode) != 0) {
            error = errno;
        } else if ((m_stream = fdopen(fd, "w")) != nullptr) {
            m_temporary = name;
            return true;
        } else {
            error = errno;
        }
        close(fd);
        unlink(name.c_str());
        break;
    }
    m_temporaryError = std::strerror(error);
    return false;
}

void DurableFile::openInPlace(bool fileExists) {
    // Emptied only once a stream is ready to write the new content.
    const int fd = open(m_target.c_str(), O_WRONLY | O_CLOEXEC | (fileExists ? 0 : O_CREAT), 0666);
    if (fd < 0)
        return;
    m_stream = fdopen(fd, "w");
    if (m_stream == nullptr) {
        close(fd);
        return;
    }
    if (ftruncate(fd, 0) != 0) {
        std::fclose(m_stream);
        m_stream = nullptr;
        return;
    }
    m_status = Status::InPlace;
}

bool DurableFile::commit() {
    if (m_stream == nullptr)
        return false;
    bool written = flushToDisk(m_stream);
    if (std::fclose(m_stream) != 0)
        written = false;
    m_stream = nullptr;
    if (m_temporary.empty())
        return written;
    if (written && std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        written = false;
    if (!written)
        unlink(m_temporary.c_str());
    m_temporary.clear();
    return written;
}

bool DurableFile::flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && std::ferror(file) == 0 && fsync(fileno(file)) == 0;
}

} // namespace mw
