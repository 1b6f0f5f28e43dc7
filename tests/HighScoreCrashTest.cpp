// A program killed while it rewrites "hsdata.txt" leaves the old file whole.

#include "support/TestAccess.h"
#include "support/TestSupport.h"
#include "support/WorldQueries.h"

#include "game/Timer.h"

#include <csignal>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

MatchLoader::WriteStage killAt;
int passesBeforeKill;

// Records a win of 0:30 against opponent 1 in a child process killed at the
// stage's nth passing (never for 0); returns whether it was, and the file after.
std::string recordWinInChild(MatchLoader::WriteStage stage, int n, bool& killed) {
    if (fork() == 0) {
        killAt = stage;
        passesBeforeKill = n;
        TestAccess::setWriteObserver([](MatchLoader::WriteStage now) {
            if (now == killAt && --passesBeforeKill == 0)
                raise(SIGKILL);
        });
        MatchLoader::getInstance().startUp();
        MatchLoader::getInstance().startMatch(1);
        const RoundSystem* rounds = gametest::firstOf<RoundSystem>();
        TestAccess::timer(*rounds)->setTimeLeft(60);
        MatchLoader::getInstance().updateFile(TestAccess::timer(*rounds), rounds);
        _exit(0);
    }
    int status = 0;
    wait(&status);
    killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    std::ostringstream content;
    content << std::ifstream("hsdata.txt", std::ios::binary).rdbuf();
    return content.str();
}

using HighScoreCrashTest = mwtest::EngineTest;

TEST_F(HighScoreCrashTest, AStopDuringTheRewriteLeavesTheOldFileWhole) {
    using Stage = MatchLoader::WriteStage;
    for (const auto& [stage, n, killed, after] :
         {std::tuple{Stage::EntryWritten, 1, true, "105\n\n207\n"},
          {Stage::EntryWritten, 2, true, "105\n\n207\n"},
          {Stage::BeforeRename, 1, true, "105\n\n207\n"},
          {Stage::BeforeRename, 0, false, "030\n\n207\n"}}) {
        writeFile("hsdata.txt", "105\n\n207\n");
        bool wasKilled = false;
        EXPECT_EQ(recordWinInChild(stage, n, wasKilled), after) << n;
        EXPECT_EQ(wasKilled, killed) << n;
    }
}

} // namespace
