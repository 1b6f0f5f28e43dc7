#include "support/TestSupport.h"
#include "support/TestAccess.h"

#include "engine/DisplayManager.h"
#include "engine/EventCollision.h"
#include "engine/EventMouse.h"
#include "engine/EventStep.h"
#include "engine/GameManager.h"
#include "engine/InputManager.h"
#include "engine/LogManager.h"
#include "engine/ResourceManager.h"
#include "engine/WorldManager.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace mwtest {

ScratchDirectory::ScratchDirectory() : m_previous(fs::current_path()) {
    std::random_device entropy;
    const std::string name = "mw-test-" + std::to_string(entropy()) + std::to_string(entropy());
    m_path = fs::temp_directory_path() / name;
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

std::vector<std::string> EngineTest::logLines() const {
    return readLines(m_scratch.path() / mw::LOG_FILE_NAME);
}

int EngineTest::countLogged(const std::string& line) const {
    const std::vector<std::string> lines = logLines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

void EngineTest::installFont() const {
    fs::copy_file(fs::path(runDirectory()) / mw::FONT_FILE, m_scratch.path() / mw::FONT_FILE,
                  fs::copy_options::overwrite_existing);
}

void EngineTest::openWindow() {
    if (!hasDisplay())
        GTEST_SKIP() << "no X display";
    installFont();
    ASSERT_EQ(mw::DisplayManager::getInstance().startUp(), 0);
}

void EngineTest::writeFile(const std::string& name, const std::string& content) const {
    const fs::path file = m_scratch.path() / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

Recorder::Recorder() {
    setType("Recorder");
    setSolidness(mw::INTANGIBLE);
}

int Recorder::eventHandler(const mw::Event& event) {
    std::string text = event.getType();
    if (text == mw::STEP_EVENT) {
        text += " " + std::to_string(static_cast<const mw::EventStep&>(event).getStepCount());
    } else if (text == mw::KEYBOARD_EVENT) {
        const auto& key = static_cast<const mw::EventKeyboard&>(event);
        text += " " + std::to_string(key.getKey()) + " " + std::to_string(key.getKeyboardAction());
    } else if (text == mw::MOUSE_EVENT) {
        const auto& mouse = static_cast<const mw::EventMouse&>(event);
        text += " " + std::to_string(mouse.getMouseAction()) + " " +
                std::to_string(mouse.getMouseButton());
    }
    events.push_back(text);
    return 1;
}

std::vector<std::string> readLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool hasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

std::string runDirectory() {
    return MW_RUN_DIR;
}

} // namespace mwtest
