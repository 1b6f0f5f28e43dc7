#include "engine/WorldManager.h"
#include "game/MatchLoader.h"
#include "game/RoundSystem.h"
#include "game/Timer.h"

#include "support/TestAccess.h"
#include "support/TestSupport.h"

#include <csignal>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string readAll(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

MatchLoader::WriteStage killAt;
int entriesBeforeKill;

void killAtStage(MatchLoader::WriteStage stage) {
    if (stage == killAt && --entriesBeforeKill <= 0)
        raise(SIGKILL);
}

// Records a win of 0:30 against opponent 1 in a child process, which is
// killed at the given stage of the rewrite unless stage is empty.
int recordWinInChild(const MatchLoader::WriteStage* stage, int entries) {
    const pid_t child = fork();
    if (child == 0) {
        MatchLoader& loader = MatchLoader::getInstance();
        loader.startUp();
        if (stage != nullptr) {
            killAt = *stage;
            entriesBeforeKill = entries;
            TestAccess::setWriteObserver(killAtStage);
        }
        loader.startMatch(1);
        const mw::ObjectList all = mw::WorldManager::getInstance().getAllObjects();
        for (int i = 0; i < all.getCount(); ++i) {
            if (const auto* referee = dynamic_cast<const RoundSystem*>(all[i])) {
                TestAccess::timer(*referee)->setTimeLeft(60);
                loader.updateFile(TestAccess::timer(*referee), referee);
            }
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

class HighScoreCrashTest : public mwtest::EngineTest {};

TEST_F(HighScoreCrashTest, AStopDuringTheRewriteLeavesTheOldFileWhole) {
    const std::string old = "105\n\n207\n";
    struct Case {
        const char* name;
        MatchLoader::WriteStage stage;
        int entries;
    };
    const Case cases[] = {
        {"after the first entry", MatchLoader::WriteStage::EntryWritten, 1},
        {"after the second entry", MatchLoader::WriteStage::EntryWritten, 2},
        {"between writing and renaming", MatchLoader::WriteStage::BeforeRename, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile("hsdata.txt", old);
        const int status = recordWinInChild(&c.stage, c.entries);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        EXPECT_EQ(readAll("hsdata.txt"), old);
    }
    // Without a stop the next rewrite replaces the file, leftovers or not.
    writeFile("hsdata.txt", old);
    const int status = recordWinInChild(nullptr, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(readAll("hsdata.txt"), "030\n\n207\n");
}

} // namespace
