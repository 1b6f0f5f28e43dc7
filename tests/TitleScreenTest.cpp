#include "support/GameSupport.h"

#include "game/MatchLoader.h"
#include "game/Opponent1.h"
#include "game/Opponent2.h"
#include "game/Opponent3.h"
#include "game/TitleScreen.h"
#include "game/TutorialMode.h"

#include <algorithm>
#include <typeinfo>

namespace {

using namespace gametest;

class TitleScreenTest : public GameTest {
protected:
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

TEST_F(TitleScreenTest, KeysPickTheNextSceneAndTheLastChoiceOfAFrameStays) {
    // Held or released as well as pressed, except that only a press of Escape quits.
    using mw::KEY_UNDEFINED;
    const struct {
        mw::Key first, second;
        const char* scene;
    } cases[] = {{mw::KEY_1, KEY_UNDEFINED, "fight 1"},   {mw::KEY_2, KEY_UNDEFINED, "fight 2"},
                 {mw::KEY_3, KEY_UNDEFINED, "fight 3"},   {mw::KEY_T, KEY_UNDEFINED, "tutorial"},
                 {mw::KEY_ESCAPE, KEY_UNDEFINED, "quit"}, {mw::KEY_4, KEY_UNDEFINED, "title"},
                 {mw::KEY_ENTER, KEY_UNDEFINED, "title"}, {mw::KEY_1, mw::KEY_T, "tutorial"},
                 {mw::KEY_T, mw::KEY_2, "fight 2"},       {mw::KEY_3, mw::KEY_1, "fight 1"}};
    for (const auto& c : cases) {
        for (const mw::KeyboardAction action : {mw::KEY_HELD, mw::KEY_RELEASED, mw::KEY_PRESSED}) {
            MatchLoader::getInstance().clearWorld();
            mw::WorldManager::getInstance().update();
            mw::GameManager::getInstance().setGameOver(false);
            new TitleScreen;
            mw::GameManager::getInstance().onEvent(mw::EventKeyboard(c.first, action));
            sendKey(c.second, action);
            const bool quit = mw::GameManager::getInstance().getGameOver();
            const bool escapeHeld = c.first == mw::KEY_ESCAPE && action != mw::KEY_PRESSED;
            EXPECT_EQ(quit ? "quit" : scene(), escapeHeld ? "title" : c.scene)
                << c.first << " " << c.second << " " << action;
        }
    }
}

TEST_F(TitleScreenTest, StartMatchReplacesTheSceneByTheFightWithTheBoxersOverTheRing) {
    MW_OPEN_WINDOW();
    loadSprite("ring", Lines(24, std::string(80, '+'))); // over the whole screen
    new TitleScreen;
    const std::type_info* classes[] = {&typeid(Opponent1), &typeid(Opponent2), &typeid(Opponent3)};
    for (const int number : {1, 2, 3, 0, 4}) {
        MatchLoader::getInstance().startMatch(number);
        m_driver.advance();
        if (number == 0 || number == 4) {
            EXPECT_EQ(worldTypes(), Lines{});
            continue;
        }
        EXPECT_EQ(worldTypes(),
                  (Lines{"Ring", "Hero", "OpponentHealthUI", "Opponent", "OpponentHealthUI", "",
                         "RoundUI", "TimerUI", "KnockdownPrompt"}));
        const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
        EXPECT_EQ(shownRow(16).substr(41, 3) + shownRow(19).substr(41, 3),
                  "+X++X+"); // opponent, hero
        EXPECT_EQ(all[0]->getPosition(), mw::Vector(42.5f, 14.0f));
        EXPECT_EQ(all[0]->getSpriteLabel() + std::to_string(all[0]->getAltitude()), "ring1");
        EXPECT_EQ(static_cast<Hero*>(all[1])->getHealthUI(), all[2]);
        EXPECT_EQ(typeid(*all[3]), *classes[number - 1]);
        EXPECT_EQ(static_cast<Opponent*>(all[3])->getHealthUI(), all[4]);
    }
}

} // namespace
