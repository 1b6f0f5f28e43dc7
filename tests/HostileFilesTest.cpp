// Files made to hurt the program, each met in a child process given 1 GB more
// address space than the tests have, and ten seconds.
#include "support/GameSupport.h"

#include "engine/DisplayManager.h"
#include "game/Timer.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using mw::ResourceManager;

constexpr int NOT_RUN = 77;
constexpr uid_t NOBODY = 65534;

long addressSpaceKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0)
            return std::stol(line.substr(7));
    }
    return 0;
}

// The body's result, -1 when the child died, or NOT_RUN when it could not
// become the unprivileged player (only root can).
int inChild(const std::function<int()>& body, bool asPlayer = false) {
    const rlim_t limit = (addressSpaceKilobytes() + 1024 * 1024) * rlim_t{1024};
    const pid_t child = fork();
    if (child == 0) {
        const rlimit memory{limit, limit};
        setrlimit(RLIMIT_AS, &memory);
        alarm(10);
        if (asPlayer && (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0))
            _exit(NOT_RUN);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A 16-bit WAV header declaring `declared` bytes of samples, then `held`
// bytes of them; `before` is put between the format and the data, `channels`
// is the channel count's two bytes.
std::string wav(std::uint32_t declared, std::size_t held, const std::string& before = "",
                const std::string& channels = std::string("\1\0", 2)) {
    auto le32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    const std::string format = "fmt " + le32(16) + std::string("\1\0\1\0", 4) + le32(22050) +
                               le32(44100) + std::string("\2\0\20\0", 4);
    const std::string body = "WAVE" + format.substr(0, 10) + channels + format.substr(12) + before +
                             "data" + le32(declared);
    return "RIFF" + le32(static_cast<std::uint32_t>(body.size() + held)) + body +
           std::string(held, '\x10');
}

class HostileFilesTest : public gametest::GameTest {
protected:
    static std::string readAll(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(HostileFilesTest, ResourceFilesThatAreNotWhatTheyClaimAreRefused) {
    enum Loader { SPRITE, SOUND, MUSIC };
    struct Case {
        const char* file;
        Loader loader;
        std::function<void(const char*)> make;
        int result;
        std::string logLine;
    };
    const auto fifo = [](const char* name) { mkfifo(name, 0644); };
    const auto zeros = [](const char* name) { fs::create_symlink("/dev/zero", name); };
    const auto folder = [](const char* name) { fs::create_directory(name); };
    const auto content = [this](std::string bytes) {
        return [this, bytes](const char* name) { writeFile(name, bytes); };
    };
    const std::string list = "LIST" + std::string("\4\0\0\0INFO", 8);
    const Case cases[] = {
        {"pipe.txt", SPRITE, fifo, 1,
         "ResourceManager::loadSprite - Failed to open file 'pipe.txt'"},
        {"zero.txt", SPRITE, zeros, 1,
         "ResourceManager::loadSprite - Failed to open file 'zero.txt'"},
        {"dir.txt", SPRITE, folder, 1,
         "ResourceManager::loadSprite - Failed to open file 'dir.txt'"},
        {"pipe.wav", SOUND, fifo, 1,
         "ResourceManager::loadSound - Unable to load sound 'hostile' from file 'pipe.wav'"},
        {"zero.wav", SOUND, zeros, 1,
         "ResourceManager::loadSound - Unable to load sound 'hostile' from file 'zero.wav'"},
        {"4gb.wav", SOUND, content(wav(0xFFFFFFFF, 980)), 1,
         "ResourceManager::loadSound - Unable to load sound 'hostile' from file '4gb.wav'"},
        // Probing it for formats other than WAV frees memory twice.
        {"probe.wav", SOUND, content("\xff\xff" + std::string(113, '\x1b') + "\xff\xff\xff&"), 1,
         "ResourceManager::loadSound - Unable to load sound 'hostile' from file 'probe.wav'"},
        {"channels.wav", SOUND, content(wav(2000, 2000, "", "||")), 1,
         "ResourceManager::loadSound - Unable to load sound 'hostile' from file 'channels.wav'"},
        {"list.wav", SOUND, content(wav(2000, 2000, list)), 0,
         "ResourceManager::loadSound - Loaded sound with label 'hostile' in 'list.wav' "
         "succesfully"},
        {"pipe-m.wav", MUSIC, fifo, 1,
         "ResourceManager::loadMusic - Unable to load music 'hostile' from file 'pipe-m.wav'"},
        {"4gb-m.wav", MUSIC, content(wav(0xFFFFFFFF, 980)), 1,
         "ResourceManager::loadMusic - Unable to load music 'hostile' from file '4gb-m.wav'"},
        {"cut-m.wav", MUSIC, content(wav(44100, 1000)), 1,
         "ResourceManager::loadMusic - Unable to load music 'hostile' from file 'cut-m.wav'"},
        {"list-m.wav", MUSIC, content(wav(2000, 2000, list)), 0,
         "ResourceManager::loadMusic - Loaded music with label 'hostile' from file 'list-m.wav' "
         "succesfully"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        c.make(c.file);
        const int result = inChild([&c] {
            ResourceManager& resources = ResourceManager::getInstance();
            const int loaded = c.loader == SPRITE  ? resources.loadSprite(c.file, "hostile")
                               : c.loader == SOUND ? resources.loadSound(c.file, "hostile")
                                                   : resources.loadMusic(c.file, "hostile");
            return loaded == 0 ? 0 : 1;
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(countLogged(c.logLine), 1);
    }
}

TEST_F(HostileFilesTest, AFontThatIsAFifoIsRefusedWithoutWaiting) {
    if (!mwtest::hasDisplay())
        GTEST_SKIP() << "no X display";
    mkfifo(mw::FONT_FILE.c_str(), 0644);
    const int result = inChild([] {
        std::freopen("stdout.txt", "w", stdout);
        return mw::DisplayManager::getInstance().startUp() == -1 ? 1 : 0;
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(mwtest::readLines("stdout.txt"), std::vector<std::string>{"Couldn't load font."});
}

TEST_F(HostileFilesTest, AWinNeverLosesOrMisplacesTheOtherBestTimes) {
    if (geteuid() != 0)
        GTEST_SKIP() << "runs cases as the user nobody, which needs root";
    const std::string old = "105\n\n207\n";
    const std::string won = "002\n\n207\n";
    struct Case {
        const char* name;
        // hsdata.txt holds `old` with this mode; with `link` "saves" it is a
        // link to saves/scores.txt, which does, and with "tmp" hsdata.txt.tmp
        // is a link to victim.txt.
        unsigned fileMode, folderMode;
        std::string link;
        // Start-up and the win run as the user nobody, not as the file's owner.
        bool asPlayer;
        std::string after;
        unsigned modeAfter;
        std::string logLine;
        // Everything in the folder afterwards, in order.
        std::string files;
    };
    const Case cases[] = {
        {"unreadable at start-up", 0600, 0777, "", true, old, 0600,
         "MatchLoader::updateFile() -- Highscore data file could not be read at start-up; left it "
         "as it was",
         "hsdata.txt saves"},
        {"read-only", 0444, 0777, "", true, old, 0444,
         "MatchLoader::updateFile() -- Highscore data file is not writable; left it as it was",
         "hsdata.txt saves"},
        {"folder not writable", 0666, 0555, "", true, won, 0666,
         "MatchLoader::updateFile() -- Couldn't create a temporary file beside the highscore data "
         "file (Permission denied); rewriting it in place",
         "hsdata.txt saves"},
        {"mode kept through a link", 0640, 0755, "saves", false, won, 0640, "",
         "hsdata.txt saves saves/scores.txt"},
        {"temporary name linked", 0644, 0755, "tmp", false, won, 0644, "",
         "hsdata.txt hsdata.txt.tmp saves victim.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = m_scratch.path() / c.name;
        fs::create_directories(folder / "saves");
        const fs::path file = folder / (c.link == "saves" ? "saves/scores.txt" : HIGH_SCORE_FILE);
        writeFile(file, old);
        if (c.link == "saves")
            fs::create_symlink("saves/scores.txt", folder / HIGH_SCORE_FILE);
        if (c.link == "tmp") {
            writeFile(folder / "victim.txt", "keep\n");
            fs::create_symlink("victim.txt", folder / "hsdata.txt.tmp");
        }
        chmod(file.c_str(), c.fileMode);
        chmod(folder.c_str(), c.folderMode);
        const int result = inChild(
            [&folder] {
                fs::current_path(folder);
                MatchLoader::getInstance().startUp();
                MatchLoader::getInstance().startMatch(1);
                mw::WorldManager::getInstance().update();
                RoundSystem* referee = gametest::firstOf<RoundSystem>();
                TestAccess::timer(*referee)->setTimeLeft(88);
                MatchLoader::getInstance().updateFile(TestAccess::timer(*referee), referee);
                return 0;
            },
            c.asPlayer);
        chmod(folder.c_str(), 0755);
        EXPECT_EQ(result, 0) << (result == NOT_RUN ? "could not become the user nobody" : "");
        EXPECT_EQ(readAll(folder / HIGH_SCORE_FILE), c.after);
        EXPECT_EQ(static_cast<unsigned>(fs::status(file).permissions()), c.modeAfter);
        EXPECT_EQ(fs::is_symlink(folder / HIGH_SCORE_FILE), c.link == "saves");
        if (!c.logLine.empty()) {
            EXPECT_EQ(countLogged(c.logLine), 1);
        }
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.insert(entry.path().lexically_relative(folder).string());
        std::string files;
        for (const std::string& name : names)
            files += (files.empty() ? "" : " ") + name;
        EXPECT_EQ(files, c.files);
        if (c.link == "tmp") {
            EXPECT_EQ(readAll(folder / "victim.txt"), "keep\n");
        }
    }
}

} // namespace
