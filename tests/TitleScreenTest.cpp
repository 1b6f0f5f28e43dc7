#include "support/GameSupport.h"

#include "game/TitleScreen.h"
#include "game/TutorialMode.h"

#include <algorithm>

namespace {

using namespace gametest;

class TitleScreenTest : public GameTest {
protected:
    // The scene the world holds: the title, the tutorial or a fight with its opponent's number.
    static std::string scene() {
        if (firstOf<TutorialMode>() != nullptr)
            return firstOf<RoundSystem>() == nullptr ? "tutorial" : "broken";
        if (firstOf<RoundSystem>() != nullptr)
            return "fight " + std::to_string(MatchLoader::getInstance().getCurrentOpponent());
        return worldTypes() == Lines{"TitleScreen"} ? "title" : "broken";
    }
};

TEST_F(TitleScreenTest, ShowsNamesBestTimesReadAtEveryDrawAndTheTitleOverAll) {
    MW_OPEN_WINDOW();
    // A column from row 0 to row 12: drawn last, it covers a name.
    loadSprite("game-title", Lines(13, "T"), "cyan");
    loadSprite("frame-opponent1", {"[1]"}, "green");
    loadSprite("frame-opponent2", {"[2]"}, "blue");
    loadSprite("frame-opponent3", {"[3]"}, "cyan");
    new TitleScreen;
    m_driver.advance();
    useHighScoreFile("105\n\n207\n");
    m_driver.advance();
    const struct {
        int row;
        std::string text, colours;
    } rows[] = {
        {6, at(40, "T"), at(40, "c")},
        {12, at(7, "'Zaz Eruz Arizi'") + at(9, "'Zez EvoT Adero'") + at(8, "'Vez Idaze Zeradi'"),
         at(7, std::string(16, 'm')) + at(9, "yyyyyyyycyyyyyyy") + at(8, std::string(18, 'r'))},
        {16, at(14, "[1]") + at(22, "[2]") + at(22, "[3]"),
         at(14, "ggg") + at(22, "bbb") + at(22, "ccc")},
        {19, at(11, "HS: 1:05") + at(17, "HS: -:--") + at(17, "HS: 2:07"),
         at(11, "wwwwwwww") + at(17, "wwwwwwww") + at(17, "wwwwwwww")},
        {21, at(22, "Pick Fight (1, 2, 3) or Tutorial (T)"), at(22, std::string(36, 'w'))},
        {22, at(30, "(Esc) to quit game."), at(30, std::string(19, 'w'))},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(shownRow(r.row), r.text) << r.row;
        std::string colours = r.colours;
        std::replace(colours.begin(), colours.end(), ' ', '.');
        EXPECT_EQ(shownRow(r.row, true), colours) << r.row;
    }
    EXPECT_EQ(shownRow(20) + shownRow(13) + shownRow(15), "");
}

TEST_F(TitleScreenTest, KeysPickTheNextScene) {
    const struct {
        mw::Key key;
        std::string pressed, heldOrReleased;
    } cases[] = {{mw::KEY_1, "fight 1", "fight 1"}, {mw::KEY_2, "fight 2", "fight 2"},
                 {mw::KEY_3, "fight 3", "fight 3"}, {mw::KEY_T, "tutorial", "tutorial"},
                 {mw::KEY_ESCAPE, "quit", "title"}, {mw::KEY_4, "title", "title"},
                 {mw::KEY_ENTER, "title", "title"}};
    for (const auto& c : cases) {
        for (const mw::KeyboardAction action : {mw::KEY_PRESSED, mw::KEY_HELD, mw::KEY_RELEASED}) {
            MatchLoader::getInstance().clearWorld();
            mw::WorldManager::getInstance().update();
            mw::GameManager::getInstance().setGameOver(false);
            new TitleScreen;
            sendKey(c.key, action);
            const bool quit = mw::GameManager::getInstance().getGameOver();
            EXPECT_EQ(quit ? "quit" : scene(),
                      action == mw::KEY_PRESSED ? c.pressed : c.heldOrReleased)
                << c.key << " " << action;
        }
    }
    // Two choices in one frame: the last one stays.
    for (const auto& [first, second, expected] : {std::tuple{mw::KEY_1, mw::KEY_T, "tutorial"},
                                                  {mw::KEY_T, mw::KEY_2, "fight 2"},
                                                  {mw::KEY_3, mw::KEY_1, "fight 1"}}) {
        new TitleScreen;
        mw::GameManager::getInstance().onEvent(mw::EventKeyboard(first, mw::KEY_PRESSED));
        sendKey(second, mw::KEY_PRESSED);
        EXPECT_EQ(scene(), expected) << first << " " << second;
    }
}

} // namespace
