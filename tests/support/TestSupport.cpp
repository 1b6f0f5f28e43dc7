#include "support/TestSupport.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"
#include "support/TestAccess.h"

#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace mwtest {

std::vector<std::string> readLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool hasDisplay() {
    return std::getenv("DISPLAY") != nullptr && *std::getenv("DISPLAY") != '\0';
}

std::string runDirectory() {
    return MW_RUN_DIR;
}

ScratchDirectory::ScratchDirectory()
    : m_previous(fs::current_path()),
      m_path(fs::temp_directory_path() / ("mw-test-" + std::to_string(std::random_device()()) +
                                          std::to_string(std::random_device()()))) {
    fs::create_directories(m_path);
    fs::current_path(m_path);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::current_path(m_previous, ignored);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

void EngineTest::SetUp() {
    TestAccess::setLogFlush(true);
    mw::LogManager::getInstance().startUp();
    mw::WorldManager::getInstance().startUp();
    mw::GameManager::getInstance().setGameOver(false);
    TestAccess::resetStepCount();
}

void EngineTest::TearDown() {
    mw::WorldManager::getInstance().shutDown();
    mw::ResourceManager::getInstance().shutDown();
    if (mw::DisplayManager::getInstance().getWindow() != nullptr) {
        mw::InputManager::getInstance().shutDown();
        mw::DisplayManager::getInstance().shutDown();
    }
    TestAccess::setClock(nullptr);
    TestAccess::resetStepCount();
    mw::LogManager::getInstance().shutDown();
    TestAccess::setLogFlush(false);
}

void EngineTest::openWindow() {
    if (!hasDisplay())
        GTEST_SKIP() << "no X display";
    fs::copy_file(fs::path(runDirectory()) / mw::FONT_FILE, m_scratch.path() / mw::FONT_FILE,
                  fs::copy_options::overwrite_existing);
    ASSERT_EQ(mw::DisplayManager::getInstance().startUp(), 0);
}

void EngineTest::writeFile(const std::string& name, const std::string& content) const {
    const fs::path file = m_scratch.path() / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

} // namespace mwtest
