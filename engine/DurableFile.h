#pragma once

#include <cstdio>

namespace mw {

// Writing files that must survive a crash or a power cut.
struct DurableFile {
    // Flushes the stream and has the system put it on the disk, not only in
    // its cache; false when any of that fails or the stream had an error.
    static bool flushToDisk(std::FILE* file);
};

} // namespace mw
