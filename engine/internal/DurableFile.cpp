#include "engine/internal/DurableFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {

constexpr unsigned MODE_BITS = 07777;
constexpr int TEMPORARY_NAME_ATTEMPTS = 100;
// A temporary file is the file's name, this, and a random number (32 bits).
const std::string TEMPORARY_INFIX = ".tmp";
constexpr std::size_t TEMPORARY_NUMBER_DIGITS = 10;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool DurableFile::resolveTarget(const std::string& path, std::string& target) {
    target = path;
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return true;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return false;
    target = resolved;
    std::free(resolved);
    return true;
}

bool DurableFile::isTemporaryName(const std::string& target, const std::string& name) {
    const std::string prefix = target.substr(target.rfind('/') + 1) + TEMPORARY_INFIX;
    if (!name.starts_with(prefix))
        return false;
    const std::size_t digits = name.size() - prefix.size();
    return digits >= 1 && digits <= TEMPORARY_NUMBER_DIGITS &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

int DurableFile::removeLeftovers(const std::string& path) {
    std::string target;
    if (!resolveTarget(path, target))
        return 0;
    DIR* folder = opendir(folderOf(target).c_str());
    if (folder == nullptr)
        return 0;
    int removed = 0;
    while (const dirent* entry = readdir(folder)) {
        struct stat status {};
        if (isTemporaryName(target, entry->d_name) &&
            fstatat(dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && unlinkat(dirfd(folder), entry->d_name, 0) == 0)
            ++removed;
    }
    closedir(folder);
    return removed;
}

DurableFile::DurableFile(const std::string& path) {
    if (!resolveTarget(path, m_target))
        return;
    struct stat status {};
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
        const std::string name = m_target + TEMPORARY_INFIX + std::to_string(entropy());
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
    if (m_stream == nullptr) {
        m_commitError = "nothing to write to";
        return false;
    }
    const auto failed = [this] {
        if (m_commitError.empty())
            m_commitError = errno != 0 ? std::strerror(errno) : "write error";
        return false;
    };
    errno = 0;
    bool written = flushToDisk(m_stream) || failed();
    if (std::fclose(m_stream) != 0)
        written = failed();
    m_stream = nullptr;
    if (m_temporary.empty())
        return written;
    if (written && std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        written = failed();
    if (!written)
        unlink(m_temporary.c_str());
    m_temporary.clear();
    return written;
}

bool DurableFile::flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && std::ferror(file) == 0 && fsync(fileno(file)) == 0;
}

} // namespace mw
