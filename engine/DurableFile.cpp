#include "engine/DurableFile.h"

#include <unistd.h>

namespace mw {

bool DurableFile::flushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && std::ferror(file) == 0 && fsync(fileno(file)) == 0;
}

} // namespace mw
