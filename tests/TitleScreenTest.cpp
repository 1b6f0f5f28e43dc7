#include "support/GameSupport.h"
#include "support/TestAccess.h"

#include "engine/DisplayManager.h"
#include "game/Ring.h"
#include "game/TitleScreen.h"
#include "game/TutorialMode.h"

#include <optional>
#include <typeinfo>

namespace {

using gametest::firstOf;
using gametest::objectsOf;

class TitleScreenTest : public gametest::GameTest {
protected:
    // Which scene the world holds after a key.
    enum Scene { TITLE, FIGHT_1, FIGHT_2, FIGHT_3, TUTORIAL, QUIT };

    void expectScene(Scene scene) const {
        const bool quit = mw::GameManager::getInstance().getGameOver();
        EXPECT_EQ(quit, scene == QUIT);
        if (scene == TITLE || scene == QUIT) {
            EXPECT_EQ(gametest::worldTypes(), (std::vector<std::string>{"TitleScreen"}));
            return;
        }
        EXPECT_TRUE(objectsOf<TitleScreen>().empty());
        EXPECT_EQ(objectsOf<Ring>().size(), 1u);
        EXPECT_EQ(objectsOf<Hero>().size(), 1u);
        const std::vector<Opponent*> opponents = objectsOf<Opponent>();
        ASSERT_EQ(opponents.size(), 1u);
        const std::type_info& opponentClass = typeid(*opponents.front());
        if (scene == TUTORIAL) {
            EXPECT_EQ(opponentClass, typeid(Opponent1));
            EXPECT_EQ(objectsOf<TutorialMode>().size(), 1u);
            EXPECT_TRUE(objectsOf<RoundSystem>().empty());
            return;
        }
        const int number = scene - FIGHT_1 + 1;
        const std::type_info* classes[] = {&typeid(Opponent1), &typeid(Opponent2),
                                           &typeid(Opponent3)};
        EXPECT_EQ(opponentClass, *classes[number - 1]);
        EXPECT_EQ(MatchLoader::getInstance().getCurrentOpponent(), number);
        EXPECT_EQ(objectsOf<RoundSystem>().size(), 1u);
        EXPECT_TRUE(objectsOf<TutorialMode>().empty());
    }

    void clearWorld() {
        MatchLoader::getInstance().clearWorld();
        mw::WorldManager::getInstance().update();
        mw::GameManager::getInstance().setGameOver(false);
    }
};

TEST_F(TitleScreenTest, LaysOutNamesTimesAndInstructions) {
    MW_OPEN_WINDOW();
    // A column from row 0 to row 12: the title is drawn last, over a name.
    loadSprite("game-title", std::vector<std::string>(13, "T"), "cyan");
    loadSprite("frame-opponent1", {"[1]"}, "green");
    loadSprite("frame-opponent2", {"[2]"}, "blue");
    loadSprite("frame-opponent3", {"[3]"}, "cyan");

    struct Item {
        std::string text;
        int column, row;
        mw::Color color;
        bool alone = true; // nothing drawn either side
    };
    // Texts are centred with their first character at column c - ceil(n / 2),
    // sprite frames at c - width / 2.
    const std::vector<Item> always = {
        {"Pick Fight (1, 2, 3) or Tutorial (T)", 22, 21, mw::COLOR_WHITE},
        {"(Esc) to quit game.", 30, 22, mw::COLOR_WHITE},
        {"'Zaz Eruz Arizi'", 7, 12, mw::COLOR_MAGENTA},
        {"'Zez Evo", 32, 12, mw::COLOR_YELLOW, false},
        {"T", 40, 12, mw::COLOR_CYAN, false},
        {" Adero'", 41, 12, mw::COLOR_YELLOW, false},
        {"'Vez Idaze Zeradi'", 56, 12, mw::COLOR_RED},
        {"[1]", 14, 16, mw::COLOR_GREEN},
        {"[2]", 39, 16, mw::COLOR_BLUE},
        {"[3]", 64, 16, mw::COLOR_CYAN},
        {"T", 40, 6, mw::COLOR_CYAN},
    };
    struct Case {
        const char* name;
        std::optional<std::string> file;
        std::vector<std::string> times;
    };
    const Case cases[] = {
        {"no file", std::nullopt, {"HS: -:--", "HS: -:--", "HS: -:--"}},
        {"two times", "105\n\n207\n", {"HS: 1:05", "HS: -:--", "HS: 2:07"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clearWorld();
        new TitleScreen;
        m_driver.advance();
        // The times are read at every draw, not when the screen is made.
        if (c.file)
            useHighScoreFile(*c.file);
        m_driver.advance();

        std::vector<Item> items = always;
        for (int i = 0; i < 3; ++i)
            items.push_back({c.times[i], 11 + 25 * i, 19, mw::COLOR_WHITE});
        for (const Item& item : items) {
            const int length = static_cast<int>(item.text.size());
            EXPECT_EQ(shownText(item.column, item.row, length), item.text);
            EXPECT_TRUE(shownInColor(item.column, item.row, length, item.color)) << item.text;
            if (!item.alone)
                continue;
            EXPECT_FALSE(TestAccess::shownCell(item.column - 1, item.row).drawn) << item.text;
            EXPECT_FALSE(TestAccess::shownCell(item.column + length, item.row).drawn) << item.text;
        }
    }
}

TEST_F(TitleScreenTest, KeysPickTheNextScene) {
    struct Case {
        mw::Key key;
        mw::KeyboardAction action;
        Scene scene;
    };
    const Case cases[] = {
        {mw::KEY_1, mw::KEY_PRESSED, FIGHT_1},     {mw::KEY_1, mw::KEY_HELD, FIGHT_1},
        {mw::KEY_1, mw::KEY_RELEASED, FIGHT_1},    {mw::KEY_2, mw::KEY_PRESSED, FIGHT_2},
        {mw::KEY_2, mw::KEY_HELD, FIGHT_2},        {mw::KEY_2, mw::KEY_RELEASED, FIGHT_2},
        {mw::KEY_3, mw::KEY_PRESSED, FIGHT_3},     {mw::KEY_3, mw::KEY_HELD, FIGHT_3},
        {mw::KEY_3, mw::KEY_RELEASED, FIGHT_3},    {mw::KEY_T, mw::KEY_PRESSED, TUTORIAL},
        {mw::KEY_T, mw::KEY_HELD, TUTORIAL},       {mw::KEY_T, mw::KEY_RELEASED, TUTORIAL},
        {mw::KEY_ESCAPE, mw::KEY_PRESSED, QUIT},   {mw::KEY_ESCAPE, mw::KEY_HELD, TITLE},
        {mw::KEY_ESCAPE, mw::KEY_RELEASED, TITLE}, {mw::KEY_4, mw::KEY_PRESSED, TITLE},
        {mw::KEY_A, mw::KEY_PRESSED, TITLE},       {mw::KEY_ENTER, mw::KEY_PRESSED, TITLE},
        {mw::KEY_Q, mw::KEY_HELD, TITLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + " action " + std::to_string(c.action));
        clearWorld();
        new TitleScreen;
        gametest::sendKey(c.key, c.action);
        expectScene(c.scene);
    }
}

TEST_F(TitleScreenTest, TwoChoicesInOneFrameLeaveOnlyTheLast) {
    struct Case {
        mw::Key first, second;
        Scene scene;
    };
    const Case cases[] = {
        {mw::KEY_1, mw::KEY_T, TUTORIAL},
        {mw::KEY_T, mw::KEY_2, FIGHT_2},
        {mw::KEY_3, mw::KEY_1, FIGHT_1},
        {mw::KEY_2, mw::KEY_3, FIGHT_3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + " then " + std::to_string(c.second));
        clearWorld();
        new TitleScreen;
        mw::GameManager& game = mw::GameManager::getInstance();
        game.onEvent(mw::EventKeyboard(c.first, mw::KEY_PRESSED));
        game.onEvent(mw::EventKeyboard(c.second, mw::KEY_PRESSED));
        mw::WorldManager::getInstance().update();
        expectScene(c.scene);
    }
}

} // namespace
