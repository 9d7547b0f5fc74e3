// mrw-cli in-process against the simulated radio: what a clear that stops partway says, a
// backup that would replace a file, and a read whose output cannot be written. Nothing of the
// refused commands reaches the radio.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

class CliClearTest : public testing::CliFixture {
protected:
    CliClearTest() : CliFixture({"--model", "1"}) {}
};

TEST_F(CliClearTest, AClearThatStopsPartwaySaysWhatTheRadioHoldsOnTheNextLine) {
    // Framed requests: status, model code (2), product, then the writes (the MMSI clear reads
    // its clear count first). Ctrl+C presses Cancel as the link waits for a write's answer.
    struct Case {
        const char* target;
        int interruptAtWrite;  // -1: no Ctrl+C; 0: at the first step
        sim::Fault fault;      // request 0: none
        std::string err;
    };
    const std::vector<Case> cases = {
        {"individual-directory",
         3,
         {},
         "Cancelled.\nThe radio was partly cleared: 3 of 20 blocks written. Run the clear "
         "again.\n"},
        {"dsc-log", 0, {}, "Cancelled.\n"},
        {"mmsi",
         -1,
         {sim::FaultKind::NoAnswer, 7, 3},
         "Communication Error!!\nThe radio was partly cleared: 2 of 6 bytes written; the user "
         "MMSI in the radio is now incomplete. Run the clear again.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        radio.options.faults.clear();
        if (c.fault.request > 0) {
            radio.options.faults = {
                sim::Fault{c.fault.kind, radio.FramedCount() + c.fault.request, c.fault.count}};
        }
        bool interrupted = false;
        platform.interrupted = [&] { return interrupted; };
        const int writesBefore = radio.CountOf("#QKPWR");
        const int requestsBefore = radio.FramedCount();
        clock.onPump = [&] {
            // The clock's pump is where mrw-cli turns Ctrl+C into Cancel.
            const bool checked = radio.FramedCount() - requestsBefore >= 4;
            if (c.interruptAtWrite >= 0 && checked &&
                radio.CountOf("#QKPWR") - writesBefore >= c.interruptAtWrite) {
                interrupted = true;
                config.state.CancelFlag = true;
            }
        };
        EXPECT_EQ(Run({"clear", c.target}), kExitFailed);
        clock.onPump = nullptr;
        EXPECT_EQ(err.str(), c.err);
    }
}

TEST_F(CliClearTest, BackupRefusesAFileThatExistsOrIsTheFileBeingProgrammed) {
    fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    const std::string image = ReadFile(folder / "uk.hex");
    Write("before.hex", "the only good backup");
    fs::create_directories(folder / "sub");
    struct Case {
        std::string backup;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {Path("before.hex"), "the file exists; a backup never replaces a file, name a new one"},
        {Path("uk.hex"), "that is the file being programmed; name a new file for the backup"},
        {Path("sub/../uk.hex"),
         "that is the file being programmed; name a new file for the backup"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backup);
        EXPECT_EQ(Run({"--region", "UK", "program", Path("uk.hex"), "--backup", c.backup}),
                  kExitUsage);
        EXPECT_EQ(err.str(), "mrw-cli: --backup " + c.backup + ": " + c.reason +
                                 "\nusage: mrw-cli [OPTIONS] COMMAND [ARGS]  (mrw-cli --help)\n");
    }
    EXPECT_TRUE(radio.Requests().empty());
    EXPECT_EQ(ReadFile(folder / "before.hex"), "the only good backup");
    EXPECT_EQ(ReadFile(folder / "uk.hex"), image);
}

TEST_F(CliClearTest, AReadWhoseOutputCannotBeWrittenNamesPathAndReasonBeforeTouchingTheRadio) {
    Write("plain", "a file, not a folder");
    fs::create_directories(folder / "folder.dat");
    struct Case {
        std::string output;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {Path("missing/radio.dat"), "No such file or directory"},
        {Path("plain/radio.dat"), "Not a directory"},
        {Path("folder.dat"), "Is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        EXPECT_EQ(Run({"read", "-o", c.output}), kExitFailed);
        EXPECT_EQ(err.str(), "FileSave Error!!\n" + c.output + ": " + c.reason +
                                 " (nothing was read from the radio)\n");
    }
    EXPECT_TRUE(radio.Requests().empty());
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

}  // namespace
}  // namespace mrw::cli
