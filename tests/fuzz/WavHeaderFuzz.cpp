// Feeds arbitrary bytes to the resource manager as a sound and as a music
// file: what the WAV header check lets through must load without reserving
// more samples than the file has bytes.
#include "engine/ResourceManager.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string file = "/tmp/mw-fuzz-wav-" + std::to_string(getpid()) + ".wav";
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    if (resources.loadSound(file, "fuzzed") == 0 &&
        resources.getSound("fuzzed")->getBuffer().getSampleCount() > size)
        std::abort();
    resources.loadMusic(file, "fuzzed");
    resources.shutDown();
    return 0;
}
