#include "engine/DisplayManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"

#include "support/TestSupport.h"

#include <SFML/Graphics/Image.hpp>

#include <functional>

using mw::DisplayManager;
using mw::Vector;

namespace {

// Draws the same frame batched and cell by cell and compares the pictures.
class RendererTest : public mwtest::EngineTest {
protected:
    void expectSamePicture(const std::function<void()>& drawFrame) {
        DisplayManager& display = DisplayManager::getInstance();
        display.setBatched(false);
        drawFrame();
        const sf::Image reference = display.capture();
        display.swapBuffers();
        display.setBatched(true);
        drawFrame();
        const sf::Image batched = display.capture();
        display.swapBuffers();
        ASSERT_EQ(reference.getSize(), batched.getSize());
        int differing = 0;
        for (unsigned y = 0; y < reference.getSize().y; ++y)
            for (unsigned x = 0; x < reference.getSize().x; ++x)
                differing += reference.getPixel({x, y}) != batched.getPixel({x, y});
        EXPECT_EQ(differing, 0);
    }
};

TEST_F(RendererTest, EveryPrintableCharacterInEveryColourLooksTheSame) {
    MW_OPEN_WINDOW();
    expectSamePicture([] {
        DisplayManager& display = DisplayManager::getInstance();
        for (int ch = 32; ch < 127; ++ch) {
            const int index = ch - 32;
            for (int color = 0; color < mw::COLOR_COUNT; ++color)
                display.drawCh(Vector(static_cast<float>((index % 10) * 8 + color),
                                      static_cast<float>(index / 10 * 2 + color % 2)),
                               static_cast<char>(ch), static_cast<mw::Color>(color));
        }
    });
}

TEST_F(RendererTest, OverlapsAndFractionalPositionsLookTheSame) {
    MW_OPEN_WINDOW();
    expectSamePicture([] {
        DisplayManager& display = DisplayManager::getInstance();
        display.drawString(Vector(10, 3), "WWWWMMMM@@@@", mw::JUSTIFY_LEFT, mw::COLOR_RED);
        // Half a cell over: each rectangle covers part of the glyph before it.
        display.drawString(Vector(10.5f, 3), "jgyQ|_/\\\\", mw::JUSTIFY_LEFT, mw::COLOR_GREEN);
        display.drawString(Vector(42.5f, 14.25f), "+--==[##]==--+", mw::JUSTIFY_CENTER,
                           mw::COLOR_BLUE);
        display.drawString(Vector(79, 23), "edge", mw::JUSTIFY_LEFT, mw::COLOR_WHITE);
        display.drawCh(Vector(-0.5f, -0.25f), '#', mw::COLOR_YELLOW);
        display.drawString(Vector(40, 12), "   ", mw::JUSTIFY_CENTER, mw::COLOR_WHITE);
    });
}

TEST_F(RendererTest, TheTitleScreenAndAFightLookTheSame) {
    MW_OPEN_WINDOW();
    for (const char* item : {"sprites", "audio"})
        std::filesystem::copy(std::filesystem::path(mwtest::runDirectory()) / item,
                              m_scratch.path() / item, std::filesystem::copy_options::recursive);
    loadResources();
    new TitleScreen;
    expectSamePicture([] { mw::WorldManager::getInstance().draw(); });
    MatchLoader::getInstance().startMatch(3);
    mw::WorldManager::getInstance().update();
    // Each object's current frame, without moving its animation on, so that
    // both drawings show the same frames.
    expectSamePicture([] {
        const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
        for (int altitude = 0; altitude <= mw::WorldManager::MAX_ALTITUDE; ++altitude) {
            for (int i = 0; i < all.getCount(); ++i) {
                if (all[i]->getAltitude() != altitude)
                    continue;
                const mw::Animation& animation = all[i]->getAnimation();
                if (animation.getSprite() != nullptr)
                    animation.getSprite()->draw(animation.getIndex(), all[i]->getPosition());
                else
                    all[i]->draw();
            }
        }
    });
}

} // namespace
