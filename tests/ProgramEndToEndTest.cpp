#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>

#include <sys/stat.h>

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

class ProgramEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!mwtest::hasDisplay() || std::system("command -v xdotool >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "needs Xvfb and xdotool";
    }

    fs::path freshCopy(const std::string& name) const {
        const fs::path dir = m_scratch.path() / name;
        fs::create_directory(dir);
        for (const char* item : {"sprites", "audio", "mw-font.ttf"})
            fs::copy(fs::path(MW_RUN_DIR) / item, dir / item, fs::copy_options::recursive);
        return dir;
    }

    // One session of the real program in DIR on an X server of its own, its environment
    // changed by `env` (as env(1) takes it), as "STATUS TITLE-BEFORE TITLE-AFTER".
    std::string session(const fs::path& dir, const std::string& keys, const std::string& signals,
                        const std::string& env = "", const std::string& gap = "1.5") const {
        const fs::path script = m_scratch.path() / "session.sh";
        std::ofstream(script) << SESSION_SCRIPT;
        const std::string command = "cd '" + dir.string() +
                                    "' && xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash '" +
                                    script.string() + "' '" MW_BINARY_DIR "/marrowick' '" + keys +
                                    "' '" + signals + "' " + gap + " '" + env + "'";
        if (std::system(command.c_str()) != 0)
            return "session failed";
        std::string result;
        std::ifstream in(dir / "result.txt");
        std::getline(in, result);
        return result;
    }

    // Arguments: BINARY KEYS SIGNALS GAP ENV. The program is a job of its own (a
    // script's background job would have SIGINT ignored). BEFORE and AFTER: 1 when the first
    // opponent's name (magenta, row 12) shows before and after the keys, "none" unlooked.
    static constexpr const char* SESSION_SCRIPT = R"sh(
binary="$1" keys="$2" signals="$3" gap="$4"
set -m
env $5 "$binary" >stdout.txt 2>stderr.txt &
game=$!
set +m
title() {
  import -window root shot.png &&
    convert shot.png -crop 180x32+84+384 +repage -fill black +opaque '#FF00FF' \
      -colorspace Gray -format '%[fx:mean>0.005]' info:
}
before=none after=none
if [ -n "$keys$signals" ]; then
  timeout 30 xdotool search --sync --onlyvisible --name Marrowick windowfocus --sync >/dev/null 2>&1
  sleep 1.5
  before="$(title)"
  for key in $keys; do xdotool key "$key"; sleep "$gap"; done
  after="$(title)"
  for signal in $signals; do kill -s "$signal" "$game"; done
fi
timeout 30 tail --pid="$game" -s 0.1 -f /dev/null || kill -s KILL "$game"
status=0
wait "$game" || status=$?
echo "$status $before $after" >result.txt
)sh";

    mwtest::ScratchDirectory m_scratch;
};

Lines soundOrBestTimeLines(const fs::path& file) {
    const std::regex topic("sound|audio|alsa|pulse|best time", std::regex::icase);
    Lines found;
    for (const std::string& line : mwtest::readLines(file))
        if (std::regex_search(line, topic))
            found.push_back(line);
    return found;
}

// No sound server and no ALSA configuration; then, where the machine has no sound card,
// ALSA's own configuration, which finds none. The terminal hears of neither, nor of best times.
TEST_F(ProgramEndToEndTest, TheTutorialIsPlayedThroughWithoutTheThemeOrAnAudioDevice) {
    Lines environments = {"ALSA_CONFIG_PATH=/dev/null PULSE_SERVER=unix:/nonexistent"};
    if (!fs::exists("/dev/snd"))
        environments.push_back("-u ALSA_CONFIG_PATH PULSE_SERVER=unix:/nonexistent");
    for (std::size_t run = 0; run < environments.size(); ++run) {
        SCOPED_TRACE(environments[run]);
        const fs::path dir = freshCopy("tutorial" + std::to_string(run));
        fs::remove(dir / "audio" / "mwbrawlicktheme.wav");
        ASSERT_EQ(session(dir, "t q w o p Return Escape", "", environments[run], "0.7"), "0 1 0");
        const Lines log = mwtest::readLines(dir / "marrowick.log");
        for (const char* line :
             {"ResourceManager::loadMusic - Unable to load music 'theme-music' from file "
              "'audio/mwbrawlicktheme.wav'",
              "MatchLoader::startUp() -- Couldn't open highscore data file!",
              "ResourceManager::startAudio() - No audio device: the game plays without sound"})
            EXPECT_EQ(std::ranges::count(log, line), 1) << line;
        EXPECT_EQ(soundOrBestTimeLines(dir / "stdout.txt"), Lines{});
        EXPECT_EQ(soundOrBestTimeLines(dir / "stderr.txt"), Lines{});
        EXPECT_FALSE(fs::exists(dir / "hsdata.txt")); // nothing was won
    }
}

} // namespace

// A font file of exactly 64 MB is still read; one byte more is refused before it is opened.
TEST_F(ProgramEndToEndTest, AFontThatCannotBeUsedEndsTheProgramWithStatusOne) {
    const auto cutTo = [](std::uintmax_t size) {
        return [size](const fs::path& font) { fs::resize_file(font, size); };
    };
    const std::uintmax_t bound = 64 * 1024 * 1024;
    // Each refused but the last, which shows its window until a SIGTERM.
    const std::pair<const char*, std::function<void(const fs::path&)>> rows[] = {
        {"missing", [](const fs::path& font) { fs::remove(font); }},
        {"empty", cutTo(0)},
        {"truncated", cutTo(160000)},
        {"corrupt",
         [](const fs::path& font) {
             std::fstream(font, std::ios::in | std::ios::out | std::ios::binary)
                 << std::string(4096, '\xff');
         }},
        {"over-the-bound", cutTo(bound + 1)},
        {"a-fifo",
         [](const fs::path& font) {
             fs::remove(font);
             mkfifo(font.c_str(), 0644);
         }},
        {"at-the-bound", cutTo(bound)},
    };
    for (const auto& [name, spoil] : rows) {
        SCOPED_TRACE(name);
        const bool refused = name != std::string("at-the-bound");
        const fs::path dir = freshCopy(std::string("font-") + name);
        spoil(dir / "mw-font.ttf");
        EXPECT_EQ(session(dir, "", refused ? "" : "TERM"), refused ? "1 none none" : "0 1 1");
        const Lines printed = mwtest::readLines(dir / "stdout.txt");
        EXPECT_EQ(printed.empty() ? "" : printed.back(), refused ? "Couldn't load font." : "");
        const Lines log = mwtest::readLines(dir / "marrowick.log");
        const std::string font = (dir / "mw-font.ttf").string();
        const Lines said = mwtest::readLines(dir / "stderr.txt");
        EXPECT_EQ(std::ranges::count(said, "The font was looked for in '" + font + "'."), refused);
        EXPECT_EQ(std::ranges::count(log, "DisplayManager::startUp() - Couldn't load font '" +
                                              font + "'"),
                  refused);
    }
}
