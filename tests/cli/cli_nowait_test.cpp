// The file commands of mrw-cli wait for nobody: the pauses that let the desktop window show a
// load or a save are not taken without a window, and each command still gives its result.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "core/services.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

// Virtual time that counts every pause asked of it.
struct CountingClock : VirtualClock {
    void Sleep(int ms) override {
        ++sleeps;
        sleptMs += ms;
        VirtualClock::Sleep(ms);
    }
    int sleeps = 0;
    long sleptMs = 0;
};

class CliNoWaitTest : public testing::CliFixture {
protected:
    CliNoWaitTest() : CliFixture({"--model", "1"}, {"INTL_08FD.ini", "UK_08FD.ini"}) {}
    void SetUp() override {
        CliFixture::SetUp();
        config.services.clock = &counting;
        // A settings file of model type 1, region INTL, as the desktop program saves it.
        std::string dat = ReadFile(fs::path(MRW_TEST_SOURCE_DIR) / "tests" / "files" / "golden" /
                                   "INTL_08FD.dat");
        ASSERT_FALSE(dat.empty());
        Write("boat.dat", dat);
        const size_t sog = dat.find("\r\nSOG=0\r\n");
        ASSERT_NE(sog, std::string::npos);
        dat.replace(sog, 9, "\r\nSOG=1\r\n");
        Write("edited.dat", dat);
    }
    // Runs one command and expects it to succeed without a single pause.
    void RunWithoutPause(std::vector<std::string> args) {
        SCOPED_TRACE(args[0]);
        counting.sleeps = 0;
        counting.sleptMs = 0;
        EXPECT_EQ(Run(std::move(args)), kExitOk) << err.str();
        EXPECT_EQ(counting.sleeps, 0);
        EXPECT_EQ(counting.sleptMs, 0);
    }

    CountingClock counting;
};

TEST_F(CliNoWaitTest, FileCommandsAskTheClockForNoPause) {
    RunWithoutPause({"check", Path("boat.dat")});
    EXPECT_EQ(out.str().rfind("HV2300 INTL CHUSA=", 0), 0U) << out.str();

    RunWithoutPause({"report", Path("boat.dat")});
    EXPECT_NE(out.str().find("##### Common Setup #####"), std::string::npos);

    RunWithoutPause({"convert", Path("boat.dat"), Path("boat.hex")});
    EXPECT_EQ(fs::file_size(Path("boat.hex")), fs::file_size(Path("INTL_08FD.ini")));

    RunWithoutPause({"diff", Path("boat.dat"), Path("edited.dat")});
    EXPECT_EQ(out.str(), "[Common Setup] SOG: 0 -> 1\n1 differences\n");

    RunWithoutPause({"export-csv", Path("boat.dat"), "CHUSA"});
    const std::string csv = out.str();
    EXPECT_EQ(csv.rfind("Location,Name,Frequency,", 0), 0U) << csv;
    Write("list.csv", csv);

    RunWithoutPause(
        {"import-csv", Path("boat.dat"), "CHUSA", Path("list.csv"), "-o", Path("again.dat")});
    EXPECT_EQ(ReadFile(Path("again.dat")).rfind("[MAIN]\r\nMODEL=#HV2300\r\n", 0), 0U);
}

}  // namespace
}  // namespace mrw::cli
