#include "support/GameSupport.h"
#include "support/TestAccess.h"

#include "engine/LogManager.h"
#include "game/HealthUI.h"
#include "game/KnockdownPrompt.h"
#include "game/Ring.h"
#include "game/RoundUI.h"
#include "game/Timer.h"
#include "game/TitleScreen.h"

#include <filesystem>
#include <optional>
#include <typeinfo>

namespace {

namespace fs = std::filesystem;
using gametest::firstOf;
using gametest::objectsOf;
using Lines = std::vector<std::string>;

const std::string READ_FAILURE = "MatchLoader::startUp() -- Couldn't open highscore data file!";
const std::string WRITE_FAILURE = "MatchLoader::updateFile() -- Couldn't open highscore data file!";

TEST(MatchLoaderTime, FasterTimeComparesTotalsAndEntriesThatAreNotTimesLose) {
    struct Case {
        std::string a, b, faster;
    };
    const Case cases[] = {
        {"105", "207", "105"},
        {"207", "105", "105"},
        {"059", "100", "059"},
        {"430", "429", "429"},
        // 0:65 and 1:05 are both 65 seconds: the first argument wins.
        {"105", "065", "105"},
        {"065", "105", "065"},
        // Two characters are a time with one digit of seconds.
        {"15", "110", "15"},
        {"19", "105", "105"},
        // Hand-edited entries are slower than any time.
        {"105", "abc", "105"},
        {"abc", "105", "105"},
        {"1", "430", "430"},
        {"430", "1x", "430"},
        {"x05", "430", "430"},
        {"430", " 05", "430"},
        {"430", "-05", "430"},
        {"430", "105abc", "430"},
        {"430", "", "430"},
        {"1", "x", "1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLoader::fasterTime(c.a, c.b), c.faster) << c.a << " vs " << c.b;
}

TEST(MatchLoaderTime, WinningTimeIsMinutesAndTwoDigitsOfSeconds) {
    struct Case {
        int round, timeLeft;
        std::string stored;
    };
    const Case cases[] = {
        {1, 88, "002"},
        {1, 81, "009"},
        {1, 80, "010"},
        {1, 0, "130"},
        {2, 60, "200"},
        {2, 53, "207"},
        {3, 0, "430"},
        // A decision counts three full rounds, however long the pause before it.
        {4, 0, "430"},
        {4, -25, "430"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLoader::winningTime(c.round, c.timeLeft), c.stored)
            << "round " << c.round << ", " << c.timeLeft << " s left";
}

class MatchLoaderTest : public gametest::GameTest {
protected:
    static Lines shownTimes() {
        const MatchLoader& loader = MatchLoader::getInstance();
        return {loader.getHighScore(1), loader.getHighScore(2), loader.getHighScore(3)};
    }

    // Starts again from the file's content, or from no file.
    void restart(const std::optional<std::string>& content) {
        fs::remove_all(m_scratch.path() / HIGH_SCORE_FILE);
        if (content)
            writeFile(HIGH_SCORE_FILE, *content);
        MatchLoader::getInstance().startUp();
    }

    // What the scratch directory holds besides the log and the high scores.
    Lines strayFiles() const {
        Lines names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_scratch.path())) {
            const std::string name = entry.path().filename().string();
            if (name != HIGH_SCORE_FILE && name != mw::LOG_FILE_NAME)
                names.push_back(name);
        }
        return names;
    }

    // A win in round 1 against the opponent with timeLeft on the clock.
    void win(int opponent, int timeLeft) {
        MatchLoader::getInstance().startMatch(opponent);
        mw::WorldManager::getInstance().update();
        RoundSystem* referee = firstOf<RoundSystem>();
        TestAccess::timer(*referee)->setTimeLeft(timeLeft);
        MatchLoader::getInstance().updateFile(TestAccess::timer(*referee), referee);
    }
};

TEST_F(MatchLoaderTest, StartUpReadsUpToThreeLines) {
    struct Case {
        const char* name;
        std::optional<std::string> content;
        Lines shown;
    };
    const Case cases[] = {
        {"no file", std::nullopt, {"-:--", "-:--", "-:--"}},
        {"only the second", "\n105\n\n", {"-:--", "1:05", "-:--"}},
        {"short file", "105\n", {"1:05", "-:--", "-:--"}},
        {"no last newline", "105\n207", {"1:05", "2:07", "-:--"}},
        {"lines after the third", "105\n110\n120\n130\n", {"1:05", "1:10", "1:20"}},
        {"not times", "abc\n1\n7x\n", {"-:--", "-:--", "-:--"}},
        {"crlf", "105\r\n\r\n207\r\n", {"1:05", "-:--", "2:07"}},
        {"digits and more", "105abc\n1:05\n20 7\n", {"-:--", "-:--", "-:--"}},
        // 255 characters make the first entry; the rest of the line is the second.
        {"long line", "2" + std::string(254, 'x') + "345\n100\n200\n", {"-:--", "3:45", "1:00"}},
    };
    for (const Case& c : cases) {
        const int failures = countLogged(READ_FAILURE);
        restart(c.content);
        EXPECT_TRUE(MatchLoader::getInstance().isStarted()) << c.name;
        EXPECT_EQ(shownTimes(), c.shown) << c.name;
        EXPECT_EQ(countLogged(READ_FAILURE) - failures, c.content ? 0 : 1) << c.name;
    }
    for (const int number : {0, 4})
        EXPECT_EQ(MatchLoader::getInstance().getHighScore(number), "-:--");
}

TEST_F(MatchLoaderTest, AWinRewritesAllThreeLines) {
    struct Case {
        const char* name;
        std::optional<std::string> before;
        int opponent, timeLeft;
        Lines after;
    };
    const Case cases[] = {
        {"first win", std::nullopt, 3, 30, {"", "", "100"}},
        {"faster", "105\n", 1, 88, {"002", "", ""}},
        // Rewritten even though the entry stays.
        {"slower", "001\n", 1, 88, {"001", "", ""}},
        {"equal", "002\n\n\n", 1, 88, {"002", "", ""}},
        {"second opponent", "105\n\n330\n", 2, 81, {"105", "009", "330"}},
        // Hand-edited entries: the win replaces its own, the others stay as read.
        {"letters", "abc\n1\n7x\n", 1, 88, {"002", "1", "7x"}},
        {"one digit", "abc\n1\n7x\n", 2, 80, {"abc", "010", "7x"}},
        {"digit and letter", "abc\n1\n7x\n", 3, 60, {"abc", "1", "030"}},
        {"crlf", "105\r\n\r\n207\r\n", 2, 81, {"105", "009", "207"}},
        {"digits and more lose", "105abc\n2:07\n", 1, 0, {"130", "2:07", ""}},
    };
    for (const Case& c : cases) {
        restart(c.before);
        win(c.opponent, c.timeLeft);
        EXPECT_EQ(highScoreLines(), c.after) << c.name;
        EXPECT_EQ(strayFiles(), Lines{}) << c.name;
    }
    EXPECT_FALSE(logged(WRITE_FAILURE));
}

TEST_F(MatchLoaderTest, AFailedWriteKeepsTheNewTimeInMemory) {
    // Tests run as root, where permissions stop no write: a directory in the
    // place of the file does.
    restart("105\n\n207\n");
    fs::remove(m_scratch.path() / HIGH_SCORE_FILE);
    fs::create_directories(m_scratch.path() / HIGH_SCORE_FILE / "keep");
    win(1, 88);
    EXPECT_EQ(countLogged(WRITE_FAILURE), 1);
    EXPECT_EQ(shownTimes(), (Lines{"0:02", "-:--", "2:07"}));
    EXPECT_TRUE(fs::is_directory(m_scratch.path() / HIGH_SCORE_FILE / "keep"));
    EXPECT_EQ(strayFiles(), Lines{});
    // Once the way is free the next win writes everything kept.
    fs::remove_all(m_scratch.path() / HIGH_SCORE_FILE);
    win(2, 60);
    EXPECT_EQ(highScoreLines(), (Lines{"002", "030", "207"}));
}

TEST_F(MatchLoaderTest, StartMatchReplacesTheSceneByTheFight) {
    struct Case {
        int number;
        const std::type_info& opponentClass;
    };
    const Case cases[] = {{1, typeid(Opponent1)}, {2, typeid(Opponent2)}, {3, typeid(Opponent3)}};
    loadSprite("ring", {"( )"});
    new TitleScreen;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        // Called over the title screen first, then over the last fight.
        MatchLoader::getInstance().startMatch(c.number);
        m_driver.advance();

        EXPECT_EQ(MatchLoader::getInstance().getCurrentOpponent(), c.number);
        const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
        ASSERT_EQ(all.getCount(), 9);
        EXPECT_NE(dynamic_cast<Ring*>(all[0]), nullptr);
        EXPECT_EQ(static_cast<Hero*>(all[1])->getHealthUI(), all[2]);
        EXPECT_EQ(typeid(*all[3]), c.opponentClass);
        EXPECT_EQ(static_cast<Opponent*>(all[3])->getHealthUI(), all[4]);
        EXPECT_NE(dynamic_cast<RoundSystem*>(all[5]), nullptr);
        EXPECT_NE(dynamic_cast<RoundUI*>(all[6]), nullptr);
        EXPECT_NE(dynamic_cast<Timer*>(all[7]), nullptr);
        EXPECT_NE(dynamic_cast<KnockdownPrompt*>(all[8]), nullptr);

        const Ring* ring = static_cast<Ring*>(all[0]);
        EXPECT_EQ(ring->getType(), "Ring");
        EXPECT_EQ(ring->getSpriteLabel(), "ring");
        EXPECT_EQ(ring->getSolidness(), mw::INTANGIBLE);
        EXPECT_EQ(ring->getAltitude(), 1);
        EXPECT_EQ(ring->getPosition(), mw::Vector(42.5f, 14.0f));
    }
    for (const int number : {0, 4}) {
        MatchLoader::getInstance().startMatch(number);
        m_driver.advance();
        EXPECT_EQ(mw::WorldManager::getInstance().getAllObjects().getCount(), 0) << number;
    }
}

} // namespace
