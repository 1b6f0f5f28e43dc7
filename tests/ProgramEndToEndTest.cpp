#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Runs the real program in a scratch working directory on an X server of its
// own, plays it with xdotool, and returns the program's exit status.
int playProgram(const fs::path& workDirectory, const std::string& keys) {
    const std::string script = "cd '" + workDirectory.string() +
                               "' && xvfb-run -a -s '-screen 0 1024x768x24' bash -c '"
                               "\"" MW_BINARY_DIR "/marrowick\" >stdout.txt 2>&1 & game=$!; "
                               "xdotool search --sync --onlyvisible --name Marrowick windowfocus "
                               "--sync >/dev/null; sleep 1; "
                               "for k in " +
                               keys +
                               "; do xdotool key $k; sleep 0.7; done; "
                               "wait $game; echo $? >status.txt'";
    if (std::system(script.c_str()) != 0)
        return -1;
    std::ifstream status(workDirectory / "status.txt");
    int code = -1;
    status >> code;
    return code;
}

class ProgramEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mwtest::hasDisplay() || std::system("command -v xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs Xvfb and xdotool";
        for (const char* item : {"sprites", "audio", "mw-font.ttf"})
            fs::copy(fs::path(mwtest::runDirectory()) / item, m_scratch.path() / item,
                     fs::copy_options::recursive);
    }
    std::vector<std::string> log() const {
        return mwtest::readLines(m_scratch.path() / "marrowick.log");
    }
    bool logHas(const std::string& line) const {
        const auto lines = log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    mwtest::ScratchDirectory m_scratch;
};

TEST_F(ProgramEndToEndTest, TheTutorialIsPlayedThroughAndEscapeEndsTheProgram) {
    ASSERT_EQ(playProgram(m_scratch.path(), "t q w o p Return Escape"), 0);
    const auto lines = log();
    ASSERT_GE(lines.size(), 6u);
    const std::vector<std::string> start = {"LogManager::startUp() - LM was started",
                                            "WorldManager::startUp() - WM was started up",
                                            "DisplayManager::startUp() - DM was started up",
                                            "InputManager::startUp() - IM was started up",
                                            "ResourceManager::startUp() - RM was started",
                                            "GameManager::startUp() - GM was started up"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6), start);
    EXPECT_EQ(lines.back(), "LogManager::shutDown() - LM was shutdown");
    EXPECT_EQ(lines[lines.size() - 2], "GameManager::shutDown() - GM was shut down");
    // No fight was won, so no best time was written.
    EXPECT_FALSE(fs::exists(m_scratch.path() / "hsdata.txt"));
}

TEST_F(ProgramEndToEndTest, WithoutTheThemeMusicTheGameStillRunsAndEndsCleanly) {
    fs::remove(m_scratch.path() / "audio" / "mwbrawlicktheme.wav");
    ASSERT_EQ(playProgram(m_scratch.path(), "Escape"), 0);
    EXPECT_TRUE(logHas("ResourceManager::loadMusic - Unable to load music 'theme-music' from file "
                       "'audio/mwbrawlicktheme.wav'"));
    EXPECT_EQ(log().back(), "LogManager::shutDown() - LM was shutdown");
}

} // namespace
