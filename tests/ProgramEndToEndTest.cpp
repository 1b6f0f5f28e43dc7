// The real program on an X server of its own, played with xdotool.

#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ProgramEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mwtest::hasDisplay() || std::system("command -v xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs Xvfb and xdotool";
        for (const char* item : {"sprites", "audio", "mw-font.ttf"})
            fs::copy(fs::path(MW_RUN_DIR) / item, m_scratch.path() / item,
                     fs::copy_options::recursive);
    }

    // Plays the keys and returns the program's exit status.
    int play(const std::string& keys) const {
        const std::string script =
            "cd '" + m_scratch.path().string() +
            "' && xvfb-run -a -s '-screen 0 1024x768x24' bash -c '"
            "timeout 60 \"" MW_BINARY_DIR "/marrowick\" >stdout.txt 2>&1 & game=$!; "
            "timeout 30 xdotool search --sync --onlyvisible --name Marrowick windowfocus --sync "
            ">/dev/null; "
            "sleep 1; for k in " +
            keys + "; do xdotool key $k; sleep 0.7; done; wait $game; echo $? >status.txt'";
        if (std::system(script.c_str()) != 0)
            return -1;
        int code = -1;
        std::ifstream(m_scratch.path() / "status.txt") >> code;
        return code;
    }

    mwtest::ScratchDirectory m_scratch;
};

TEST_F(ProgramEndToEndTest, TheTutorialIsPlayedThroughWithoutTheThemeMusicAndEscapeEndsTheProgram) {
    fs::remove(m_scratch.path() / "audio" / "mwbrawlicktheme.wav");
    ASSERT_EQ(play("t q w o p Return Escape"), 0);
    const std::vector<std::string> lines = mwtest::readLines(m_scratch.path() / "marrowick.log");
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines.front() + " | " + lines.back(),
              "LogManager::startUp() - LM was started | LogManager::shutDown() - LM was shutdown");
    for (const char* line :
         {"ResourceManager::loadMusic - Unable to load music 'theme-music' from file "
          "'audio/mwbrawlicktheme.wav'",
          "MatchLoader::startUp() -- Couldn't open highscore data file!"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    EXPECT_FALSE(fs::exists(m_scratch.path() / "hsdata.txt")); // nothing was won
}

} // namespace
