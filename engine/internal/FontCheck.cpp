#include "engine/internal/FontCheck.h"

#include "engine/LogManager.h"
#include "engine/internal/BatchRenderer.h"

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <SFML/Graphics/Text.hpp>

#include <sys/stat.h>

namespace mw {

bool FontCheck::isUsableFile(const std::string& path, long long maxBytes) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           status.st_size <= maxBytes;
}

bool FontCheck::fitsBatching(sf::Font& font, unsigned size) {
    // A glyph looked up makes sure the texture of this size exists.
    (void)font.getGlyph('X', size, true);
    bool fits = BatchRenderer::hasWhiteTexels(font.getTexture(size).copyToImage());
    sf::RenderTexture blanks;
    if (fits && blanks.resize({8 * size, 4 * size})) {
        blanks.clear(sf::Color::Transparent);
        sf::Text text(font, std::string(BatchRenderer::BLANK_CHARACTERS), size);
        text.setStyle(sf::Text::Bold);
        blanks.draw(text);
        blanks.display();
        fits = BatchRenderer::isClear(blanks.getTexture().copyToImage());
    }
    if (!fits)
        LogManager::getInstance().writeLog("DisplayManager::startUp() - The font texture is not "
                                           "as batched drawing needs; drawing cell by cell");
    return fits;
}

} // namespace mw
