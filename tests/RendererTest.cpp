#include "engine/DisplayManager.h"
#include "engine/Sprite.h"
#include "engine/WorldManager.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"
#include "support/TestAccess.h"

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
        TestAccess::setBatched(false);
        drawFrame();
        const sf::Image reference = display.capture();
        display.swapBuffers();
        TestAccess::setBatched(true);
        drawFrame();
        const sf::Image batched = display.capture();
        display.swapBuffers();
        EXPECT_EQ(differingPixels(reference, batched), 0);
    }

    static int differingPixels(const sf::Image& reference, const sf::Image& image) {
        EXPECT_EQ(reference.getSize(), image.getSize());
        if (reference.getSize() != image.getSize())
            return -1;
        int differing = 0;
        for (unsigned y = 0; y < reference.getSize().y; ++y)
            for (unsigned x = 0; x < reference.getSize().x; ++x)
                differing += reference.getPixel({x, y}) != image.getPixel({x, y});
        return differing;
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

TEST_F(RendererTest, PositionsBetweenPixelsLookTheSame) {
    MW_OPEN_WINDOW();
    expectSamePicture([] {
        DisplayManager& display = DisplayManager::getInstance();
        // A tenth of a cell is 1.2 pixels across, 3.2 down.
        display.drawString(Vector(3.1f, 5.3f), "AbgW|@#", mw::JUSTIFY_LEFT, mw::COLOR_CYAN);
        display.drawString(Vector(3.7f, 5.9f), "MMMM", mw::JUSTIFY_LEFT, mw::COLOR_MAGENTA);
        display.drawString(Vector(30, 9), "ABCDEFGH", mw::JUSTIFY_LEFT, mw::COLOR_YELLOW);
        display.drawString(Vector(31.3f, 9.1f), "xyz", mw::JUSTIFY_LEFT, mw::COLOR_WHITE);
        display.drawString(Vector(32, 9), "  ", mw::JUSTIFY_LEFT, mw::COLOR_WHITE);
    });
}

TEST_F(RendererTest, CellsDrawnUnbatchedAndBatchedInOneFrameLookTheSame) {
    MW_OPEN_WINDOW();
    const auto drawPart = [](int part) {
        DisplayManager& display = DisplayManager::getInstance();
        const std::string text = part == 0 ? "WWWWWWWW" : "  ..||%%";
        display.drawString(Vector(20.5f, 10.25f + part * 0.5f), text, mw::JUSTIFY_LEFT,
                           part == 0 ? mw::COLOR_GREEN : mw::COLOR_RED);
    };
    DisplayManager& display = DisplayManager::getInstance();
    TestAccess::setBatched(false);
    drawPart(0);
    drawPart(1);
    const sf::Image reference = display.capture();
    display.swapBuffers();
    // Cells already drawn, by either path, are covered by later batched ones.
    for (const bool firstBatched : {false, true}) {
        TestAccess::setBatched(firstBatched);
        drawPart(0);
        if (firstBatched)
            (void)display.capture();
        TestAccess::setBatched(true);
        drawPart(1);
        EXPECT_EQ(differingPixels(reference, display.capture()), 0) << firstBatched;
        display.swapBuffers();
    }
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
