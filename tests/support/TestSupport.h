#pragma once

#include "engine/Event.h"
#include "engine/EventKeyboard.h"
#include "engine/Object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

// Opens the display in an EngineTest, or ends the test when it cannot: skipped
// without an X display, failed when the display does not start.
#define MW_OPEN_WINDOW()                                                                           \
    do {                                                                                           \
        openWindow();                                                                              \
        if (IsSkipped() || HasFatalFailure())                                                      \
            return;                                                                                \
    } while (false)

namespace mwtest {

// A fresh empty directory that becomes the working directory for the test's
// lifetime; the previous one is restored and the directory removed after.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

// Each test starts from an empty world, no resources, and a log open in a
// scratch working directory; everything is shut down again afterwards.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The log written so far (flushed first).
    std::vector<std::string> logLines() const;
    // How many lines of the log are exactly `line`.
    int countLogged(const std::string& line) const;
    bool logged(const std::string& line) const { return countLogged(line) > 0; }
    // Copies the game's font into the working directory.
    void installFont() const;
    // Starts the display (needs an X display); skips the test without one.
    void openWindow();
    // Writes a file relative to the working directory.
    void writeFile(const std::string& name, const std::string& content) const;

    ScratchDirectory m_scratch;
};

// Records every event it receives, by description ("mw::step 3",
// "mw::keyboard 47 0" for key and action, ...).
class Recorder : public mw::Object {
public:
    Recorder();
    int eventHandler(const mw::Event& event) override;
    std::vector<std::string> events;
};

std::vector<std::string> readLines(const std::filesystem::path& file);
bool hasDisplay();
std::string runDirectory();

} // namespace mwtest
