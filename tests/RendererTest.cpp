#include "engine/Sprite.h"
#include "engine/WorldManager.h"
#include "game/MatchLoader.h"
#include "game/ResourceManifest.h"
#include "game/TitleScreen.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <functional>

using mw::DisplayManager;
using mw::Vector;

namespace {

// Draws the same frame cell by cell and batched and compares the pictures.
class RendererTest : public mwtest::EngineTest {
protected:
    void expectSamePicture(const std::function<void()>& drawFrame) {
        TestAccess::setBatched(false);
        drawFrame();
        const sf::Image reference = display.capture();
        display.swapBuffers();
        TestAccess::setBatched(true);
        drawFrame();
        EXPECT_EQ(differingPixels(reference, display.capture()), 0);
        display.swapBuffers();
    }
    static int differingPixels(const sf::Image& reference, const sf::Image& image) {
        if (reference.getSize() != image.getSize())
            return -1;
        int differing = 0;
        for (unsigned y = 0; y < image.getSize().y; ++y)
            for (unsigned x = 0; x < image.getSize().x; ++x)
                differing += reference.getPixel({x, y}) != image.getPixel({x, y});
        return differing;
    }
    static void drawString(Vector at, const std::string& text, mw::Color color,
                           mw::Justification justification = mw::JUSTIFY_LEFT) {
        DisplayManager::getInstance().drawString(at, text, justification, color);
    }
    DisplayManager& display = DisplayManager::getInstance();
};

TEST_F(RendererTest, EveryPrintableCharacterInEveryColourLooksTheSameAlsoAfterARestart) {
    MW_OPEN_WINDOW();
    for (const int order : {1, -1}) {
        expectSamePicture([order] {
            for (int index = 0; index < 95; ++index) {
                const char ch = static_cast<char>(order > 0 ? 32 + index : 126 - index);
                for (int color = 0; color < mw::COLOR_COUNT; ++color)
                    DisplayManager::getInstance().drawCh(
                        Vector(static_cast<float>((index % 10) * 8 + color),
                               static_cast<float>(index / 10 * 2 + color % 2)),
                        ch, static_cast<mw::Color>(color));
            }
        });
        display.drawCh(Vector(1, 1), 'x', mw::COLOR_RED);
        display.swapBuffers();
        // The font is loaded again: its glyphs land elsewhere in its texture.
        display.shutDown();
        ASSERT_EQ(display.startUp(), 0);
        EXPECT_FALSE(TestAccess::shownCell(1, 1).drawn);
    }
}

TEST_F(RendererTest, OverlapsPositionsBetweenPixelsAndBothPathsInOneFrameLookTheSame) {
    MW_OPEN_WINDOW();
    expectSamePicture([] {
        drawString(Vector(10, 3), "WWWWMMMM@@@@", mw::COLOR_RED);
        // Half a cell over: each rectangle covers part of the glyph before it.
        drawString(Vector(10.5f, 3), "jgyQ|_/\\\\", mw::COLOR_GREEN);
        drawString(Vector(42.5f, 14.25f), "+--==[##]==--+", mw::COLOR_BLUE, mw::JUSTIFY_CENTER);
        drawString(Vector(79, 23), "edge", mw::COLOR_WHITE);
        DisplayManager::getInstance().drawCh(Vector(-0.5f, -0.25f), '#', mw::COLOR_YELLOW);
        drawString(Vector(40, 12), "   ", mw::COLOR_WHITE, mw::JUSTIFY_CENTER);
    });
    expectSamePicture([] {
        // A tenth of a cell is 1.2 pixels across, 3.2 down.
        drawString(Vector(3.1f, 5.3f), "AbgW|@#", mw::COLOR_CYAN);
        drawString(Vector(3.7f, 5.9f), "MMMM", mw::COLOR_MAGENTA);
        drawString(Vector(30, 9), "ABCDEFGH", mw::COLOR_YELLOW);
        drawString(Vector(31.3f, 9.1f), "xyz", mw::COLOR_WHITE);
        drawString(Vector(32, 9), "  ", mw::COLOR_WHITE);
    });
    const auto drawPart = [](int part) {
        drawString(Vector(20.5f, 10.25f + part * 0.5f), part == 0 ? "WWWWWWWW" : "  ..||%%",
                   part == 0 ? mw::COLOR_GREEN : mw::COLOR_RED);
    };
    TestAccess::setBatched(false);
    drawPart(0);
    drawPart(1);
    const sf::Image reference = display.capture();
    display.swapBuffers();
    // Cells already drawn, by either path, are covered by later ones.
    for (const auto& [first, second] : {std::pair{false, true}, {true, true}, {true, false}}) {
        TestAccess::setBatched(first);
        drawPart(0);
        if (first && second)
            (void)display.capture();
        TestAccess::setBatched(second);
        drawPart(1);
        EXPECT_EQ(differingPixels(reference, display.capture()), 0) << first << second;
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
