// The real program without any audio device: one log line says so, and the
// terminal gets nothing of the audio library or ALSA.

#include "support/TestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The lines of the file that name sound, audio, ALSA, miniaudio or PulseAudio.
std::vector<std::string> audioLines(const fs::path& file) {
    std::vector<std::string> found;
    for (const std::string& line : mwtest::readLines(file)) {
        std::string lower = line;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        for (const char* word : {"sound", "audio", "alsa", "pulse"}) {
            if (lower.find(word) != std::string::npos) {
                found.push_back(line);
                break;
            }
        }
    }
    return found;
}

// Runs the program in DIR with the environment changes ENV for about eight
// seconds: the title, then a fight with punches (each plays a sound), then
// SIGTERM. Its standard output and error go to stdout.txt and stderr.txt.
int playFight(const fs::path& dir, const std::string& env) {
    const std::string command =
        "cd '" + dir.string() + "' && env " + env +
        " xvfb-run -a -s '-screen 0 1024x768x24 -noreset' bash -c '"
        "\"" MW_BINARY_DIR "/marrowick\" >stdout.txt 2>stderr.txt & game=$!; "
        "timeout 30 xdotool search --sync --onlyvisible --name Marrowick windowfocus --sync "
        ">/dev/null; sleep 1; xdotool key 1; sleep 1; "
        "for k in p p p p p p p p o p p p; do xdotool key $k; sleep 0.3; done; "
        "kill -TERM $game; wait $game; echo $? >status.txt'";
    if (std::system(command.c_str()) != 0)
        return -1;
    int code = -1;
    std::ifstream(dir / "status.txt") >> code;
    return code;
}

TEST(AudioDeviceTest, WithoutAnyDeviceTheLogSaysSoOnceAndTheTerminalGetsNoAudioMessages) {
    if (!mwtest::hasDisplay() || std::system("command -v xdotool >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs Xvfb and xdotool";
    // No server and no ALSA configuration; then, where the machine has no
    // sound card, ALSA's own configuration, which finds none.
    std::vector<std::string> environments = {
        "ALSA_CONFIG_PATH=/dev/null PULSE_SERVER=unix:/nonexistent"};
    if (!fs::exists("/dev/snd"))
        environments.push_back("-u ALSA_CONFIG_PATH PULSE_SERVER=unix:/nonexistent");
    for (const std::string& env : environments) {
        SCOPED_TRACE(env);
        mwtest::ScratchDirectory scratch;
        for (const char* item : {"sprites", "audio", "mw-font.ttf"})
            fs::copy(fs::path(MW_RUN_DIR) / item, scratch.path() / item,
                     fs::copy_options::recursive);
        EXPECT_EQ(playFight(scratch.path(), env), 0);
        const std::vector<std::string> log = mwtest::readLines(scratch.path() / "marrowick.log");
        EXPECT_EQ(std::count(log.begin(), log.end(),
                             "ResourceManager::startAudio() - No audio device: the game plays "
                             "without sound"),
                  1);
        EXPECT_TRUE(std::find(log.begin(), log.end(), "LogManager::shutDown() - LM was shutdown") !=
                    log.end());
        EXPECT_EQ(audioLines(scratch.path() / "stdout.txt"), std::vector<std::string>{});
        EXPECT_EQ(audioLines(scratch.path() / "stderr.txt"), std::vector<std::string>{});
    }
}

} // namespace
