#pragma once

#include <SFML/Graphics/RenderStates.hpp>

#include <memory>

namespace sf {
class Image;
class Texture;
} // namespace sf

namespace mw {

/// The font's glyph texture with its colours multiplied by alpha, smoothed and
/// not, drawn with premultiplied blending. Glyphs that lie on whole pixels
/// sample texel centres, where smoothing changes nothing, and unsmoothed
/// sampling is cheaper. Made only when first drawn with: a texture needs a
/// display.
class PremultipliedGlyphs {
public:
    PremultipliedGlyphs();
    ~PremultipliedGlyphs();

    /// Makes both textures from the font texture's pixels; when they cannot be
    /// made, there are none.
    void update(const sf::Image& glyphs);
    /// Forgets both textures.
    void clear();
    /// How to draw a run of glyphs, sharp or smoothed: from a premultiplied
    /// texture with premultiplied blending, or, while there is none, from the
    /// font's own texture blended by alpha.
    sf::RenderStates states(bool sharp, const sf::Texture& fontTexture) const;

private:
    std::unique_ptr<sf::Texture> m_smooth;
    std::unique_ptr<sf::Texture> m_sharp;
};

} // namespace mw
