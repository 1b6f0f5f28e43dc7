#pragma once

#include "engine/LogManager.h"
#include "engine/Object.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

// Opens the display in an EngineTest; ends the test when it cannot (skipped without X).
#define MW_OPEN_WINDOW()                                                                           \
    do {                                                                                           \
        openWindow();                                                                              \
        if (IsSkipped() || HasFatalFailure())                                                      \
            return;                                                                                \
    } while (false)

namespace mwtest {

std::vector<std::string> readLines(const std::filesystem::path& file);
bool hasDisplay();
std::string runDirectory();

// A fresh empty directory that is the working directory for its lifetime.
struct ScratchDirectory {
    ScratchDirectory();
    ~ScratchDirectory();
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path m_previous, m_path;
};

// An empty world, no resources, step 0 and a log flushed line by line in a scratch
// directory; everything is shut down again afterwards.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<std::string> logLines() const {
        return readLines(m_scratch.path() / "marrowick.log");
    }
    int countLogged(const std::string& line) const {
        const std::vector<std::string> lines = logLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    bool logged(const std::string& line) const { return countLogged(line) > 0; }
    void openWindow(); // with the game's font; skips the test without an X display
    void writeFile(const std::string& name, const std::string& content) const;
    ScratchDirectory m_scratch;
};

} // namespace mwtest
