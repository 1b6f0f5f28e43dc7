#pragma once

// Shared pieces of the match flow tests: a fixture that starts the high-score
// keeper in the scratch directory with every process-wide count at zero, and
// small readers of what the world holds. Header only, as the test target
// builds only the *Test.cpp files and TestSupport.cpp.

#include "support/TestAccess.h"
#include "support/TestSupport.h"
#include "support/WorldQueries.h"

#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/ObjectList.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "game/Hero.h"
#include "game/MatchLoader.h"
#include "game/Opponent1.h"
#include "game/Opponent2.h"
#include "game/Opponent3.h"
#include "game/RoundSystem.h"
#include "game/SharedCounts.h"
#include "game/TextDisplay.h"
#include "support/FrameDriver.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace gametest {

// Delivers one keyboard event to the world and ends the frame's update, as the
// input stage followed by the world update would.
inline void sendKey(mw::Key key, mw::KeyboardAction action) {
    mw::GameManager::getInstance().onEvent(mw::EventKeyboard(key, action));
    mw::WorldManager::getInstance().update();
}

class GameTest : public mwtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        // Counts the program keeps across fights; each test starts them from zero.
        sharedCounts().reset();
        // The opponents roll with rand(): the same draws whatever ran before.
        std::srand(1);
        // The scratch directory holds no high-score file yet.
        MatchLoader::getInstance().startUp();
    }

    void TearDown() override {
        MatchLoader::getInstance().shutDown();
        EngineTest::TearDown();
    }

    // The text the last shown frame holds from column on, and whether every one
    // of its cells is in colour.
    static std::string shownText(int column, int row, int length) {
        std::string text;
        for (int i = 0; i < length; ++i)
            text += TestAccess::shownCell(column + i, row).ch;
        return text;
    }

    static bool shownInColor(int column, int row, int length, mw::Color color) {
        for (int i = 0; i < length; ++i) {
            const mw::Cell cell = TestAccess::shownCell(column + i, row);
            if (!cell.drawn || cell.color != color)
                return false;
        }
        return true;
    }

    // Writes "hsdata.txt" and has the match loader read it again.
    void useHighScoreFile(const std::string& content) const {
        writeFile(HIGH_SCORE_FILE, content);
        MatchLoader::getInstance().startUp();
    }

    std::vector<std::string> highScoreLines() const {
        return mwtest::readLines(m_scratch.path() / HIGH_SCORE_FILE);
    }

    std::string highScoreFileContent() const {
        std::ifstream in(m_scratch.path() / HIGH_SCORE_FILE, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

    // A one-frame sprite of the given rows, loaded under the label.
    void loadSprite(const std::string& label, const std::vector<std::string>& rows,
                    const std::string& color = "white") const {
        std::string text = "1\n" + std::to_string(rows.empty() ? 0 : rows.front().size()) + "\n" +
                           std::to_string(rows.size()) + "\n1\n" + color + "\n";
        for (const std::string& row : rows)
            text += row + "\n";
        const std::string file = "sprites/" + label + ".txt";
        writeFile(file, text);
        ASSERT_EQ(mw::ResourceManager::getInstance().loadSprite(file, label), 0) << label;
    }

    // A one-cell sprite under each of the boxers' labels, so that sprite
    // changes can be seen.
    void loadBoxerSprites() const {
        for (const char* label : {"hero-idle", "hero-s-left", "hero-s-right", "hero-d-left",
                                  "hero-d-right", "hero-down"})
            loadSprite(label, {"X"});
        for (const std::string prefix : {"opponent-", "opponent2-", "opponent3-"}) {
            for (const char* pose :
                 {"idle", "charge-right", "charge-left", "swing-right", "swing-left", "dodge-right",
                  "dodge-left", "tell", "stunned", "down"})
                loadSprite(prefix + pose, {"X"});
        }
    }

    mw::FrameDriver m_driver;
};

} // namespace gametest
