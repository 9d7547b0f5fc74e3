#include "core/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/config_fixture.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

TEST(LogTest, OnlyTheDebugSwitchWritesErrorLinesAndTheDaysLogAndAnUnwritableFolderIsSilent) {
    testing::TempFolder temp{"mrw_log_"};
    const fs::path folder = temp.path();
    SystemClock clock;  // the daily log is named after today's date
    Config config;
    config.services.programFolder = folder;
    config.services.clock = &clock;
    WriteErrorLog(config, "frmMain.FileRead2", "53File not found");
    WriteLogData(config, "frmMain:PortCheck failure");
    EXPECT_FALSE(fs::exists(folder / "err.log"));
    EXPECT_FALSE(fs::exists(folder / "log"));

    config.state.DebugSwitch = true;
    WriteErrorLog(config, "frmMain.FileRead2", "53File not found");
    WriteErrorLog(config, "frmRadio.PortInit", "8002Bad port");
    const std::string text = testing::ReadFile(folder / "err.log");
    EXPECT_NE(text.find(":frmRadio.PortInit -> 8002Bad port\r\n"), std::string::npos);
    EXPECT_LT(text.find("53File not found"), text.find("8002Bad port"));  // appended
    WriteLogData(config, "  frmMain:PortCheck boom  ");
    WriteLogData(config, "second");
    ASSERT_TRUE(fs::exists(folder / "log"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "log"), fs::directory_iterator()), 1);

    config.services.programFolder = folder / "missing" / "deeper";
    std::ofstream(folder / "missing") << "a file where a folder should be";
    WriteErrorLog(config, "frmMain.SaveFileAs", "75Path error");  // neither throws nor stops
    WriteLogData(config, "x");
}

}  // namespace
}  // namespace mrw
