// mrw-cli in-process: each command's usage errors, exit codes and one success and one failure,
// against files and the simulated radio. What the libraries do with the files and the radio
// is theirs to test (tests/files, tests/link); here only what the command line adds.
#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_port.h"
#include "core/services.h"
#include "sim/port_on_radio.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

// Virtual time that counts the pauses asked of it: the file commands ask for none (there is no
// window to hold busy), the radio commands for the link's.
struct CountingClock : VirtualClock {
    void Sleep(int ms) override {
        ++sleeps;
        VirtualClock::Sleep(ms);
    }
    int sleeps = 0;
};

// A program folder of the test's own holding global.ini and the factory region images, virtual
// time, settings in memory, a simulated radio with the UK factory image behind every port but
// "missing", two listed serial ports, and the command's streams.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = fs::temp_directory_path() /
                 ("mrw_cli_" + std::string(test->name()) + "_" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(fs::path(MRW_TEST_SOURCE_DIR) / "data" / "global.ini", folder / "global.ini");
        for (const auto& entry : fs::directory_iterator(MRW_TEST_BIN_DIR)) {
            const fs::path name = entry.path().filename();
            if (name.extension() == ".ini" && name != "global.ini") {
                fs::copy_file(entry.path(), folder / name);
            }
        }
        config.services.clock = &clock;
        config.services.settings = &settings;
        config.services.programFolder = folder;
        platform.openPort = [this](const std::string& port,
                                   std::string& error) -> std::unique_ptr<SerialPort> {
            lastPort = port;
            if (port == "missing") {
                error = "no such port";
                return nullptr;
            }
            return std::make_unique<mrw::testing::PortOnRadio>(radio);
        };
        platform.listPorts = [] {
            return std::vector<PortListing>{{1, "/dev/ttyS0", "Serial"},
                                            {3, "/dev/ttyUSB0", "USB serial"}};
        };
        LoadRadio("UK_08FD.ini");
    }
    void TearDown() override { fs::remove_all(folder); }

    /// The radio's memory becomes the region image `name` of the program folder.
    void LoadRadio(const std::string& name) {
        const std::string bytes = ReadFile(folder / name);
        ASSERT_EQ(bytes.size(), radio.memory.size()) << name;
        std::copy(bytes.begin(), bytes.end(), radio.memory.begin());
    }
    /// Runs mrw-cli --model 1 `args` on a fresh configuration with the test's services.
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        Config fresh;
        fresh.services = config.services;
        config = fresh;
        Streams streams{out, err, false};
        args.insert(args.begin(), {"--model", "1"});
        return cli::Run(args, config, streams, platform);
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
    }
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

    fs::path folder;
    CountingClock clock;
    MemorySettingsStore settings;
    Config config;
    SimRadio radio{&clock};
    Platform platform;
    std::string lastPort;
    std::ostringstream out;
    std::ostringstream err;
};

// Usage errors, refused backups and files that cannot be saved: tests/data/cli/command_errors.txt.
TEST_F(CliTest, UsageErrorsAndFailedSavesSayWhyWithTheirExitStatus) {
    Factory();
    Write("before.hex", "the only good backup");
    Write("plain", "a file, not a folder");
    fs::create_directory(folder / "x");
    fs::create_directory(folder / "taken.dat");
    auto withFolder = [this](std::string text) {
        for (size_t at = text.find("$F"); at != std::string::npos; at = text.find("$F", at)) {
            text.replace(at, 2, folder.string());
        }
        return text;
    };
    for (const auto& c :
         mrw::testing::ReadCases(mrw::testing::TestData("cli/command_errors.txt"))) {
        SCOPED_TRACE(c.where);
        std::istringstream words(withFolder(c[0]));
        const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        EXPECT_EQ(Run(args), std::stoi(c[1]));
        std::string text = withFolder(c[3]);
#ifdef _WIN32
        // Windows finds no path that leads through a file, where Linux finds no folder.
        if (const size_t at = text.find("Not a directory"); at != std::string::npos) {
            text.replace(at, 15, "No such file or directory");
        }
#endif
        EXPECT_EQ(c[2] == "is" ? err.str()
                               : err.str().substr(err.str().size() -
                                                  std::min(err.str().size(), text.size())),
                  text);
    }
    EXPECT_TRUE(radio.Requests().empty());
    EXPECT_EQ(ReadFile(folder / "before.hex"), "the only good backup");
#ifndef _WIN32
    // A folder without write permission (Windows' read-only folders still take new files).
    if (geteuid() != 0) {  // the superuser may write anywhere
        fs::create_directory(folder / "locked");
        fs::permissions(folder / "locked", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(Run({"convert", Path("uk.hex"), Path("locked/uk.dat")}), kExitFailed);
        EXPECT_EQ(err.str(),
                  "FileSave Error!!\n" + Path("locked/uk.dat") + ": Permission denied\n");
        fs::permissions(folder / "locked", fs::perms::owner_all);
    }
#endif
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
    EXPECT_EQ(clock.sleeps, 0);
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

    for (const auto& c : mrw::testing::ReadCases(mrw::testing::TestData("cli/clear_stops.txt"))) {
        SCOPED_TRACE(c.where);
        const int interruptAtWrite = std::stoi(c[1]);
        radio.options.faults.clear();
        if (std::stoi(c[2]) > 0) {
            radio.options.faults = {sim::Fault{
                sim::FaultKind::NoAnswer, radio.FramedCount() + std::stoi(c[2]), std::stoi(c[3])}};
        }
        bool interrupted = false;
        platform.interrupted = [&] { return interrupted; };
        const int writesBefore = radio.CountOf("#QKPWR");
        const int requestsBefore = radio.FramedCount();
        clock.onPump = [&] {
            // The clock's pump is where mrw-cli turns Ctrl+C into Cancel.
            const bool checked = radio.FramedCount() - requestsBefore >= 4;
            if (interruptAtWrite >= 0 && checked &&
                radio.CountOf("#QKPWR") - writesBefore >= interruptAtWrite) {
                interrupted = true;
                config.state.CancelFlag = true;
            }
        };
        EXPECT_EQ(Run({"clear", c[0]}), kExitFailed);
        clock.onPump = nullptr;
        EXPECT_EQ(err.str(), c[4]);
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
    EXPECT_EQ(clock.sleeps, 0);
}

TEST_F(CliTest, DiffListsTheDifferencesAndNeverWrites) {
    const std::string old = WriteRenamed("boat.dat", "BOAT");
    const std::string expected = "[CHUSA1] ChTag: \"" + old + "\" -> \"BOAT\"\n1 differences\n";
    ASSERT_EQ(Run({"diff", Path("uk.dat"), Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(clock.sleeps, 0);
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

    // After the backup read only the blocks that differ from it are written; --full writes
    // every block; the radio ends the same.
    radio.ClearRecord();
    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("b1.hex")}),
              kExitOk)
        << err.str();
    EXPECT_LT(radio.CountOf("#QKPWR"), 20);
    EXPECT_EQ(ReadFile(folder / "b1.hex"), before);
    EXPECT_EQ(Memory(0x1300, 4), "BOAT");
    const std::string quick(radio.memory.begin(), radio.memory.end());
    LoadRadio("UK_08FD.ini");
    radio.ClearRecord();
    ASSERT_EQ(
        Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("b1f.hex"), "--full"}),
        kExitOk)
        << err.str();
    EXPECT_GT(radio.CountOf("#QKPWR"), 300);
    EXPECT_EQ(std::string(radio.memory.begin(), radio.memory.end()), quick);
    ASSERT_EQ(Run({"--region", "UK", "program", Path("b1.hex")}), kExitOk) << err.str();
    EXPECT_EQ(std::string(radio.memory.begin(), radio.memory.end()), before);

    // The backup read takes requests 6 to 517; with --full the writes follow the two identity
    // reads.
    radio.options.faults = {{sim::FaultKind::NoAnswer, radio.FramedCount() + 600, 3}};
    EXPECT_EQ(
        Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("b3.hex"), "--full"}),
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
