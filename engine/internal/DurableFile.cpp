#include "engine/internal/DurableFile.h"

#include <algorithm>
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

// Reads or writes (as transfer, pread or pwrite, does) from the start of the
// file until size bytes are done or a call fails (errno then says why); how
// many bytes were done.
template <typename Byte, typename Transfer>
std::size_t transferAt(int fd, Byte* data, std::size_t size, Transfer transfer) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = transfer(fd, data + done, size - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    return done;
}

std::size_t readAt(int fd, char* data, std::size_t size) {
    return transferAt(fd, data, size, pread);
}

std::size_t writeAt(int fd, const char* data, std::size_t size) {
    return transferAt(fd, data, size, pwrite);
}

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
    if (!resolveTarget(path, m_target)) {
        m_openError = "a link that leads nowhere";
        return;
    }
    struct stat status {};
    const bool exists = stat(m_target.c_str(), &status) == 0;
    if (!exists && errno != ENOENT) {
        m_openError = std::strerror(errno);
        return;
    }
    if (exists && !S_ISREG(status.st_mode)) {
        m_openError = "not a regular file";
        return;
    }
    if (exists && access(m_target.c_str(), W_OK) != 0) {
        m_openError = std::strerror(errno);
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
    std::free(m_contents);
    if (m_inPlaceFd >= 0)
        close(m_inPlaceFd);
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
    // Read as well: a write that fails puts back the bytes it covered.
    const int fd = open(m_target.c_str(), O_RDWR | O_CLOEXEC | (fileExists ? 0 : O_CREAT), 0666);
    struct stat status {};
    if (fd < 0) {
        m_openError = std::strerror(errno);
        return;
    }
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        (m_stream = open_memstream(&m_contents, &m_contentsSize)) == nullptr) {
        m_openError = S_ISREG(status.st_mode) ? std::strerror(errno) : "not a regular file";
        close(fd);
        return;
    }
    m_inPlaceFd = fd;
    m_status = Status::InPlace;
}

bool DurableFile::writeInPlace() {
    struct stat status {};
    if (fstat(m_inPlaceFd, &status) != 0)
        return false;
    const std::size_t oldSize = static_cast<std::size_t>(status.st_size);
    const std::size_t newSize = m_contentsSize;
    std::string covered(std::min(oldSize, newSize), '\0');
    if (readAt(m_inPlaceFd, covered.data(), covered.size()) != covered.size())
        return false;
#ifdef FALLOC_FL_KEEP_SIZE
    // Room for a longer file is taken before a byte changes, without
    // changing its length; a file system that cannot do that is written all
    // the same.
    if (newSize > oldSize &&
        fallocate(m_inPlaceFd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(newSize)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
#endif
    errno = 0;
    const std::size_t written = writeAt(m_inPlaceFd, m_contents, newSize);
    if (written < newSize) {
        const int error = errno != 0 ? errno : EIO;
        // What the write covered goes back, and what it added goes.
        const std::size_t overwritten = std::min(written, covered.size());
        if (writeAt(m_inPlaceFd, covered.data(), overwritten) == overwritten &&
            (written <= oldSize || ftruncate(m_inPlaceFd, static_cast<off_t>(oldSize)) == 0))
            fsync(m_inPlaceFd);
        errno = error;
        return false;
    }
    if (fsync(m_inPlaceFd) != 0)
        return false;
    // Until here the end of the old contents follows the new ones.
    return newSize >= oldSize ||
           (ftruncate(m_inPlaceFd, static_cast<off_t>(newSize)) == 0 && fsync(m_inPlaceFd) == 0);
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
    if (m_inPlaceFd >= 0) {
        bool collected = std::fflush(m_stream) == 0 && std::ferror(m_stream) == 0;
        collected = std::fclose(m_stream) == 0 && collected;
        m_stream = nullptr;
        if (!collected)
            return failed();
        errno = 0;
        const bool written = writeInPlace() || failed();
        close(m_inPlaceFd);
        m_inPlaceFd = -1;
        return written;
    }
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
