// mrw-cli program with --backup writes only the blocks that differ from its backup read, and
// with --full every block; both leave the radio the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

class CliQuickTest : public testing::CliFixture {
protected:
    CliQuickTest() : CliFixture({"--model", "1"}) {}

    /// Programs boat.dat into a radio holding the UK factory image: the radio's memory after.
    sim::RadioMemory Program(const std::string& backup, bool full, int& writes,
                             bool& wroteTheChannel) {
        LoadRadio("UK_08FD.ini");
        radio.ClearRecord();
        std::vector<std::string> args = {"--region",       "UK",       "program",
                                         Path("boat.dat"), "--backup", Path(backup)};
        if (full) {
            args.push_back("--full");
        }
        EXPECT_EQ(Run(args), kExitOk) << err.str();
        writes = radio.CountOf("#QKPWR");
        wroteTheChannel = false;
        for (const sim::RadioRequest& r : radio.Requests()) {
            wroteTheChannel |= r.word == "#QKPWR" && r.address == 0x1300 && r.count == 64;
        }
        return radio.memory;
    }
};

TEST_F(CliQuickTest, BackupProgramWritesTheChangedBlocksAndFullWritesEveryBlock) {
    // The factory image as a settings file, with the name of CHUSA1 changed.
    fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    ASSERT_EQ(Run({"convert", Path("uk.hex"), Path("uk.dat")}), kExitOk) << err.str();
    std::string text = mrw::testing::ReadFile(folder / "uk.dat");
    const size_t tag = text.find("ChTag=", text.find("[CHUSA1]\r\n")) + 6;
    text.replace(tag, text.find("\r\n", tag) - tag, "#BOAT");
    Write("boat.dat", text);

    int quickWrites = 0;
    int fullWrites = 0;
    bool quickChannel = false;
    bool fullChannel = false;
    const sim::RadioMemory quick = Program("quick.hex", false, quickWrites, quickChannel);
    const sim::RadioMemory full = Program("full.hex", true, fullWrites, fullChannel);
    EXPECT_EQ(std::string(quick.begin() + 0x1300, quick.begin() + 0x1304), "BOAT");
    EXPECT_EQ(quick, full);
    EXPECT_TRUE(quickChannel && fullChannel);
    EXPECT_LT(quickWrites, 20);
    EXPECT_GT(fullWrites, 300);

    EXPECT_EQ(Run({"--full", "check", Path("boat.dat")}), kExitUsage);
    EXPECT_NE(err.str().find("--full goes with program"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace mrw::cli
