#include "core/log.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "core/config_fixture.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

using testing::ReadFile;

class LogTest : public ::testing::Test {
protected:
    LogTest() {
        config.services.programFolder = folder;
        config.services.clock = &clock;
    }

    testing::TempFolder temp{"mrw_log_"};
    const fs::path folder = temp.path();
    SystemClock clock;  // the daily log is named after today's date
    Config config;
};

TEST_F(LogTest, WritesNothingWithoutTheDebugSwitch) {
    WriteErrorLog(config, "frmMain.FileRead2", "53File not found");
    WriteLogData(config, "frmMain:PortCheck failure");
    EXPECT_FALSE(fs::exists(folder / "err.log"));
    EXPECT_FALSE(fs::exists(folder / "log"));
}

TEST_F(LogTest, DebugModeAppendsErrorLinesAndWritesTheDaysLog) {
    config.state.DebugSwitch = true;
    WriteErrorLog(config, "frmMain.FileRead2", "53File not found");
    WriteErrorLog(config, "frmRadio.PortInit", "8002Bad port");
    const std::string text = ReadFile(folder / "err.log");
    EXPECT_NE(text.find(":frmRadio.PortInit -> 8002Bad port\r\n"), std::string::npos);
    EXPECT_LT(text.find("53File not found"), text.find("8002Bad port"));  // appended
    WriteLogData(config, "  frmMain:PortCheck boom  ");
    WriteLogData(config, "second");
    ASSERT_TRUE(fs::exists(folder / "log"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "log"), fs::directory_iterator()), 1);
}

TEST_F(LogTest, AnUnwritableFolderIsSilent) {
    config.state.DebugSwitch = true;
    config.services.programFolder = folder / "missing" / "deeper";
    std::ofstream(folder / "missing") << "a file where a folder should be";
    WriteErrorLog(config, "frmMain.SaveFileAs", "75Path error");
    WriteLogData(config, "x");
    SUCCEED();
}

}  // namespace
}  // namespace mrw
