// mrw-cli program with --backup writes only what differs from its backup read, with --full
// every block; both leave the radio the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

class CliQuickTest : public testing::CliFixture {
protected:
    CliQuickTest() : CliFixture({"--model", "1"}) {}
};

TEST_F(CliQuickTest, BackupProgramWritesTheChangedBlocksAndFullEveryBlock) {
    // The UK factory image as a settings file, with CHUSA1 renamed.
    std::filesystem::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    ASSERT_EQ(Run({"convert", Path("uk.hex"), Path("uk.dat")}), kExitOk) << err.str();
    std::string text = mrw::testing::ReadFile(folder / "uk.dat");
    const size_t tag = text.find("ChTag=", text.find("[CHUSA1]\r\n")) + 6;
    Write("boat.dat", text.replace(tag, text.find("\r\n", tag) - tag, "#BOAT"));
    std::vector<sim::RadioMemory> after;
    for (const char* full : {"", "--full"}) {
        LoadRadio("UK_08FD.ini");
        radio.ClearRecord();
        std::vector<std::string> args = {"--region", "UK",
                                         "program",  Path("boat.dat"),
                                         "--backup", Path(std::string("b") + full + ".hex")};
        if (*full) {
            args.push_back(full);
        }
        ASSERT_EQ(Run(args), kExitOk) << err.str();
        const int writes = radio.CountOf("#QKPWR");
        EXPECT_TRUE(*full ? writes > 300 : writes < 20) << full << writes;
        after.push_back(radio.memory);
    }
    EXPECT_EQ(std::string(after[0].begin() + 0x1300, after[0].begin() + 0x1304), "BOAT");
    EXPECT_EQ(after[0], after[1]);
    EXPECT_EQ(Run({"--full", "check", Path("boat.dat")}), kExitUsage);
    EXPECT_NE(err.str().find("--full goes with program"), std::string::npos) << err.str();
}

}  // namespace
}  // namespace mrw::cli
