#pragma once

#include <cstdio>
#include <string>

namespace mw {

/// One rewrite of a file that must survive a crash or a power cut: the new
/// contents go to a fresh file beside it, onto the disk, and then take its
/// place with its mode. A link is followed and the file it leads to is
/// rewritten; the link stays.
///
/// Where no file can be made beside it, the file is rewritten in place
/// instead, and keeps its old contents until commit() writes the new ones
/// over them. Only once they are on the disk is the file cut to their
/// length: a process killed in between leaves the new contents followed by
/// the end of the old ones, which a reader of the file must be able to
/// ignore. A write that fails puts the old bytes back; the file is never
/// emptied first. A write of up to a page is not split by a kill; a power
/// cut during the write itself may leave a mix.
class DurableFile {
public:
    /// Where a rewrite writes, as the constructor found it.
    enum class Status {
        /// Writing to a temporary file that commit() renames over the file.
        Temporary,
        /// Writing to memory, which commit() writes over the file; see
        /// temporaryError().
        InPlace,
        /// The file exists but this process may not write it; it is untouched.
        NotWritable,
        /// The file cannot be written: a broken link, not a regular file, or
        /// it could not be opened.
        Failed
    };

    /// Prepares a rewrite of the file at path: a temporary file beside it, or
    /// the file itself when none can be made (getStatus() tells which). Logs
    /// nothing; failures are in getStatus(), temporaryError() and openError().
    explicit DurableFile(const std::string& path);
    /// Closes the stream; an uncommitted temporary file is removed.
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    /// Where this rewrite writes.
    Status getStatus() const { return m_status; }
    /// Where the new contents go, or nullptr when there is nowhere.
    std::FILE* getStream() const { return m_stream; }
    /// Why the temporary file could not be made, in the system's words.
    const std::string& temporaryError() const { return m_temporaryError; }
    /// Why the file cannot be written (NotWritable, Failed), in the system's
    /// words where it has them.
    const std::string& openError() const { return m_openError; }

    /// Puts what was written on the disk and, from a temporary file, in the
    /// file's place; false when any of that failed, with commitError()
    /// saying why. The file is then as it was, unless only cutting a file
    /// rewritten in place to its new length failed.
    bool commit();
    /// Why commit() failed, in the system's words; empty when it did not.
    const std::string& commitError() const { return m_commitError; }

    /// Removes the temporary files that rewrites of the file at path left
    /// behind when they were killed, beside the file a link leads to. Only
    /// names this class makes are touched, and only regular files. Call it
    /// only while no other rewrite of the file can be under way. Returns how
    /// many were removed.
    static int removeLeftovers(const std::string& path);

    /// Flushes the stream and has the system put it on the disk, not only in
    /// its cache; false when any of that fails or the stream had an error.
    static bool flushToDisk(std::FILE* file);

private:
    /// The file a rewrite of path writes: path itself, or where its link
    /// leads; false for a broken link.
    static bool resolveTarget(const std::string& path, std::string& target);
    /// Whether name (without a folder) is that of a temporary file for target.
    static bool isTemporaryName(const std::string& target, const std::string& name);

    bool openTemporary(unsigned mode, bool fileExists);
    void openInPlace(bool fileExists);
    /// Writes the collected contents over the file; false with errno set.
    bool writeInPlace();

    Status m_status = Status::Failed;
    std::string m_target;
    std::string m_temporary;
    std::string m_temporaryError;
    std::string m_openError;
    std::string m_commitError;
    std::FILE* m_stream = nullptr;
    /// In place: the file, and the new contents collected in memory.
    int m_inPlaceFd = -1;
    char* m_contents = nullptr;
    std::size_t m_contentsSize = 0;
};

} // namespace mw
