// Feeds arbitrary bytes to the sprite loader as a sprite file.
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string file = "/tmp/mw-fuzz-sprite-" + std::to_string(getpid()) + ".txt";
    if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    }
    mw::ResourceManager& resources = mw::ResourceManager::getInstance();
    if (resources.loadSprite(file, "fuzzed") == 0) {
        const mw::Sprite* sprite = resources.getSprite("fuzzed");
        // Read every cell the way drawing does, within a sane bound.
        unsigned checksum = 0;
        for (int f = 0; f < sprite->getFrameCount(); ++f) {
            const mw::Frame& frame = sprite->getFrame(f);
            const long cells = static_cast<long>(frame.getWidth()) * frame.getHeight();
            for (long i = 0; i < cells && i < 4096; ++i)
                checksum += static_cast<unsigned char>(
                    frame.charAt(static_cast<int>(i / frame.getWidth()),
                                 static_cast<int>(i % frame.getWidth())));
        }
        (void)checksum;
    }
    resources.shutDown();
    return 0;
}
