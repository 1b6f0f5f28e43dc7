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

// The body's result, -1 when the child died, or NOT_RUN when it could not
// become the unprivileged player (only root can).
int inChild(const std::function<int()>& body, bool asPlayer = false) {
    rlim_t pages = 0; // the address space in use
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = pages * sysconf(_SC_PAGESIZE) + (rlim_t{1} << 30);
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

std::string littleEndian(std::uint32_t value, int bytes = 4) {
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += static_cast<char>(value >> 8 * i);
    return text;
}

// A WAV format chunk's body at 22050 frames a second.
std::string format(unsigned encoding = 1, unsigned channels = 1, unsigned bits = 16) {
    return littleEndian(encoding, 2) + littleEndian(channels, 2) + littleEndian(22050) +
           littleEndian(44100) + littleEndian(2, 2) + littleEndian(bits, 2);
}

// A LIST chunk that holds "INFO" and claims `length` bytes.
std::string listChunk(std::uint32_t length = 4) {
    return "LIST" + littleEndian(length) + "INFO";
}

// A LIST chunk of odd length, five bytes, then its pad byte when `padded`.
std::string oddListChunk(bool padded) {
    return "LIST" + littleEndian(5) + "INFOx" + std::string(padded ? 1 : 0, '\0');
}

// A WAV file declaring `declared` bytes of samples, then `held` bytes of them;
// `before` is put between the format and the data.
std::string wav(std::uint32_t declared, std::size_t held, const std::string& before = "",
                const std::string& fmt = format()) {
    const std::string body =
        "WAVEfmt " + littleEndian(16) + fmt + before + "data" + littleEndian(declared);
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(body.size() + held)) + body +
           std::string(held, '\x10');
}

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using HostileFilesTest = gametest::GameTest;

TEST_F(HostileFilesTest, ResourceFilesThatAreNotWhatTheyClaimAreRefused) {
    const auto fifo = [](const char* name) { mkfifo(name, 0644); };
    const auto zeros = [](const char* name) { fs::create_symlink("/dev/zero", name); };
    const auto folder = [](const char* name) { fs::create_directory(name); };
    const auto content = [this](std::string bytes) {
        return [this, bytes](const char* name) { writeFile(name, bytes); };
    };
    enum { SPRITE, SOUND, MUSIC };
    // What each loader logs for a file it refuses, and for one it loads; @ is the file.
    const std::string refused[] = {
        "ResourceManager::loadSprite - Failed to open file '@'",
        "ResourceManager::loadSound - Unable to load sound 'hostile' from file '@'",
        "ResourceManager::loadMusic - Unable to load music 'hostile' from file '@'"};
    const std::string loaded[] = {
        "", "ResourceManager::loadSound - Loaded sound with label 'hostile' in '@' succesfully",
        "ResourceManager::loadMusic - Loaded music with label 'hostile' from file '@' succesfully"};
    // Probing "probe.wav" for formats other than WAV frees memory twice.
    const std::tuple<const char*, int, std::function<void(const char*)>, bool> cases[] = {
        {"gone.txt", SPRITE, [](const char*) {}, false},
        {"pipe.txt", SPRITE, fifo, false},
        {"zero.txt", SPRITE, zeros, false},
        {"dir.txt", SPRITE, folder, false},
        {"gone.wav", SOUND, [](const char*) {}, false},
        {"pipe.wav", SOUND, fifo, false},
        {"zero.wav", SOUND, zeros, false},
        {"4gb.wav", SOUND, content(wav(0xFFFFFFFF, 980)), false},
        {"probe.wav", SOUND, content("\xff\xff" + std::string(113, '\x1b') + "\xff\xff\xff&"),
         false},
        {"channels.wav", SOUND, content(wav(2000, 2000, "", format(1, 0x7C7C))), false},
        {"list.wav", SOUND, content(wav(2000, 2000, listChunk())), true},
        {"padded.wav", SOUND, content(wav(2000, 2000, oddListChunk(true))), true},
        {"float.wav", SOUND, content(wav(2000, 2000, "", format(3, 1, 32))), true},
        {"ext.wav", SOUND, content(wav(2000, 2000, "", format(0xFFFE, 8, 16))), false},
        {"gone-m.wav", MUSIC, [](const char*) {}, false},
        {"pipe-m.wav", MUSIC, fifo, false},
        {"4gb-m.wav", MUSIC, content(wav(0xFFFFFFFF, 980)), false},
        {"cut-m.wav", MUSIC, content(wav(44100, 1000)), false},
        {"list-m.wav", MUSIC, content(wav(2000, 2000, listChunk())), true},
        {"float-m.wav", MUSIC, content(wav(2000, 2000, "", format(3, 1, 64))), true},
    };
    for (const auto& [file, loader, make, loads] : cases) {
        make(file);
        const int result = inChild([file, loader] {
            ResourceManager& resources = ResourceManager::getInstance();
            return loader == SPRITE  ? resources.loadSprite(file, "hostile")
                   : loader == SOUND ? resources.loadSound(file, "hostile")
                                     : resources.loadMusic(file, "hostile");
        });
        EXPECT_EQ(result, loads ? 0 : 255) << file; // -1 exits as 255
        std::string line = loads ? loaded[loader] : refused[loader];
        EXPECT_EQ(countLogged(line.replace(line.find('@'), 1, file)), 1) << line;
    }
}

TEST_F(HostileFilesTest, OnlyWholeWavFilesOfOneToEightChannelsAndWholeSamplesPassTheHeaderCheck) {
    const std::tuple<std::string, bool> cases[] = {
        {wav(2000, 2000), true},
        {wav(2000, 2000, listChunk()), true},
        {wav(2000, 2000, "", format(1, 1, 8)), true},
        {wav(2000, 2000, "", format(1, 1, 24)), true},
        {wav(2000, 2000, "", format(1, 1, 32)), true},
        {wav(2000, 2000, "", format(0xFFFE, 8, 16)), true}, // extensible
        {wav(2000, 2000, "", format(3, 1, 32)), true},      // floating point
        {wav(2000, 2000, "", format(3, 1, 64)), true},
        {wav(2000, 2000, "", format(3, 1, 16)), false},
        {wav(2000, 2000, oddListChunk(true)), true},
        {wav(2000, 2000, oddListChunk(false)), false}, // the decoder skips a pad byte
        {wav(2000, 2000, "", format(1, 0, 16)), false},
        {wav(2000, 2000, "", format(1, 9, 16)), false},
        {wav(2000, 2000, "", format(1, 1, 9)), false},
        {wav(2000, 2000, "", format(1, 1, 0x110)), false},
        {wav(0x10000, 2000), false}, // more samples declared than held
        {wav(2000, 1999), false},
        {wav(2000, 2000, listChunk(0x01000004)), false},
        {"RIFF" + littleEndian(4) + "WAVEdata" + littleEndian(0), false}, // no format first
    };
    int count = 0;
    for (const auto& [bytes, complete] : cases) {
        writeFile("h.wav", bytes);
        EXPECT_EQ(mw::ResourceManager::isCompleteWav("h.wav"), complete) << "case " << ++count;
    }
}

TEST_F(HostileFilesTest, AWinNeverLosesOrMisplacesTheOtherBestTimes) {
    if (geteuid() != 0)
        GTEST_SKIP() << "runs cases as the user nobody, which needs root";
    const std::string old = "105\n\n207\n", won = "002\n\n207\n";
    const std::string unreadable = "MatchLoader::updateFile() -- Highscore data file could not be "
                                   "read at start-up; left it as it was";
    const std::string readOnly =
        "MatchLoader::updateFile() -- Highscore data file is not writable; left it as it was";
    const std::string noTemporary = "MatchLoader::updateFile() -- Couldn't create a temporary file "
                                    "beside the highscore data file (Permission denied); "
                                    "rewriting it in place";
    const std::string noSaving = "MatchLoader::startUp() -- Best times cannot be saved: "
                                 "'hsdata.txt' is not writable (Permission denied)";
    const std::string fifoLock = "MatchLoader::updateFile() -- Couldn't lock 'hsdata.txt.lock' (a "
                                 "FIFO, not a regular file); writing without it";
    // hsdata.txt holds `old` with the file mode; with link "saves" it is a link to
    // saves/scores.txt, which does, with "tmp" hsdata.txt.tmp is a link to victim.txt,
    // and with "lock" hsdata.txt.lock is a FIFO. The first three start up and win as
    // the user nobody, not as the file's owner.
    const struct {
        const char* name;
        unsigned fileMode, folderMode;
        bool saveable;                           // else the start says that nothing can be saved
        std::string link, after, logLine, files; // files: all in the folder afterwards
    } cases[] = {
        {"unreadable", 0600, 0777, false, "", old, unreadable, "hsdata.txt saves"},
        {"read-only", 0444, 0777, false, "", old, readOnly, "hsdata.txt saves"},
        {"folder not writable", 0666, 0555, true, "", won, noTemporary, "hsdata.txt saves"},
        {"mode kept through a link", 0640, 0755, true, "saves", won, "",
         "hsdata.txt saves saves/scores.txt"},
        {"temporary name linked", 0644, 0755, true, "tmp", won, "",
         "hsdata.txt hsdata.txt.tmp saves victim.txt"},
        {"lock file a FIFO", 0644, 0755, true, "lock", won, fifoLock,
         "hsdata.txt hsdata.txt.lock saves"},
    };
    for (const auto& c : cases) {
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
        if (c.link == "lock")
            mkfifo((folder / HIGH_SCORE_LOCK_FILE).c_str(), 0644);
        chmod(file.c_str(), c.fileMode);
        chmod(folder.c_str(), c.folderMode);
        const int unsavable = countLogged(noSaving);
        const int result = inChild(
            [&folder] {
                fs::current_path(folder);
                MatchLoader::getInstance().startUp();
                MatchLoader::getInstance().startMatch(1);
                mw::WorldManager::getInstance().update();
                Timer* clock = gametest::firstOf<Timer>();
                clock->setTimeLeft(88);
                MatchLoader::getInstance().updateFile(clock, gametest::firstOf<RoundSystem>());
                return 0;
            },
            c.link.empty());
        chmod(folder.c_str(), 0755);
        EXPECT_EQ(result, 0) << (result == NOT_RUN ? "could not become the user nobody" : "");
        EXPECT_EQ(readAll(folder / HIGH_SCORE_FILE), c.after);
        EXPECT_EQ(static_cast<unsigned>(fs::status(file).permissions()), c.fileMode);
        EXPECT_EQ(fs::is_symlink(folder / HIGH_SCORE_FILE), c.link == "saves");
        EXPECT_EQ(countLogged(c.logLine), c.logLine.empty() ? 0 : 1);
        EXPECT_EQ(countLogged(noSaving) - unsavable, c.saveable ? 0 : 1);
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.insert(entry.path().lexically_relative(folder).string());
        std::string files;
        for (const std::string& name : names)
            files += (files.empty() ? "" : " ") + name;
        EXPECT_EQ(files, c.files);
        EXPECT_TRUE(c.link != "tmp" || readAll(folder / "victim.txt") == "keep\n");
    }
}

} // namespace
