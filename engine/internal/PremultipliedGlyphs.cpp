#include "engine/internal/PremultipliedGlyphs.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <cstdint>
#include <utility>

namespace mw {

PremultipliedGlyphs::PremultipliedGlyphs() = default;

PremultipliedGlyphs::~PremultipliedGlyphs() = default;

// The font's texels are white with the glyph in their alpha. A glyph of a
// colour whose channels are 0 or 255 blended over the surface by its alpha
// gives, channel by channel, exactly what the premultiplied texel (alpha in
// every channel) gives with premultiplied blending, which the software
// renderer does a few per cent faster.
void PremultipliedGlyphs::update(const sf::Image& glyphs) {
    clear();
    sf::Image premultiplied = glyphs;
    const sf::Vector2u size = glyphs.getSize();
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x) {
            const sf::Color texel = glyphs.getPixel({x, y});
            const auto times = [&](std::uint8_t channel) {
                return static_cast<std::uint8_t>((channel * texel.a + 127) / 255);
            };
            premultiplied.setPixel({x, y},
                                   {times(texel.r), times(texel.g), times(texel.b), texel.a});
        }
    auto smooth = std::make_unique<sf::Texture>();
    auto sharp = std::make_unique<sf::Texture>();
    if (!smooth->loadFromImage(premultiplied) || !sharp->loadFromImage(premultiplied))
        return;
    smooth->setSmooth(true);
    sharp->setSmooth(false);
    m_smooth = std::move(smooth);
    m_sharp = std::move(sharp);
}

void PremultipliedGlyphs::clear() {
    m_smooth.reset();
    m_sharp.reset();
}

sf::RenderStates PremultipliedGlyphs::states(bool sharp, const sf::Texture& fontTexture) const {
    sf::RenderStates states;
    // Sampling texel centres, smoothing changes nothing: a sharp run
    // without its own texture takes the smoothed one.
    states.texture = &fontTexture;
    if (m_smooth) {
        states.texture = sharp ? m_sharp.get() : m_smooth.get();
        states.blendMode =
            sf::BlendMode(sf::BlendMode::Factor::One, sf::BlendMode::Factor::OneMinusSrcAlpha);
    }
    return states;
}

} // namespace mw
