#include "support/GameCopy.h"
#include "support/GameSupport.h"

#include "game/BestTimes.h"
#include "game/RoundSystem.h"
#include "game/TitleScreen.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <regex>
#include <set>

#include <dlfcn.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// While set, fdopen for writing and open_memstream fail as when memory runs out.
static bool s_failFdopenForWriting = false;
extern "C" FILE* fdopen(int fd, const char* mode) {
    static const auto real =
        reinterpret_cast<FILE* (*)(int, const char*)>(dlsym(RTLD_NEXT, "fdopen"));
    return s_failFdopenForWriting && mode[0] == 'w' ? (errno = ENOMEM, nullptr) : real(fd, mode);
}
extern "C" FILE* open_memstream(char** buffer, size_t* size) {
    static const auto real =
        reinterpret_cast<FILE* (*)(char**, size_t*)>(dlsym(RTLD_NEXT, "open_memstream"));
    return s_failFdopenForWriting ? (errno = ENOMEM, nullptr) : real(buffer, size);
}

// While set, ftruncate kills the process instead.
static bool s_killAtTruncate = false;
extern "C" int ftruncate(int fd, off_t length) {
    static const auto real = reinterpret_cast<int (*)(int, off_t)>(dlsym(RTLD_NEXT, "ftruncate"));
    if (s_killAtTruncate)
        raise(SIGKILL);
    return real(fd, length);
}

namespace {

namespace fs = std::filesystem;
using namespace gametest;

TEST(BestTimesTime, StoredTimesAreAMinuteDigitAndUpToTwoSecondDigits) {
    // The faster of two; on a tie the first; what is not a time is slower than any time.
    const struct {
        const char *a, *b, *faster;
    } pairs[] = {{"105", "207", "105"},    {"207", "105", "105"},  {"059", "100", "059"},
                 {"430", "429", "429"},    {"105", "065", "105"},  {"065", "105", "065"},
                 {"15", "110", "15"},      {"19", "105", "105"},   {"105", "abc", "105"},
                 {"abc", "105", "105"},    {"1", "430", "430"},    {"430", "1x", "430"},
                 {"x05", "430", "430"},    {"430", " 05", "430"},  {"430", "-05", "430"},
                 {"430", "", "430"},       {"1", "x", "1"},        {"10x", "059", "059"},
                 {"1234", "430", "430"},   {"430", "0000", "430"}, {"1234", "x", "1234"},
                 {"430", "105abc", "430"}, {"01", "002", "01"}};
    for (const auto& p : pairs)
        EXPECT_EQ(BestTimes::fasterTime(p.a, p.b), p.faster) << p.a << " vs " << p.b;
    const struct {
        int round, timeLeft;
        const char* stored;
    } wins[] = {{1, 88, "002"}, {1, 81, "009"}, {1, 80, "010"}, {1, 0, "130"},   {2, 60, "200"},
                {2, 53, "207"}, {3, 0, "430"},  {4, 0, "430"},  {4, -25, "430"}, {1, 95, "000"}};
    for (const auto& w : wins)
        EXPECT_EQ(BestTimes::storedTime(RoundSystem::winningSeconds(w.round, w.timeLeft)), w.stored)
            << w.round << w.timeLeft;
    EXPECT_EQ(BestTimes::storedTime(11 * 60), "959"); // one digit of minutes at most
}

class BestTimesTest : public GameTest {
protected:
    // Copies are forked: a lock an audio thread held at the fork would stay held in a copy.
    bool withSounds() const override { return false; }

    static std::string shownTimes() {
        const BestTimes& loader = BestTimes::getInstance();
        return loader.getHighScore(1) + " " + loader.getHighScore(2) + " " + loader.getHighScore(3);
    }

    // Files beside the best times that a rewrite left behind, and of them the rewrite's own.
    static Lines strayFiles() {
        Lines names;
        for (const fs::directory_entry& entry : fs::directory_iterator("."))
            if (const std::string name = entry.path().filename().string();
                name.starts_with("hsdata.txt") && name != "hsdata.txt")
                names.push_back(name);
        std::ranges::sort(names);
        return names;
    }
    static long temporaries() {
        return std::ranges::count_if(strayFiles(), [](const std::string& name) {
            return std::regex_match(name, std::regex("hsdata\\.txt\\.tmp[0-9]{1,10}"));
        });
    }

    void win(int opponent, int timeLeft) {
        startFight(opponent);
        clock().setTimeLeft(timeLeft);
        MatchLoader::getInstance().updateFile(&clock(), m_rounds);
    }
    // The same win by TKO as the round system hears of it, which announces it.
    void winByTko(int opponent, int timeLeft) {
        startFight(opponent);
        clock().setTimeLeft(timeLeft);
        m_rounds->eventHandler(EventGameOver(WON_BY_TKO));
    }
    // The best times shown, the messages, and "hsdata.txt" with its line ends as '/'.
    static std::string seen() {
        std::string text = shownTimes() + " |";
        for (const std::string& message : messages())
            text += " " + message + ";";
        std::string content = highScoreFile();
        std::ranges::replace(content, '\n', '/');
        return text + " | " + content;
    }
};

TEST_F(BestTimesTest, ReadsUpToThreeEntriesAndAWinRewritesThemAll) {
    const std::string longLine = "2" + std::string(254, 'x'); // what one read takes of a line
    const std::string digits(255, '7');
    for (const auto& [before, shown, opponent, timeLeft, after] :
         {std::tuple{std::string("(none)"), "-:-- -:-- -:--", 3, 30, std::string("\n\n100\n")},
          {"\n105\n\n", "-:-- 1:05 -:--", 1, 88, "002\n105\n\n"},
          {"105\n207", "1:05 2:07 -:--", 2, 88, "105\n002\n\n"},
          {"000\n", "0:00 -:-- -:--", 1, 88, "000\n\n\n"},
          {"105\n110\n120\n130\n", "1:05 1:10 1:20", 3, 60, "105\n110\n030\n"},
          {"abc\n1\n7x\n", "-:-- -:-- -:--", 2, 80, "abc\n010\n7x\n"},
          {"15\n\n\n", "1:5 -:-- -:--", 1, 28, "102\n\n\n"},
          {"105\r\n\r\n207\r\n", "1:05 -:-- 2:07", 3, 81, "105\n\n009\n"},
          {"105abc\n1:05\n20 7\n", "-:-- -:-- -:--", 1, 0, "130\n1:05\n20 7\n"},
          {longLine + "345\n100\n", "-:-- 3:45 1:00", 3, 0, longLine + "\n345\n100\n"},
          // A byte-order mark is no part of the first entry; four digits or more are no time.
          {"\xEF\xBB\xBF"
           "105\n\n207\n",
           "1:05 -:-- 2:07", 2, 60, "105\n030\n207\n"},
          {"\xEF\xBB\xBF\n105\n", "-:-- 1:05 -:--", 1, 60, "030\n105\n\n"},
          {"1234\n00000\n0123456789\n", "-:-- -:-- -:--", 2, 60, "1234\n030\n0123456789\n"},
          {std::string(100'000'000, '7'), "-:-- -:-- -:--", 1, 88,
           "002\n" + digits + "\n" + digits + "\n"}}) {
        const std::string failure = "MatchLoader::startUp() -- Couldn't open highscore data file!";
        const int failures = countLogged(failure);
        useHighScoreFile(before);
        const std::string trace = before.substr(0, 20);
        EXPECT_EQ(countLogged(failure) - failures, before == "(none)" ? 1 : 0);
        EXPECT_EQ(shownTimes(), shown) << trace;
        win(opponent, timeLeft);
        EXPECT_EQ(highScoreFile(), after) << trace;
        EXPECT_EQ(strayFiles(), Lines{}) << trace;
    }
    EXPECT_EQ(MatchLoader::getInstance().getHighScore(0) +
                  MatchLoader::getInstance().getHighScore(4),
              "-:---:--");
}

TEST_F(BestTimesTest, AFileThatCannotBeReplacedIsLeftAsItWasAndTheNewTimeKeptInMemory) {
    const std::string failed = "MatchLoader::updateFile() -- Couldn't open highscore data file!";
    const fs::path file = m_scratch.path() / "hsdata.txt";
    // Tests run as root, whom permissions do not stop: a directory in the way does.
    useHighScoreFile("105\n\n207\n");
    fs::remove(file);
    fs::create_directories(file / "keep");
    win(1, 88);
    EXPECT_EQ(countLogged(failed), 1);
    EXPECT_EQ(shownTimes(), "0:02 -:-- 2:07");
    EXPECT_TRUE(fs::is_directory(file / "keep"));
    fs::remove_all(file);
    win(2, 60); // once the way is free every kept time is written
    EXPECT_EQ(highScoreFile(), "002\n030\n207\n");
    // No stream to write through (as when memory runs out): nothing lost, nothing left open.
    const auto openDescriptors = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openDescriptors();
    s_failFdopenForWriting = true;
    win(3, 60);
    s_failFdopenForWriting = false;
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(countLogged(failed), 2);
    EXPECT_EQ(highScoreFile(), "002\n030\n207\n");
    EXPECT_EQ(strayFiles(), Lines{});
    fs::remove(file);
    ASSERT_EQ(mkfifo(file.c_str(), 0644), 0);
    MatchLoader::getInstance().startUp();
    win(1, 88);
    EXPECT_EQ(countLogged("MatchLoader::startUp() -- Couldn't open highscore data file!"), 2);
    EXPECT_EQ(countLogged("MatchLoader::updateFile() -- Highscore data file could not be read at "
                          "start-up; left it as it was"),
              1);
    EXPECT_TRUE(fs::is_fifo(file));
    EXPECT_EQ(shownTimes(), "0:02 -:-- -:--");
}

BestTimes::WriteStage killAt;
int passesBeforeKill;

TEST_F(BestTimesTest, AStopDuringTheRewriteLeavesTheOldFileWholeAndNoLitter) {
    using Stage = BestTimes::WriteStage;
    // A win of 0:30 against opponent 1 in a child killed at the stage's nth passing (never for 0).
    for (const auto& [stage, n, killed, after, cleaner] :
         {std::tuple{Stage::EntryWritten, 1, true, "105\n\n207\n", "start"},
          {Stage::EntryWritten, 2, true, "105\n\n207\n", "rewrite"},
          {Stage::BeforeRename, 1, true, "105\n\n207\n", "start"},
          {Stage::BeforeRename, 0, false, "030\n\n207\n", "rewrite"}}) {
        useHighScoreFile("105\n\n207\n");
        // Names that a rewrite never makes are not its to remove.
        writeFile("hsdata.txt.tmp", "keep\n");
        writeFile("hsdata.txt.tmp12x", "keep\n");
        GameCopy game([&] {
            killAt = stage;
            passesBeforeKill = n;
            TestAccess::setWriteObserver([](Stage now) {
                if (now == killAt && --passesBeforeKill == 0)
                    raise(SIGKILL);
            });
            win(1, 60);
            return std::string("done");
        });
        EXPECT_EQ(game.heard(), killed ? "(ended)" : "done") << n;
        EXPECT_EQ(game.finish(), !killed) << n;
        EXPECT_EQ(highScoreFile(), after) << n;
        EXPECT_EQ(temporaries(), killed ? 1 : 0) << n;
        if (cleaner == std::string("start"))
            MatchLoader::getInstance().startUp();
        else
            win(2, 60);
        EXPECT_EQ(strayFiles(), (Lines{"hsdata.txt.tmp", "hsdata.txt.tmp12x"})) << n << cleaner;
        fs::remove("hsdata.txt.tmp");
        fs::remove("hsdata.txt.tmp12x");
    }
}

// Where only the file can be written the rewrite is made in place: a write cut short is
// retried every frame until a SIGKILL.
TEST_F(BestTimesTest, AWinInAHostileFolderLeavesOldOrNewTimesWholeWhateverStopsIt) {
    if (geteuid() != 0)
        GTEST_SKIP() << "plays as the user nobody, which needs root";
    enum Stop { NONE, CUT_SHORT, KILLED_COLLECTING, KILLED_BEFORE_CUT };
    const std::string old = "105\n\n207\n", won = "002\n\n207\n", times = "130\n200\n300\n";
    const std::string u = "MatchLoader::updateFile() -- ";
    const std::string unreadable = u + "Highscore data file could not be read at start-up; left "
                                       "it as it was",
                      readOnly = u + "Highscore data file is not writable; left it as it was",
                      inPlace = u + "Couldn't create a temporary file beside the highscore data "
                                    "file (Permission denied); rewriting it in place",
                      fifoLock = u + "Couldn't lock 'hsdata.txt.lock' (a FIFO, not a regular "
                                     "file); writing without it";
    const std::string noSaving = "MatchLoader::startUp() -- Best times cannot be saved: "
                                 "'hsdata.txt' is not writable (Permission denied)";
    // With link "saves" hsdata.txt is a link to saves/scores.txt, with "tmp" hsdata.txt.tmp
    // is a link to victim.txt, and with "lock" hsdata.txt.lock is a FIFO; without a link
    // the user nobody plays. A write cut short cuts the log's lines too.
    const struct {
        const char* name;
        unsigned fileMode, folderMode;
        std::string link;
        Stop stop;
        bool saveable; // else the start says that nothing can be saved
        std::string before, after, logLine, files, shown; // shown: by a start afterwards
    } cases[] = {
        {"unreadable", 0600, 0777, "", NONE, false, old, old, unreadable, "hsdata.txt saves",
         "1:05 -:-- 2:07"},
        {"read-only", 0444, 0777, "", NONE, false, old, old, readOnly, "hsdata.txt saves",
         "1:05 -:-- 2:07"},
        {"folder not writable", 0666, 0555, "", NONE, true, old, won, inPlace, "hsdata.txt saves",
         "0:02 -:-- 2:07"},
        {"mode kept through a link", 0640, 0755, "saves", NONE, true, old, won, "",
         "hsdata.txt saves saves/scores.txt", "0:02 -:-- 2:07"},
        {"temporary name linked", 0644, 0755, "tmp", NONE, true, old, won, "",
         "hsdata.txt hsdata.txt.tmp saves victim.txt", "0:02 -:-- 2:07"},
        {"lock file a FIFO", 0644, 0755, "lock", NONE, true, old, won, fifoLock,
         "hsdata.txt hsdata.txt.lock saves", "0:02 -:-- 2:07"},
        {"cut short", 0666, 0555, "", CUT_SHORT, true, times, times, "", "hsdata.txt saves",
         "1:30 2:00 3:00"},
        {"killed collecting", 0666, 0555, "", KILLED_COLLECTING, true, times, times, inPlace,
         "hsdata.txt saves", "1:30 2:00 3:00"},
        {"killed before the cut", 0666, 0555, "", KILLED_BEFORE_CUT, true, times + "400\n",
         "002\n200\n300\n400\n", inPlace, "hsdata.txt saves", "0:02 2:00 3:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = m_scratch.path() / c.name;
        fs::create_directories(folder / "saves");
        const fs::path file = folder / (c.link == "saves" ? "saves/scores.txt" : "hsdata.txt");
        writeFile(file, c.before);
        if (c.link == "saves")
            fs::create_symlink("saves/scores.txt", folder / "hsdata.txt");
        if (c.link == "tmp") {
            writeFile(folder / "victim.txt", "keep\n");
            fs::create_symlink("victim.txt", folder / "hsdata.txt.tmp");
        }
        if (c.link == "lock")
            mkfifo((folder / "hsdata.txt.lock").c_str(), 0644);
        chmod(file.c_str(), c.fileMode);
        chmod(folder.c_str(), c.folderMode);
        const int unsavable = countLogged(noSaving), said = countLogged(c.logLine);
        GameCopy game([&] {
            if (c.link.empty() &&
                (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                return std::string("could not become the user nobody");
            fs::current_path(folder);
            MatchLoader::getInstance().startUp();
            if (c.stop == CUT_SHORT) {
                // Every write ends at a file's sixth byte, as on a disk full there.
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit sixBytes{6, 6};
                setrlimit(RLIMIT_FSIZE, &sixBytes);
            }
            if (c.stop == KILLED_COLLECTING)
                TestAccess::setWriteObserver([](BestTimes::WriteStage) { raise(SIGKILL); });
            s_killAtTruncate = c.stop == KILLED_BEFORE_CUT;
            winByTko(1, 88);
            m_driver.advance(3);
            if (c.stop == NONE)
                return std::string("done");
            GameCopy::tell(seen());
            GameCopy::awaitGo();
            return std::string("not killed");
        });
        if (c.stop == CUT_SHORT) {
            EXPECT_EQ(game.heard(), "0:02 2:00 3:00 | You won by TKO!; New best: 0:02 (not saved "
                                    "yet); | 130/200/300/");
            kill(game.pid(), SIGKILL);
        }
        EXPECT_EQ(game.heard(), c.stop == NONE ? "done" : "(ended)");
        EXPECT_EQ(game.finish(), c.stop == NONE);
        chmod(folder.c_str(), 0755);
        EXPECT_EQ(highScoreFile(folder / "hsdata.txt"), c.after);
        EXPECT_EQ(static_cast<unsigned>(fs::status(file).permissions()), c.fileMode);
        EXPECT_EQ(fs::is_symlink(folder / "hsdata.txt"), c.link == "saves");
        EXPECT_EQ(countLogged(c.logLine) - said, c.logLine.empty() ? 0 : 1);
        EXPECT_EQ(countLogged(noSaving) - unsavable, c.saveable ? 0 : 1);
        fs::current_path(folder);
        MatchLoader::getInstance().startUp();
        EXPECT_EQ(shownTimes(), c.shown);
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.insert(entry.path().lexically_relative(folder).string());
        std::string files;
        for (const std::string& name : names)
            files += (files.empty() ? "" : " ") + name;
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(highScoreFile(folder / "victim.txt"), c.link == "tmp" ? "keep\n" : "(none)");
        fs::current_path(m_scratch.path());
    }
}

TEST_F(BestTimesTest, TwoCopiesInOneFolderKeepEveryFasterTime) {
    const struct {
        int firstOpponent, firstTimeLeft, secondOpponent, secondTimeLeft;
        const char *first, *second, *after; // what each copy then sees, "hsdata.txt" after both
    } cases[] = {
        // The slower win written last is no new best.
        {1, 80, 1, 30, "0:10 -:-- 2:07 | You won by TKO!; New best: 0:10; | 010//207/",
         "0:10 -:-- 2:07 | You won by TKO!; | 010//207/", "010\n\n207\n"},
        {1, 30, 1, 80, "1:00 -:-- 2:07 | You won by TKO!; New best: 1:00; | 100//207/",
         "0:10 -:-- 2:07 | You won by TKO!; New best: 0:10; | 010//207/", "010\n\n207\n"},
    };
    for (const auto& c : cases) {
        useHighScoreFile("105\n\n207\n");
        const auto copy = [this](int opponent, int timeLeft) {
            return [this, opponent, timeLeft] {
                MatchLoader::getInstance().startUp();
                GameCopy::tell("started");
                GameCopy::awaitGo();
                winByTko(opponent, timeLeft);
                GameCopy::tell(seen());
                GameCopy::awaitGo();
                MatchLoader::getInstance().clearWorld();
                new TitleScreen;
                return shownTimes();
            };
        };
        GameCopy first(copy(c.firstOpponent, c.firstTimeLeft));
        GameCopy second(copy(c.secondOpponent, c.secondTimeLeft));
        EXPECT_EQ(first.heard() + " " + second.heard(), "started started");
        first.go();
        EXPECT_EQ(first.heard(), c.first);
        second.go();
        EXPECT_EQ(second.heard(), c.second);
        for (GameCopy* game : {&first, &second}) { // a new title shows the last writer's times
            game->go();
            EXPECT_EQ(game->heard(), std::string(c.second, 14));
        }
        EXPECT_TRUE(first.finish());
        EXPECT_TRUE(second.finish());
        EXPECT_EQ(highScoreFile(), c.after);
        EXPECT_EQ(strayFiles(), Lines{});
    }
}

// Another copy holds the lock mid-rewrite; had the game ended meanwhile, the log and
// standard error would have named the time and the holder.
TEST_F(BestTimesTest, AWinWhileAnotherCopyHoldsTheLockIsWrittenOnceItIsFree) {
    useHighScoreFile("105\n\n207\n");
    GameCopy other([this] {
        TestAccess::setWriteObserver([](BestTimes::WriteStage stage) {
            if (stage == BestTimes::WriteStage::BeforeRename) {
                GameCopy::tell("holding");
                GameCopy::awaitGo();
            }
        });
        win(3, 60);
        return seen();
    });
    ASSERT_EQ(other.heard(), "holding");
    EXPECT_EQ(temporaries(), 1);
    MatchLoader::getInstance().startUp(); // a start does not take the live writer's file
    EXPECT_EQ(temporaries(), 1);
    const auto start = std::chrono::steady_clock::now();
    winByTko(1, 88);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    const std::string unsaved = "0:02 -:-- 2:07 | You won by TKO!; New best: 0:02 (not saved yet); "
                                "| 105//207/";
    EXPECT_EQ(seen(), unsaved);
    m_driver.advance(3);
    EXPECT_EQ(seen(), unsaved);
    EXPECT_EQ(BestTimes::getInstance().saveTimes(), -1); // not yet: the lock is still held
    const std::string notSaved = "Best time 0:02 against 'Zaz Eruz Arizi' was not saved: "
                                 "'hsdata.txt.lock' is held by process " +
                                 std::to_string(other.pid());
    for (const std::string holder : {"", ", which is stopped"}) {
        kill(other.pid(), holder.empty() ? SIGCONT : SIGSTOP);
        testing::internal::CaptureStderr();
        BestTimes::getInstance().saveBeforeExit();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said, "marrowick: " + notSaved + holder + "\n");
        EXPECT_EQ(countLogged("MatchLoader::saveBeforeExit() -- " + notSaved + holder), 1);
    }
    kill(other.pid(), SIGCONT);
    EXPECT_EQ(seen(), unsaved);
    other.go();
    EXPECT_EQ(other.heard(), "1:05 -:-- 0:30 | | 105//030/");
    EXPECT_TRUE(other.finish());
    m_driver.advance();
    EXPECT_EQ(seen(), "0:02 -:-- 0:30 | You won by TKO!; New best: 0:02; | 002//030/");
    EXPECT_EQ(strayFiles(), Lines{});
}

// Mounts 64 KiB on folder in a mount namespace of this process's own (and a user namespace,
// where it is not root); why it could not, or "".
std::string mountSmallFileSystem(const char* folder) {
    if (unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = getuid();
        const gid_t gid = getgid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("unshare: ") + std::strerror(errno);
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    // Nothing mounted here reaches the test's own namespace.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("private mounts: ") + std::strerror(errno);
    if (mount("tmpfs", folder, "tmpfs", 0, "size=64k") != 0)
        return std::string("mount: ") + std::strerror(errno);
    return "";
}

void fillFileSystem() {
    std::ofstream filler("filler");
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size()).flush()) {
    }
}

// Written on the title or at shut-down as soon as there is room; one still refused at the end is
// named on standard error.
TEST_F(BestTimesTest, ATimeThatAFullDiskRefusesIsAnnouncedAsUnsavedAndWrittenLater) {
    const std::string full = "MatchLoader::updateFile() -- Couldn't write highscore data file (No "
                             "space left on device); the times are kept and written later";
    fs::create_directory(m_scratch.path() / "full");
    // The copy opens the log again, which a live process holding it would refuse.
    mw::LogManager::getInstance().shutDown();
    GameCopy game([&] {
        const std::string failed = mountSmallFileSystem("full");
        if (!failed.empty())
            return "cannot mount a file system: " + failed;
        fs::current_path("full");
        std::ofstream("hsdata.txt") << "105\n\n207\n";
        MatchLoader::getInstance().startUp();
        const auto tell = [&] {
            GameCopy::tell(seen() + " | " + std::to_string(countLogged(full)) + " | " +
                           std::to_string(strayFiles().size()));
        };
        // The log is closed at the first failure, as it is after the game's shut-down.
        fillFileSystem();
        mw::LogManager::getInstance().shutDown();
        winByTko(1, 88);
        tell();
        fs::current_path(m_scratch.path());
        mw::LogManager::getInstance().startUp();
        fs::current_path("full");
        m_driver.advance(3);
        tell();
        winByTko(3, 60);
        MatchLoader::getInstance().clearWorld();
        new TitleScreen;
        m_driver.advance(2);
        tell();
        fs::remove("filler");
        m_driver.advance();
        tell();
        fillFileSystem();
        win(2, 85);
        fs::remove("filler");
        MatchLoader::getInstance().shutDown();
        tell();
        MatchLoader::getInstance().startUp();
        fillFileSystem();
        win(3, 85);
        testing::internal::CaptureStderr();
        BestTimes::getInstance().saveBeforeExit();
        std::string said = testing::internal::GetCapturedStderr();
        std::replace(said.begin(), said.end(), '\n', '/');
        return said + " " +
               std::to_string(countLogged("MatchLoader::saveBeforeExit() -- Best time 0:05 "
                                          "against 'Vez Idaze Zeradi' was not saved: writing "
                                          "'hsdata.txt' failed (No space left on device)"));
    });
    const std::string first = game.heard();
    if (first.starts_with("cannot mount"))
        GTEST_SKIP() << first;
    EXPECT_EQ(first, "0:02 -:-- 2:07 | You won by TKO!; New best: 0:02 (not saved yet); | "
                     "105//207/ | 0 | 0");
    // A failure is logged once until a write succeeds.
    for (const char* step :
         {"0:02 -:-- 2:07 | You won by TKO!; New best: 0:02 (not saved yet); | 105//207/ | 1 | 0",
          "0:02 -:-- 0:30 | | 105//207/ | 1 | 0", "0:02 -:-- 0:30 | | 002//030/ | 1 | 0",
          "0:02 0:05 0:30 | | 002/005/030/ | 2 | 0"})
        EXPECT_EQ(game.heard(), step);
    EXPECT_EQ(game.heard(), "marrowick: Best time 0:05 against 'Vez Idaze Zeradi' was not saved: "
                            "writing 'hsdata.txt' failed (No space left on device)/ 1");
    EXPECT_TRUE(game.finish());
}

} // namespace
