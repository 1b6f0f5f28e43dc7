// Feeds arbitrary bytes to the sprite loader as a sprite file, then draws the
// first frame of what it loaded through the batch renderer and steps its
// animation, as the display and the world would.
#include "engine/Animation.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/Sprite.h"
#include "engine/internal/BatchRenderer.h"

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
        mw::Sprite* sprite = resources.getSprite("fuzzed");
        if (sprite->getFrameCount() > 0) {
            const mw::Frame& frame = sprite->getFrame(0);
            const mw::CellGeometry geometry(12, 32);
            // Without a window or a font: every character has the same made-up glyph.
            mw::BatchRenderer renderer(geometry, {1024, 768}, sf::Color::Black);
            renderer.setGlyphSource([](char) {
                sf::Glyph glyph;
                glyph.bounds = sf::FloatRect({1, -20}, {8, 18});
                glyph.textureRect = sf::IntRect({10, 0}, {8, 18});
                return glyph;
            });
            for (int row = 0; row < frame.getHeight(); ++row) {
                for (int column = 0; column < frame.getWidth(); ++column)
                    renderer.addCell(geometry.glyphOrigin(mw::Vector(column, row)),
                                     frame.charAt(row, column), sf::Color::White);
            }
            renderer.build(false);
        }
        mw::Animation animation;
        animation.setSprite(sprite);
        for (int step = 0; step < 3; ++step)
            animation.draw(mw::Vector(40, 12));
    }
    resources.shutDown();
    return 0;
}
