// mrw-cli in-process: each command's usage errors, exit codes and one success and one failure,
// against files and the simulated radio. What the libraries do with the files and the radio
// is theirs to test (tests/files, tests/link); here only what the command line adds.
#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_port.h"
#include "cli_fixture.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

constexpr const char* kUsage = "usage: mrw-cli [OPTIONS] COMMAND [ARGS]  (mrw-cli --help)\n";

class CliTest : public testing::CliFixture {
protected:
    CliTest() : CliFixture({"--model", "1"}) {}

    /// The UK factory image as uk.hex and converted to uk.dat; the text of uk.dat.
    std::string Factory() {
        fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex",
                      fs::copy_options::overwrite_existing);
        EXPECT_EQ(Run({"convert", Path("uk.hex"), Path("uk.dat")}), kExitOk) << err.str();
        return ReadFile(folder / "uk.dat");
    }
    /// uk.dat with the first channel of CHUSA named `tag`, written as `name`; the old tag.
    std::string WriteRenamed(const std::string& name, const std::string& tag) {
        std::string dat = Factory();
        const size_t at = dat.find("ChTag=#", dat.find("[CHUSA1]")) + 7;
        const size_t end = dat.find("\r\n", at);
        const std::string old = dat.substr(at, end - at);
        Write(name, dat.replace(at, end - at, tag));
        return old;
    }
    std::string Memory(size_t at, size_t n) const {
        return std::string(radio.memory.begin() + static_cast<long>(at),
                           radio.memory.begin() + static_cast<long>(at + n));
    }
};

TEST_F(CliTest, UsageErrorsExitTwoWithTheUsageLine) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"read"},
        {"read", "-o", "x.txt"},
        {"clear", "logs"},
        {"convert", "a.dat"},
        {"check", "a.dat", "--frobnicate"},
        {"--model", "3", "check", "a.dat"},
        {"fly"},
        {"export-csv", "usa.hex"},
        {"import-csv", "usa.hex", "CHUSA", "list.csv", "-o", "out.txt"},
        {"import-csv", "usa.hex", "USA", "list.csv", "-o", "out.dat"},
        {"diff", "a.dat"},
        {"diff", "a.txt", "b.dat"},
        {"diff", "a.dat", "b.dat", "-o", "c.txt"},
        {"--no-verify", "check", "a.dat"},
        {"--region", "UK", "program", "a.dat", "--backup", "b.dat"},
        {"read", "-o", "a.dat", "--backup", "b.hex"},
        {"--region", "UK", "program", "a.dat", "--backup"},
    };
    for (const auto& args : wrong) {
        SCOPED_TRACE(::testing::PrintToString(args));
        EXPECT_EQ(Run(args), kExitUsage);
        EXPECT_NE(err.str().find("usage: mrw-cli"), std::string::npos) << err.str();
    }
    EXPECT_EQ(Run({"export-csv", "usa.hex", "CHWX"}), kExitUsage);
    EXPECT_EQ(err.str(), std::string("mrw-cli: export-csv: unknown table CHWX (CHUSA, CHINT, "
                                     "CHCAN, CHRG or CHEXP)\n") +
                             kUsage);
    EXPECT_EQ(Run({"import-csv", "usa.hex", "CHUSA", "list.csv"}), kExitUsage);
    EXPECT_EQ(err.str(), std::string("mrw-cli: import-csv needs -o OUT\n") + kUsage);
    // A backup never replaces a file, nor the file being programmed.
    Factory();
    Write("before.hex", "the only good backup");
    fs::create_directory(folder / "x");
    for (const auto& [backup, reason] : std::vector<std::pair<std::string, std::string>>{
             {Path("before.hex"),
              "the file exists; a backup never replaces a file, name a new one"},
             {Path("x/../uk.hex"),
              "that is the file being programmed; name a new file for the backup"}}) {
        EXPECT_EQ(Run({"--region", "UK", "program", Path("uk.hex"), "--backup", backup}),
                  kExitUsage);
        EXPECT_EQ(err.str(), "mrw-cli: --backup " + backup + ": " + reason + "\n" + kUsage);
    }
    EXPECT_TRUE(radio.Requests().empty());
    EXPECT_EQ(ReadFile(folder / "before.hex"), "the only good backup");

    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("import-csv IN TABLE CSV -o OUT"), std::string::npos);
    EXPECT_EQ(Run({"--version"}), kExitOk);
    EXPECT_NE(out.str().find(MRW_VERSION), std::string::npos);
}

TEST_F(CliTest, PortsListsOneLinePerPortOrFails) {
    EXPECT_EQ(Run({"ports"}), kExitOk);
    EXPECT_EQ(out.str(), "COM 1\t/dev/ttyS0\tSerial\nCOM 3\t/dev/ttyUSB0\tUSB serial\n");
    platform.listPorts = [] { return std::vector<PortListing>{}; };
    EXPECT_EQ(Run({"ports"}), kExitFailed);
    EXPECT_EQ(err.str(), "There is no port that can be used!!\n");
}

TEST_F(CliTest, FileCommandsWriteTheirOutputOrFailWithTheProgramsMessage) {
    const std::string dat = Factory();
    EXPECT_NE(dat.find("MODELTYPE=1\r\n"), std::string::npos);
    ASSERT_EQ(Run({"convert", Path("uk.dat"), Path("uk2.hex")}), kExitOk) << err.str();
    EXPECT_EQ(ReadFile(folder / "uk2.hex").size(), 32768U);
    ASSERT_EQ(Run({"check", Path("uk2.hex")}), kExitOk) << err.str();
    EXPECT_EQ(out.str().rfind("HV2300 UK CHUSA=", 0), 0U) << out.str();
    ASSERT_EQ(Run({"report", Path("uk.hex")}), kExitOk);
    const std::string report = out.str();  // the file ends its last line, the screen does not
    EXPECT_NE(report.find("##### Common Setup #####"), std::string::npos);
    ASSERT_EQ(Run({"report", Path("uk.hex"), "-o", Path("uk.txt")}), kExitOk);
    EXPECT_EQ(ReadFile(folder / "uk.txt"), report + "\r\n");

    fs::copy_file(folder / "UK_0961.ini", folder / "other-model.hex");
    EXPECT_EQ(Run({"convert", Path("other-model.hex"), Path("out.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("ModelType Error !!"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "out.dat"));
    EXPECT_EQ(Run({"check", Path("absent.dat")}), kExitFailed);
    EXPECT_EQ(Run({"diff", Path("uk.dat"), Path("absent.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("absent.dat: no such file"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

// Every command that writes a file says which file could not be written and why; a read says
// so before it touches the radio.
TEST_F(CliTest, AFailedSaveNamesThePathAndTheSystemsReason) {
    fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex");
    const std::string in = Path("uk.hex");
    const std::string missing = Path("no-such-folder");
    Write("plain", "a file, not a folder");
    fs::create_directory(folder / "taken.dat");
    const std::string noFolder =
        ": No such file or directory (there is no folder " + missing + ")\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"convert", in, missing + "/uk.dat"}, missing + "/uk.dat" + noFolder},
        {{"convert", in, Path("taken.dat")}, Path("taken.dat") + ": Is a directory\n"},
        {{"report", in, "-o", missing + "/uk.txt"}, missing + "/uk.txt" + noFolder},
        {{"export-csv", in, "CHUSA", "-o", missing + "/uk.csv"}, missing + "/uk.csv" + noFolder},
        {{"read", "-o", Path("plain/radio.dat")},
         Path("plain/radio.dat") + ": Not a directory (nothing was read from the radio)\n"},
        {{"read", "-o", Path("taken.dat")},
         Path("taken.dat") + ": Is a directory (nothing was read from the radio)\n"},
    };
    for (const auto& [args, second] : cases) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(Run(args), kExitFailed);
        EXPECT_EQ(err.str(), "FileSave Error!!\n" + second);
    }
    EXPECT_TRUE(radio.Requests().empty());
    if (geteuid() != 0) {  // the superuser may write anywhere
        fs::create_directory(folder / "locked");
        fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        const std::string locked = Path("locked/uk.dat");
        EXPECT_EQ(Run({"convert", in, locked}), kExitFailed);
        EXPECT_EQ(err.str(), "FileSave Error!!\n" + locked + ": Permission denied\n");
        fs::permissions(folder / "locked", fs::perms::owner_all);
    }
}

TEST_F(CliTest, ReadAndProgramGoThroughTheNamedPort) {
    radio.memory[0x1300] = 'Q';  // first letter of the first CHUSA channel name
    ASSERT_EQ(Run({"--region", "uk", "--port", "COM3", "read", "-o", Path("radio.dat")}), kExitOk)
        << err.str();
    EXPECT_EQ(lastPort, "COM3");
    const std::string dat = ReadFile(folder / "radio.dat");
    EXPECT_NE(dat.find("ChTag=#Q", dat.find("[CHUSA1]\r\n")), std::string::npos);

    WriteRenamed("boat.dat", "EDITED");
    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(Memory(0x1300, 6), "EDITED");

    EXPECT_EQ(Run({"--port", "missing", "diff", "radio", Path("boat.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("no such port"), std::string::npos) << err.str();
    LoadRadio("UK_0961.ini");
    EXPECT_EQ(Run({"read", "-o", Path("x.hex")}), kExitFailed);
    EXPECT_NE(err.str().find("ModelType Error !!"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "x.hex"));
}

TEST_F(CliTest, TheRegionQuestionIsAnsweredByYes) {
    LoadRadio("NL_08FD.ini");
    EXPECT_EQ(Run({"--region", "UK", "read", "-o", Path("nl.dat")}), kExitFailed);
    EXPECT_FALSE(fs::exists(folder / "nl.dat"));
    EXPECT_NE(err.str().find("(use --yes to take over the region).\nRadio: NL \u2014 MRW: UK\n"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"--yes", "--region", "UK", "read", "-o", Path("nl.dat")}), kExitOk) << err.str();
    EXPECT_NE(ReadFile(folder / "nl.dat").find("REGION=3\r\n"), std::string::npos);
}

TEST_F(CliTest, AClearEmptiesItsTargetOrSaysWhatTheRadioHoldsWhenItStops) {
    for (size_t i = 640; i < 645; ++i) {
        radio.memory[i] = 0x12;
    }
    ASSERT_EQ(Run({"clear", "mmsi"}), kExitOk) << err.str();
    EXPECT_EQ(Memory(640, 5), std::string(5, '\xFF'));

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

TEST_F(CliTest, CsvExportAndImportWriteTheirFileOrNothing) {
    fs::copy_file(folder / "USA_08FD.ini", folder / "usa.hex");
    ASSERT_EQ(Run({"export-csv", Path("usa.hex"), "chusa"}), kExitOk) << err.str();
    // The US plan of the factory image: a header and 51 channels, 01A first.
    const std::string csv = out.str();
    EXPECT_EQ(csv.rfind("Location,Name,Frequency,", 0), 0u);
    EXPECT_NE(csv.find("\r\n1,PORT OPS VTS,156.050000,"), std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 52);
    ASSERT_EQ(Run({"export-csv", Path("usa.hex"), "CHUSA", "-o", Path("usa.csv")}), kExitOk);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadFile(folder / "usa.csv"), csv);

    Write("list.csv", "Name,Frequency\nSEA 16,156.8\nGMRS 1,462.5625\n");
    ASSERT_EQ(Run({"import-csv", Path("usa.hex"), "CHUSA", Path("list.csv"), "-o", Path("b.dat")}),
              kExitOk)
        << err.str();
    EXPECT_NE(err.str().find(Path("list.csv") +
                             ":3: 462.562500 MHz is no channel of the catalogue; skipped\n"),
              std::string::npos)
        << err.str();
    ASSERT_EQ(Run({"check", Path("b.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str().rfind("HV2300 USA CHUSA=1 ", 0), 0u) << out.str();

    Write("nofreq.csv", "Location,Name,Freq\n1,SEA 16,156.8\n");
    EXPECT_EQ(
        Run({"import-csv", Path("usa.hex"), "CHUSA", Path("nofreq.csv"), "-o", Path("out.dat")}),
        kExitFailed);
    EXPECT_NE(err.str().find(Path("nofreq.csv") + ": The file has no Frequency column."),
              std::string::npos)
        << err.str();
    EXPECT_FALSE(fs::exists(folder / "out.dat"));
}

TEST_F(CliTest, DiffListsTheDifferencesAndNeverWrites) {
    const std::string old = WriteRenamed("boat.dat", "BOAT");
    const std::string expected = "[CHUSA1] ChTag: \"" + old + "\" -> \"BOAT\"\n1 differences\n";
    ASSERT_EQ(Run({"diff", Path("uk.dat"), Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), expected);
    const auto memoryBefore = radio.memory;
    ASSERT_EQ(Run({"diff", "radio", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), expected);
    ASSERT_EQ(Run({"diff", "radio", Path("uk.hex")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "0 differences\n");
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(radio.memory, memoryBefore);

    radio.options.silentAfter = 0;  // a radio that never answers
    EXPECT_EQ(Run({"diff", "radio", Path("uk.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("The radio does not answer"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliTest, ProgramVerifiesUnlessToldNot) {
    WriteRenamed("boat.dat", "EDITED");
    radio.options.faults = {sim::Fault{.kind = sim::FaultKind::DropWrite, .address = 0x1300}};
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("Verify failed: the radio holds different data at 1 address (first "
                             "at 0x1300). Program it again.\n"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"--region", "UK", "--no-verify", "program", Path("boat.dat")}), kExitOk)
        << err.str();
    EXPECT_EQ(err.str().find("Verify failed"), std::string::npos) << err.str();
}

TEST_F(CliTest, ProgramBackupKeepsTheRadiosPreviousMemoryAndNamesItOnAFailure) {
    WriteRenamed("boat.dat", "BOAT");
    const auto files = std::distance(fs::directory_iterator(folder), {});
    const std::string before(radio.memory.begin(), radio.memory.end());
    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), files);  // no backup unasked
    LoadRadio("UK_08FD.ini");

    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("b1.hex")}),
              kExitOk)
        << err.str();
    EXPECT_EQ(ReadFile(folder / "b1.hex"), before);
    EXPECT_EQ(Memory(0x1300, 4), "BOAT");
    ASSERT_EQ(Run({"--region", "UK", "program", Path("b1.hex")}), kExitOk) << err.str();
    EXPECT_EQ(std::string(radio.memory.begin(), radio.memory.end()), before);

    // The backup read fails: nothing is written, in the radio nor as the backup.
    radio.options.faults = {{sim::FaultKind::NoAnswer, radio.FramedCount() + 40, 3}};
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("b2.hex")}),
              kExitFailed);
    EXPECT_FALSE(fs::exists(folder / "b2.hex"));
    EXPECT_EQ(std::string(radio.memory.begin(), radio.memory.end()), before);
    EXPECT_NE(err.str().find("Communication Error!!\nProgramming stopped before anything was "
                             "written: nothing in the radio was changed.\n"),
              std::string::npos)
        << err.str();

    // The backup read takes requests 6 to 517; the writes follow the two identity reads.
    radio.options.faults = {{sim::FaultKind::NoAnswer, radio.FramedCount() + 600, 3}};
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("b3.hex")}),
              kExitFailed);
    EXPECT_NE(err.str().find("Programming stopped after it had begun writing: the radio may now "
                             "hold a partly written configuration.\nTo recover, program the "
                             "radio again, or restore its previous configuration from the backup " +
                             Path("b3.hex") + " (mrw-cli program " + Path("b3.hex") + ").\n"),
              std::string::npos)
        << err.str();
}

constexpr const char* kDenied =
    "/dev/ttyUSB0: Permission denied. To use serial ports, add yourself to the dialout group: "
    "sudo adduser $USER dialout, then log out and in.";

// A port whose openings fail or succeed as told, counting them.
class ScriptedPort : public SerialPort {
public:
    ScriptedPort(std::vector<bool> results, int& opens)
        : results_(std::move(results)), opens_(opens) {}
    bool Open(const std::string& /*settings*/, std::string& error) override {
        const bool ok = results_.at(static_cast<size_t>(opens_++));
        open_ = ok;
        if (!ok) {
            error = kDenied;
        }
        return ok;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Send(const std::vector<uint8_t>& /*bytes*/) override { return open_; }
    int Waiting() override { return 0; }
    int ReadByte() override { return -1; }
    void DiscardInput() override {}

private:
    std::vector<bool> results_;
    int& opens_;
    bool open_ = false;
};

TEST(OpenReportingPortTest, OnlyAFirstOpeningThatFailsIsSaidWithItsReason) {
    for (const bool firstOpens : {false, true}) {
        int opens = 0;
        std::ostringstream err;
        OpenReportingPort port(
            std::make_unique<ScriptedPort>(std::vector<bool>{firstOpens, false}, opens), err);
        std::string error;
        EXPECT_EQ(port.Open("19200,N,8,1", error), firstOpens);
        EXPECT_EQ(port.IsOpen(), firstOpens);
        EXPECT_EQ(port.Send({0x50}), firstOpens);
        port.Close();
        EXPECT_FALSE(port.IsOpen());
        EXPECT_FALSE(port.Open("57600,N,8,1", error));  // a later failure is the link's to report
        EXPECT_EQ(error, kDenied);                      // the link still gets the reason
        EXPECT_EQ(opens, 2);
        EXPECT_EQ(err.str(),
                  firstOpens ? std::string()
                             : std::string("The serial port cannot be opened.\n") + kDenied + "\n");
    }
}

}  // namespace
}  // namespace mrw::cli
