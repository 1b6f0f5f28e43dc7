// A program killed while it rewrites "hsdata.txt" leaves the old file whole.

#include "support/TestAccess.h"
#include "support/TestSupport.h"

#include "engine/WorldManager.h"
#include "game/RoundSystem.h"
#include "game/Timer.h"
#include "support/WorldQueries.h"

#include <csignal>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

MatchLoader::WriteStage killAt;
int stagesBeforeKill;

void killAtStage(MatchLoader::WriteStage stage) {
    if (stage == killAt && --stagesBeforeKill <= 0)
        raise(SIGKILL);
}

// Records a win of 0:30 against opponent 1 in a child process, killed at the
// stage's nth passing; never when n is 0. Returns the file afterwards.
std::string recordWinInChild(MatchLoader::WriteStage stage, int n, bool& killed) {
    const pid_t child = fork();
    if (child == 0) {
        killAt = stage;
        stagesBeforeKill = n;
        if (n > 0)
            TestAccess::setWriteObserver(killAtStage);
        MatchLoader& loader = MatchLoader::getInstance();
        loader.startUp();
        loader.startMatch(1);
        const RoundSystem* rounds = gametest::firstOf<RoundSystem>();
        TestAccess::timer(*rounds)->setTimeLeft(60);
        loader.updateFile(TestAccess::timer(*rounds), rounds);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    std::ifstream in("hsdata.txt", std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

using HighScoreCrashTest = mwtest::EngineTest;

TEST_F(HighScoreCrashTest, AStopDuringTheRewriteLeavesTheOldFileWhole) {
    using Stage = MatchLoader::WriteStage;
    const struct {
        Stage stage;
        int n;
        bool killed;
        std::string after;
    } cases[] = {
        {Stage::EntryWritten, 1, true, "105\n\n207\n"},
        {Stage::EntryWritten, 2, true, "105\n\n207\n"},
        {Stage::BeforeRename, 1, true, "105\n\n207\n"},
        {Stage::BeforeRename, 0, false, "030\n\n207\n"}, // leftovers or not
    };
    for (const auto& c : cases) {
        writeFile("hsdata.txt", "105\n\n207\n");
        bool killed = false;
        EXPECT_EQ(recordWinInChild(c.stage, c.n, killed), c.after) << c.n;
        EXPECT_EQ(killed, c.killed);
    }
}

} // namespace
