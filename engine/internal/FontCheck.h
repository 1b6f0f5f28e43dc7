#pragma once

#include <string>

namespace sf {
class Font;
} // namespace sf

namespace mw {

/// What the display makes sure of about a font before it draws with it.
class FontCheck {
public:
    /// Whether the file is a regular file of at most maxBytes, worth handing to
    /// the font loader.
    static bool isUsableFile(const std::string& path, long long maxBytes);
    /// False, with a log line, when SFML's texture of the font at this
    /// character size breaks what batched drawing relies on.
    static bool fitsBatching(sf::Font& font, unsigned size);
};

} // namespace mw
