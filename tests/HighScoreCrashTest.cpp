// A program killed while it rewrites "hsdata.txt" leaves the old file whole.

#include "support/GameSupport.h"

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {

MatchLoader::WriteStage killAt;
int passesBeforeKill;

using HighScoreCrashTest = gametest::GameTest;

TEST_F(HighScoreCrashTest, AStopDuringTheRewriteLeavesTheOldFileWhole) {
    using Stage = MatchLoader::WriteStage;
    // A win of 0:30 against opponent 1 in a child killed at the stage's nth passing (never for 0).
    for (const auto& [stage, n, killed, after] :
         {std::tuple{Stage::EntryWritten, 1, true, "105\n\n207\n"},
          {Stage::EntryWritten, 2, true, "105\n\n207\n"},
          {Stage::BeforeRename, 1, true, "105\n\n207\n"},
          {Stage::BeforeRename, 0, false, "030\n\n207\n"}}) {
        useHighScoreFile("105\n\n207\n");
        if (fork() == 0) {
            killAt = stage;
            passesBeforeKill = n;
            TestAccess::setWriteObserver([](Stage now) {
                if (now == killAt && --passesBeforeKill == 0)
                    raise(SIGKILL);
            });
            startFight(1);
            clock().setTimeLeft(60);
            MatchLoader::getInstance().updateFile(&clock(), m_rounds);
            _exit(0);
        }
        int status = 0;
        wait(&status);
        EXPECT_EQ(highScoreFile(), after) << n;
        EXPECT_EQ(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL, killed) << n;
    }
}

} // namespace
