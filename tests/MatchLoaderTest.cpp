#include "support/GameSupport.h"

#include "engine/Sprite.h"
#include "game/HealthUI.h"
#include "game/Ring.h"
#include "game/RoundUI.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

#include <filesystem>
#include <optional>
#include <typeinfo>

namespace {

using gametest::firstOf;
using gametest::objectsOf;

const std::string READ_FAILURE = "MatchLoader::startUp() -- Couldn't open highscore data file!";
const std::string WRITE_FAILURE = "MatchLoader::updateFile() -- Couldn't open highscore data file!";

TEST(MatchLoaderFasterTime, PicksTheSmallerTotalAndTheFirstOnATie) {
    struct Case {
        std::string a, b, faster;
    };
    const Case cases[] = {
        {"105", "207", "105"},
        {"207", "105", "105"},
        {"030", "100", "030"},
        {"059", "100", "059"},
        {"430", "429", "429"},
        // 0:65 and 1:05 are both 65 seconds: the first argument wins.
        {"105", "065", "105"},
        {"065", "105", "065"},
        {"105", "105", "105"},
        // Two characters are a time too: one digit of seconds.
        {"15", "110", "15"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLoader::fasterTime(c.a, c.b), c.faster) << c.a << " vs " << c.b;
}

TEST(MatchLoaderFasterTime, AnEntryThatIsNotATimeLosesToAnyTime) {
    struct Case {
        std::string a, b, faster;
    };
    const Case cases[] = {
        {"105", "abc", "105"}, {"abc", "105", "105"}, {"430", "1", "430"},
        {"1", "430", "430"},   {"430", "1x", "430"},  {"x05", "430", "430"},
        {"430", " 05", "430"}, {"430", "-05", "430"}, {"430", "", "430"},
        // Neither is a time: nothing to choose, the first stays.
        {"1", "x", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLoader::fasterTime(c.a, c.b), c.faster) << c.a << " vs " << c.b;
}

TEST(MatchLoaderWinningTime, StoresMinutesAndTwoDigitsOfSeconds) {
    struct Case {
        int round, timeLeft;
        std::string stored;
    };
    const Case cases[] = {
        {1, 88, "002"}, {1, 81, "009"}, {1, 80, "010"}, {1, 60, "030"}, {1, 0, "130"},
        {2, 60, "200"}, {2, 90, "130"}, {2, 53, "207"}, {3, 1, "429"}, {3, 0, "430"},
        // A decision always counts the three full rounds, whatever the clock shows
        // by the time the player presses the key.
        {4, 0, "430"},  {4, -25, "430"}, {4, 90, "430"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLoader::winningTime(c.round, c.timeLeft), c.stored)
            << "round " << c.round << ", " << c.timeLeft << " s left";
}

class MatchLoaderFileTest : public gametest::GameTest {
protected:
    std::vector<std::string> shownTimes() const {
        const MatchLoader& loader = MatchLoader::getInstance();
        return {loader.getHighScore(1), loader.getHighScore(2), loader.getHighScore(3)};
    }

    // A fight against the opponent, its clock showing timeLeft in round 1,
    // recorded as a win.
    void winRoundOne(int opponent, int timeLeft) {
        MatchLoader::getInstance().startMatch(opponent);
        // Only the new fight's referee is left.
        mw::WorldManager::getInstance().update();
        RoundSystem* referee = firstOf<RoundSystem>();
        ASSERT_NE(referee, nullptr);
        referee->getTimer()->setTimeLeft(timeLeft);
        MatchLoader::getInstance().updateFile(referee->getTimer(), referee);
    }

    bool tempFileExists() const {
        return std::filesystem::exists(m_scratch.path() / HIGH_SCORE_TEMP_FILE);
    }
};

TEST_F(MatchLoaderFileTest, StartUpReadsUpToThreeLines) {
    struct Case {
        const char* name;
        std::optional<std::string> content;
        std::vector<std::string> shown;
    };
    const std::string longLine = "2" + std::string(254, 'x') + "345\n";
    const Case cases[] = {
        {"no file", std::nullopt, {"-:--", "-:--", "-:--"}},
        {"empty file", "", {"-:--", "-:--", "-:--"}},
        {"all three", "105\n030\n430\n", {"1:05", "0:30", "4:30"}},
        {"only the second", "\n105\n\n", {"-:--", "1:05", "-:--"}},
        {"short file", "105\n", {"1:05", "-:--", "-:--"}},
        {"no last newline", "105\n207", {"1:05", "2:07", "-:--"}},
        {"lines after the third", "105\n110\n120\n130\n", {"1:05", "1:10", "1:20"}},
        // 255 characters make the first entry (not a time); the rest of the
        // line is the second entry.
        {"long line", longLine + "100\n200\n", {"-:--", "3:45", "1:00"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(m_scratch.path() / HIGH_SCORE_FILE);
        if (c.content)
            writeFile(HIGH_SCORE_FILE, *c.content);
        const int before = countLogged(READ_FAILURE);
        EXPECT_EQ(MatchLoader::getInstance().startUp(), 0) << c.name;
        EXPECT_TRUE(MatchLoader::getInstance().isStarted()) << c.name;
        EXPECT_EQ(shownTimes(), c.shown) << c.name;
        EXPECT_EQ(countLogged(READ_FAILURE) - before, c.content ? 0 : 1) << c.name;
    }
}

TEST_F(MatchLoaderFileTest, EntriesThatAreNotTimesShowNoTime) {
    useHighScoreFile("abc\n1\n7x\n");
    EXPECT_EQ(shownTimes(), (std::vector<std::string>{"-:--", "-:--", "-:--"}));
}

TEST_F(MatchLoaderFileTest, OnlyOpponentsOneToThreeHaveTimes) {
    useHighScoreFile("105\n207\n330\n");
    for (const int number : {-1, 0, 4, 100})
        EXPECT_EQ(MatchLoader::getInstance().getHighScore(number), "-:--") << number;
}

TEST_F(MatchLoaderFileTest, AWinRewritesAllThreeLines) {
    struct Case {
        const char* name;
        std::optional<std::string> before;
        int opponent;
        int timeLeft;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"first win", std::nullopt, 3, 30, {"", "", "100"}},
        {"faster win", "105\n", 1, 88, {"002", "", ""}},
        // The file is rewritten even though the entry stays.
        {"slower win", "001\n", 1, 88, {"001", "", ""}},
        {"equal win", "002\n\n\n", 1, 88, {"002", "", ""}},
        {"second opponent", "105\n\n330\n", 2, 81, {"105", "009", "330"}},
        // Hand-edited entries: the win replaces its own, the others stay as read.
        {"letters", "abc\n1\n7x\n", 1, 88, {"002", "1", "7x"}},
        {"single digit", "abc\n1\n7x\n", 2, 80, {"abc", "010", "7x"}},
        {"digit then letter", "abc\n1\n7x\n", 3, 60, {"abc", "1", "030"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(m_scratch.path() / HIGH_SCORE_FILE);
        if (c.before)
            writeFile(HIGH_SCORE_FILE, *c.before);
        MatchLoader::getInstance().startUp();
        winRoundOne(c.opponent, c.timeLeft);
        EXPECT_EQ(highScoreLines(), c.after) << c.name;
        EXPECT_FALSE(tempFileExists()) << c.name;
        EXPECT_FALSE(logged(WRITE_FAILURE)) << c.name;
    }
}

TEST_F(MatchLoaderFileTest, TheNewTimeIsShownAtOnce) {
    useHighScoreFile("105\n");
    winRoundOne(1, 88);
    EXPECT_EQ(shownTimes(), (std::vector<std::string>{"0:02", "-:--", "-:--"}));
}

TEST_F(MatchLoaderFileTest, AFailedWriteKeepsTheOldFileAndTheTimeInMemory) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        // Puts something in the way of the write.
        void (*block)(const fs::path& directory);
    };
    // The tests run as root, where permissions do not stop a write: a directory
    // in the place of a file does.
    const Case cases[] = {
        {"temporary file cannot be created",
         [](const fs::path& directory) {
             fs::create_directories(directory / HIGH_SCORE_TEMP_FILE / "keep");
         }},
        {"temporary file cannot replace the old one",
         [](const fs::path& directory) {
             fs::remove(directory / HIGH_SCORE_FILE);
             fs::create_directories(directory / HIGH_SCORE_FILE / "keep");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path directory = m_scratch.path();
        fs::remove_all(directory / HIGH_SCORE_FILE);
        fs::remove_all(directory / HIGH_SCORE_TEMP_FILE);
        useHighScoreFile("105\n\n207\n");
        c.block(directory);
        const bool oldFileIsRegular = fs::is_regular_file(directory / HIGH_SCORE_FILE);

        const int before = countLogged(WRITE_FAILURE);
        winRoundOne(1, 88);

        EXPECT_EQ(countLogged(WRITE_FAILURE) - before, 1);
        EXPECT_EQ(shownTimes(), (std::vector<std::string>{"0:02", "-:--", "2:07"}));
        if (oldFileIsRegular) {
            EXPECT_EQ(highScoreFileContent(), "105\n\n207\n");
        } else {
            EXPECT_TRUE(fs::is_directory(directory / HIGH_SCORE_FILE / "keep"));
        }
        // Nothing half-written is left behind: only what was there before.
        EXPECT_FALSE(fs::is_regular_file(directory / HIGH_SCORE_TEMP_FILE));
    }
}

TEST_F(MatchLoaderFileTest, ALaterWriteSucceedsAfterAFailedOne) {
    namespace fs = std::filesystem;
    useHighScoreFile("105\n");
    fs::create_directories(m_scratch.path() / HIGH_SCORE_TEMP_FILE / "keep");
    winRoundOne(1, 88);
    fs::remove_all(m_scratch.path() / HIGH_SCORE_TEMP_FILE);
    winRoundOne(2, 60);
    EXPECT_EQ(highScoreLines(), (std::vector<std::string>{"002", "030", ""}));
}

class MatchLoaderSceneTest : public gametest::GameTest {};

TEST_F(MatchLoaderSceneTest, StartMatchBuildsTheFightInCreationOrder) {
    struct Case {
        int number;
        const std::type_info& opponentClass;
    };
    const Case cases[] = {{1, typeid(Opponent1)}, {2, typeid(Opponent2)}, {3, typeid(Opponent3)}};
    loadSprite("ring", {"( )"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        new TitleScreen;
        MatchLoader::getInstance().startMatch(c.number);
        m_driver.advance();

        EXPECT_EQ(MatchLoader::getInstance().getCurrentOpponent(), c.number);
        const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
        ASSERT_EQ(all.getCount(), 8);
        EXPECT_NE(dynamic_cast<Ring*>(all[0]), nullptr);
        EXPECT_NE(dynamic_cast<Hero*>(all[1]), nullptr);
        EXPECT_NE(dynamic_cast<HealthUI*>(all[2]), nullptr);
        EXPECT_EQ(typeid(*all[3]), c.opponentClass);
        EXPECT_NE(dynamic_cast<HealthUI*>(all[4]), nullptr);
        EXPECT_NE(dynamic_cast<RoundSystem*>(all[5]), nullptr);
        EXPECT_NE(dynamic_cast<RoundUI*>(all[6]), nullptr);
        EXPECT_NE(dynamic_cast<Timer*>(all[7]), nullptr);
        EXPECT_EQ(static_cast<Hero*>(all[1])->getHealthUI(), all[2]);
        EXPECT_EQ(static_cast<Opponent*>(all[3])->getHealthUI(), all[4]);

        const Ring* ring = static_cast<Ring*>(all[0]);
        EXPECT_EQ(ring->getType(), "Ring");
        EXPECT_EQ(ring->getSpriteLabel(), "ring");
        EXPECT_EQ(ring->getSolidness(), mw::INTANGIBLE);
        EXPECT_EQ(ring->getAltitude(), 1);
        EXPECT_EQ(ring->getPosition(), mw::Vector(42.5f, 14.0f));
    }
}

TEST_F(MatchLoaderSceneTest, StartMatchDuringAFightReplacesIt) {
    MatchLoader::getInstance().startMatch(1);
    m_driver.advance(5);
    const Hero* oldHero = firstOf<Hero>();
    MatchLoader::getInstance().startMatch(2);
    m_driver.advance();
    EXPECT_EQ(objectsOf<Ring>().size(), 1u);
    ASSERT_EQ(objectsOf<Hero>().size(), 1u);
    EXPECT_NE(firstOf<Hero>(), oldHero);
    ASSERT_EQ(objectsOf<Opponent>().size(), 1u);
    EXPECT_NE(dynamic_cast<Opponent2*>(firstOf<Opponent>()), nullptr);
    EXPECT_EQ(objectsOf<RoundSystem>().size(), 1u);
    EXPECT_EQ(objectsOf<Timer>().size(), 1u);
    EXPECT_EQ(objectsOf<HealthUI>().size(), 2u);
}

TEST_F(MatchLoaderSceneTest, OtherNumbersOnlyClearTheWorld) {
    for (const int number : {0, 4, -1}) {
        new TitleScreen;
        MatchLoader::getInstance().startMatch(number);
        m_driver.advance();
        EXPECT_EQ(mw::WorldManager::getInstance().getAllObjects().getCount(), 0) << number;
    }
}

TEST_F(MatchLoaderSceneTest, ObjectsMadeAfterClearingSurviveTheFrame) {
    new TitleScreen;
    new TextDisplay("old", mw::Vector(1, 1));
    MatchLoader::getInstance().clearWorld();
    new TextDisplay("new", mw::Vector(1, 1));
    m_driver.advance();
    EXPECT_EQ(gametest::worldTypes(), (std::vector<std::string>{"TextDisplay"}));
    EXPECT_EQ(gametest::messages(), (std::vector<std::string>{"new"}));
}

} // namespace
