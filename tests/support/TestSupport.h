#pragma once

#include "engine/DisplayManager.h"
#include "engine/GameManager.h"
#include "engine/InputManager.h"
#include "engine/LogManager.h"
#include "engine/Object.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

// Opens the display in an EngineTest; ends the test when it cannot (skipped without X).
#define MW_OPEN_WINDOW()                                                                           \
    do {                                                                                           \
        openWindow();                                                                              \
        if (IsSkipped() || HasFatalFailure())                                                      \
            return;                                                                                \
    } while (false)

namespace mwtest {

namespace fs = std::filesystem;

inline std::vector<std::string> readLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline bool hasDisplay() {
    return std::getenv("DISPLAY") != nullptr && *std::getenv("DISPLAY") != '\0';
}

struct ScratchDirectory {
    ScratchDirectory() {
        fs::create_directories(m_path);
        fs::current_path(m_path);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        fs::current_path(m_previous, ignored);
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }
    fs::path m_previous = fs::current_path();
    fs::path m_path =
        fs::temp_directory_path() / ("mw-test-" + std::to_string(std::random_device()()) +
                                     std::to_string(std::random_device()()));
};

// An empty world, no resources, step 0 and a log flushed line by line in a scratch directory.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        mw::LogManager::getInstance().setFlush(true);
        mw::LogManager::getInstance().startUp();
        mw::WorldManager::getInstance().startUp();
        mw::GameManager::getInstance().setGameOver(false);
        mw::GameManager::resetStepCount();
    }
    void TearDown() override {
        mw::WorldManager::getInstance().shutDown();
        mw::ResourceManager::getInstance().shutDown();
        if (mw::DisplayManager::getInstance().getWindow() != nullptr) {
            mw::InputManager::getInstance().shutDown();
            mw::DisplayManager::getInstance().shutDown();
        }
        mw::GameManager::getInstance().setClock(nullptr);
        mw::GameManager::getInstance().setInputSource(nullptr);
        mw::GameManager::resetStepCount();
        mw::LogManager::getInstance().shutDown();
        mw::LogManager::getInstance().setFlush(false);
        mw::LogManager::getInstance().setFileName(mw::LOG_FILE_NAME);
        mw::ResourceManager::getInstance().setDataFolder("");
        mw::DisplayManager::getInstance().setWindowTitle(mw::WINDOW_TITLE);
        mw::DisplayManager::getInstance().setFontFile(mw::FONT_FILE);
    }
    std::vector<std::string> logLines() const {
        return readLines(m_scratch.path() / "marrowick.log");
    }
    int countLogged(const std::string& line) const {
        const std::vector<std::string> lines = logLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }
    bool logged(const std::string& line) const { return countLogged(line) > 0; }
    void openWindow() {
        if (!hasDisplay())
            GTEST_SKIP() << "no X display";
        fs::copy_file(fs::path(MW_RUN_DIR) / mw::FONT_FILE, m_scratch.path() / mw::FONT_FILE,
                      fs::copy_options::overwrite_existing);
        ASSERT_EQ(mw::DisplayManager::getInstance().startUp(), 0);
    }
    void writeFile(const std::string& name, const std::string& content) const {
        const fs::path file = m_scratch.path() / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }
    ScratchDirectory m_scratch;
};

} // namespace mwtest
