#include "engine/LogManager.h"
#include "support/TestAccess.h"

#include "support/TestSupport.h"

#include <filesystem>

using mw::LogManager;
using mwtest::readLines;
using mwtest::ScratchDirectory;

namespace {

class LogManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        LogManager::getInstance().shutDown();
        TestAccess::setLogFlush(false);
    }
    std::vector<std::string> lines() const { return readLines(m_scratch.path() / "marrowick.log"); }

    ScratchDirectory m_scratch;
};

TEST_F(LogManagerTest, WritesTheStartLineThenMessagesThenTheShutdownLineLast) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    EXPECT_TRUE(log.isStarted());
    EXPECT_EQ(log.writeLog("Hero: knockdown #%d, need %d presses", 2, 70),
              static_cast<int>(std::string("Hero: knockdown #2, need 70 presses").size()) + 1);
    log.shutDown();
    EXPECT_FALSE(log.isStarted());
    EXPECT_EQ(lines(), (std::vector<std::string>{"LogManager::startUp() - LM was started",
                                                 "Hero: knockdown #2, need 70 presses",
                                                 "LogManager::shutDown() - LM was shutdown"}));
}

TEST_F(LogManagerTest, RefusesWritesBeforeStartAndAfterShutdown) {
    LogManager& log = LogManager::getInstance();
    EXPECT_EQ(log.writeLog("too early"), -1);
    ASSERT_EQ(log.startUp(), 0);
    log.shutDown();
    EXPECT_EQ(log.writeLog("too late"), -1);
    const auto written = lines();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written.back(), "LogManager::shutDown() - LM was shutdown");
}

TEST_F(LogManagerTest, CutsLongMessagesTo2047Characters) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    const std::string longText(5000, 'x');
    EXPECT_EQ(log.writeLog("%s", longText.c_str()), 2048);
    log.shutDown();
    const auto written = lines();
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[1], std::string(2047, 'x'));
}

TEST_F(LogManagerTest, WritesPercentSignsFromArgumentsUnchanged) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("ResourceManager::loadSprite - Failed to open file '%s'", "100%s%d%n.txt");
    log.writeLog("%s and after", "50%");
    log.shutDown();
    const auto written = lines();
    ASSERT_EQ(written.size(), 4u);
    EXPECT_EQ(written[1], "ResourceManager::loadSprite - Failed to open file '100%s%d%n.txt'");
    EXPECT_EQ(written[2], "50% and after");
}

TEST_F(LogManagerTest, StartupTruncatesAnEarlierLog) {
    LogManager& log = LogManager::getInstance();
    ASSERT_EQ(log.startUp(), 0);
    log.writeLog("first run");
    log.shutDown();
    ASSERT_EQ(log.startUp(), 0);
    log.shutDown();
    EXPECT_EQ(lines().size(), 2u);
}

TEST_F(LogManagerTest, AnUncreatableLogFailsQuietly) {
    // A directory in the way of the log file makes it impossible to create.
    std::filesystem::create_directory(m_scratch.path() / "marrowick.log");
    LogManager& log = LogManager::getInstance();
    EXPECT_EQ(log.startUp(), -1);
    EXPECT_FALSE(log.isStarted());
    EXPECT_EQ(log.writeLog("lost"), -1);
    log.shutDown();
    EXPECT_FALSE(log.isStarted());
}

} // namespace
