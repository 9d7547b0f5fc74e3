// mrw-cli diff and the guarded program in-process, against files and the simulated radio:
// the exact difference lines and counts, the exit codes, and that a diff never writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "core/services.h"
#include "sim/sim_radio.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

class CliSafeTest : public testing::CliFixture {
protected:
    CliSafeTest() : CliFixture({"--model", "1"}) {}

    /// The UK factory image as a settings file, written by convert.
    std::string FactorySettings() {
        fs::copy_file(folder / "UK_08FD.ini", folder / "uk.hex",
                      fs::copy_options::overwrite_existing);
        EXPECT_EQ(Run({"convert", Path("uk.hex"), Path("uk.dat")}), kExitOk) << err.str();
        return ReadFile(folder / "uk.dat");
    }
};

/// The value of `key` in section `section` of a settings file's text.
std::string ValueIn(const std::string& text, const std::string& section, const std::string& key) {
    const size_t start = text.find("[" + section + "]\r\n");
    const size_t line = text.find("\r\n" + key + "=", start);
    const size_t value = line + key.size() + 3;
    return text.substr(value, text.find("\r\n", value) - value);
}

/// Replaces the value of `key` in section `section`.
std::string WithValue(std::string text, const std::string& section, const std::string& key,
                      const std::string& value) {
    const size_t start = text.find("[" + section + "]\r\n");
    const size_t line = text.find("\r\n" + key + "=", start);
    const size_t first = line + key.size() + 3;
    text.replace(first, text.find("\r\n", first) - first, value);
    return text;
}

/// The number of records of a standard channel table in a settings file's text.
int RecordCount(const std::string& text, const std::string& table) {
    int n = 0;
    while (text.find("[" + table + std::to_string(n + 1) + "]\r\n") != std::string::npos) {
        ++n;
    }
    return n;
}

// ---- diff -------------------------------------------------------------------------------------

TEST_F(CliSafeTest, DiffOfTwoSettingsFilesListsEachDifferenceThenTheCount) {
    const std::string uk = FactorySettings();
    const int records = RecordCount(uk, "CHUSA");
    ASSERT_GE(records, 2);
    const std::string oldTag = ValueIn(uk, "CHUSA1", "ChTag");  // "#" + the tag
    std::string edited = WithValue(uk, "CHUSA1", "ChTag", "#EDITED");
    edited = WithValue(edited, "Common Setup", "Resume Time", "4");
    const std::string oldResume = ValueIn(uk, "Common Setup", "Resume Time");
    ASSERT_NE(oldResume, "4");
    // The last CHUSA record left out.
    const size_t last = edited.find("[CHUSA" + std::to_string(records) + "]\r\n");
    edited.erase(last, edited.find("\r\n[", last) + 2 - last);
    Write("edited.dat", edited);

    ASSERT_EQ(Run({"diff", Path("uk.dat"), Path("edited.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "[Common Setup] Resume Time: " + oldResume +
                             " -> 4\n"
                             "[CHUSA1] ChTag: \"" +
                             oldTag.substr(1) +
                             "\" -> \"EDITED\"\n"
                             "[CHUSA" +
                             std::to_string(records) +
                             "] removed\n"
                             "3 differences\n");

    // The other way round the record is added.
    ASSERT_EQ(Run({"diff", Path("edited.dat"), Path("uk.dat")}), kExitOk) << err.str();
    EXPECT_NE(out.str().find("[CHUSA" + std::to_string(records) + "] added\n3 differences\n"),
              std::string::npos)
        << out.str();
}

TEST_F(CliSafeTest, DiffOfEqualFilesSaysZeroDifferences) {
    FactorySettings();
    ASSERT_EQ(Run({"diff", Path("uk.dat"), Path("uk.hex")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "0 differences\n");
}

TEST_F(CliSafeTest, DiffOfTwoRawImagesListsBytesOutsideTheSettings) {
    std::string image = ReadFile(folder / "UK_08FD.ini");
    Write("a.hex", image);
    const unsigned char before0 = static_cast<unsigned char>(image[0x6900]);
    const unsigned char before1 = static_cast<unsigned char>(image[0x6901]);
    image[0x6900] = '\x01';
    image[0x6901] = '\x02';
    Write("b.hex", image);
    ASSERT_NE(before0, 0x01);
    char old[8];
    std::snprintf(old, sizeof old, "%02X %02X", before0, before1);
    ASSERT_EQ(Run({"diff", Path("a.hex"), Path("b.hex")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), std::string("[Image] 0x6900-0x6901 (2 bytes): ") + old +
                             " -> 01 02\n1 differences\n");
}

TEST_F(CliSafeTest, DiffRadioFileListsWhatProgrammingWouldChangeAndWritesNothing) {
    const std::string uk = FactorySettings();
    const std::string oldTag = ValueIn(uk, "CHUSA1", "ChTag");
    Write("boat.dat", WithValue(uk, "CHUSA1", "ChTag", "#BOAT"));
    const auto memoryBefore = radio.memory;

    ASSERT_EQ(Run({"diff", "radio", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "[CHUSA1] ChTag: \"" + oldTag.substr(1) +
                             "\" -> \"BOAT\"\n"
                             "1 differences\n");
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(radio.memory, memoryBefore);

    // The radio against its own settings: programming them would change nothing.
    ASSERT_EQ(Run({"diff", "radio", Path("uk.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "0 differences\n");
}

TEST_F(CliSafeTest, DiffRadioRawImageIgnoresWhatProgrammingLeavesAlone) {
    // The DSC log is the radio's own: programming an image with another log changes nothing.
    std::string image = ReadFile(folder / "UK_08FD.ini");
    image[0x6900] = static_cast<char>(image[0x6900] ^ 0x55);
    Write("log.hex", image);
    ASSERT_EQ(Run({"diff", "radio", Path("log.hex")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "0 differences\n");
}

TEST_F(CliSafeTest, DiffRadioFileMarksWhatProgrammingCannotCarryAndTheLogsItErases) {
    const std::string uk = FactorySettings();
    // Group2's block (320..335) is never written; RCENABLE0 has no image bytes.
    const std::string group2 = ValueIn(uk, "Usable CH Group Setup", "Group2");
    const std::string other = group2 == "0" ? "1" : "0";
    ASSERT_EQ(ValueIn(uk, "DSC Setup (AutoPos Setup)", "RCENABLE0"), "0");
    std::string boat = WithValue(uk, "Usable CH Group Setup", "Group2", other);
    boat = WithValue(boat, "DSC Setup (AutoPos Setup)", "RCENABLE0", "1");
    Write("boat.dat", boat);
    // The radio has logged a DSC call in its first short TX log.
    radio.memory[0x300] = 0x02;
    radio.memory[0x35F] = 0x35;

    ASSERT_EQ(Run({"diff", "radio", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str(), "[Usable CH Group Setup] Group2: " + group2 + " -> " + other +
                             " (not written to the radio)\n"
                             "[DSC Setup (AutoPos Setup)] RCENABLE0: 0 -> 1 (not written to the "
                             "radio)\n"
                             "[Image] 0x0300\u20130x035F: DSC TX log, erased by programming\n"
                             "3 differences\n");

    // Programmed without a backup read the log is gone, as the diff said, and the program says
    // what stayed in the file.
    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(radio.memory[0x300], 0xFF);
    const std::string text = err.str();
    EXPECT_EQ(text.substr(text.rfind("Complete!!")),
              "Complete!!\nKept in the file only: 2 settings\n");

    // Taking over the file's region, the radio is taken to hold that region's defaults, not
    // those of the region the program started in (BE, whose Group2 differs).
    err.str("");
    ASSERT_EQ(Run({"--region", "BE", "--yes", "program", Path("boat.dat")}), kExitOk) << err.str();
    const std::string takenOver = err.str();
    EXPECT_EQ(takenOver.substr(takenOver.rfind("Complete!!")),
              "Complete!!\nKept in the file only: 2 settings\n");
}

TEST_F(CliSafeTest, ProgramWithABackupKeepsTheRadiosDscTxLogs) {
    const std::string uk = FactorySettings();
    Write("boat.dat", WithValue(uk, "CHUSA1", "ChTag", "#BOAT"));
    for (int a = 0x580; a <= 0x5DF; ++a) {
        radio.memory[static_cast<size_t>(a)] = static_cast<uint8_t>(a & 0x7F);
    }
    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("before.hex")}),
              kExitOk)
        << err.str();
    for (int a = 0x580; a <= 0x5DF; ++a) {
        ASSERT_EQ(radio.memory[static_cast<size_t>(a)], a & 0x7F) << a;
    }
    EXPECT_EQ(std::string(radio.memory.begin() + 0x1300, radio.memory.begin() + 0x1304), "BOAT");
    // Nothing was kept in the file only: the completion says no more.
    const std::string text = err.str();
    EXPECT_EQ(text.substr(text.rfind("Complete!!")), "Complete!!\n");
}

TEST_F(CliSafeTest, DiffFailsWhenAnOperandCannotBeLoaded) {
    FactorySettings();
    EXPECT_EQ(Run({"diff", Path("uk.dat"), Path("absent.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("absent.dat: no such file"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(Run({"--port", "missing", "diff", "radio", Path("uk.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("no such port"), std::string::npos) << err.str();
    radio.options.silentAfter = 0;  // a radio that never answers
    EXPECT_EQ(Run({"diff", "radio", Path("uk.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("The radio does not answer"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "");
}

TEST_F(CliSafeTest, DiffUsageErrors) {
    EXPECT_EQ(Run({"diff", "a.dat"}), kExitUsage);
    EXPECT_EQ(Run({"diff", "a.txt", "b.dat"}), kExitUsage);
    EXPECT_EQ(Run({"diff", "a.dat", "b.dat", "-o", "c.txt"}), kExitUsage);
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("diff A B"), std::string::npos);
}

// ---- program: verify --------------------------------------------------------------------------

TEST_F(CliSafeTest, ProgramReadsBackWhatItWroteAndFailsOnADroppedWrite) {
    const std::string uk = FactorySettings();
    Write("boat.dat", WithValue(uk, "CHUSA1", "ChTag", "#EDITED"));
    ASSERT_NE(radio.memory[0x1300], 'E');
    radio.options.faults = {sim::Fault{.kind = sim::FaultKind::DropWrite, .address = 0x1300}};
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitFailed);
    EXPECT_NE(err.str().find("Verify failed: the radio holds different data at 1 address (first "
                             "at 0x1300). Program it again.\n"),
              std::string::npos)
        << err.str();

    // Without the verify the same radio seems programmed.
    EXPECT_EQ(Run({"--region", "UK", "--no-verify", "program", Path("boat.dat")}), kExitOk)
        << err.str();
    EXPECT_EQ(err.str().find("Verify failed"), std::string::npos) << err.str();

    radio.options.faults.clear();
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(std::string(radio.memory.begin() + 0x1300, radio.memory.begin() + 0x1306), "EDITED");
}

TEST_F(CliSafeTest, NoVerifyGoesWithProgramOnly) {
    EXPECT_EQ(Run({"--no-verify", "check", "a.dat"}), kExitUsage);
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("--no-verify"), std::string::npos);
}

// ---- program: backup and restore ---------------------------------------------------------------

TEST_F(CliSafeTest, ProgramBackupKeepsTheRadiosPreviousMemoryAndRestoresIt) {
    const std::string uk = FactorySettings();
    Write("boat.dat", WithValue(uk, "CHUSA1", "ChTag", "#BOAT"));
    const std::string before(radio.memory.begin(), radio.memory.end());

    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("before.hex")}),
              kExitOk)
        << err.str();
    EXPECT_EQ(ReadFile(folder / "before.hex"), before);
    EXPECT_EQ(std::string(radio.memory.begin() + 0x1300, radio.memory.begin() + 0x1304), "BOAT");

    ASSERT_EQ(Run({"--region", "UK", "program", Path("before.hex")}), kExitOk) << err.str();
    EXPECT_EQ(std::string(radio.memory.begin(), radio.memory.end()), before);
}

TEST_F(CliSafeTest, ProgramWithoutBackupOptionWritesNoBackup) {
    const std::string uk = FactorySettings();
    Write("boat.dat", uk);
    const auto filesBefore = std::distance(fs::directory_iterator(folder), {});
    ASSERT_EQ(Run({"--region", "UK", "program", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), filesBefore);
}

TEST_F(CliSafeTest, FailedBackupReadWritesNothingAndSaysSo) {
    const std::string uk = FactorySettings();
    Write("boat.dat", WithValue(uk, "CHUSA1", "ChTag", "#BOAT"));
    const auto before = radio.memory;
    radio.options.faults = {{sim::FaultKind::NoAnswer, 40, 3}};
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("before.hex")}),
              kExitFailed);
    EXPECT_FALSE(fs::exists(folder / "before.hex"));
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(radio.memory, before);
    EXPECT_NE(err.str().find("Communication Error!!\nProgramming stopped before anything was "
                             "written: nothing in the radio was changed.\n"),
              std::string::npos)
        << err.str();
}

TEST_F(CliSafeTest, FailureAfterWritingBeganNamesTheBackupToRestore) {
    const std::string uk = FactorySettings();
    Write("boat.dat", WithValue(uk, "CHUSA1", "ChTag", "#BOAT"));
    // The backup read takes requests 6 to 517; the writes follow the two identity reads.
    radio.options.faults = {{sim::FaultKind::NoAnswer, 600, 3}};
    EXPECT_EQ(Run({"--region", "UK", "program", Path("boat.dat"), "--backup", Path("before.hex")}),
              kExitFailed);
    EXPECT_TRUE(fs::exists(folder / "before.hex"));
    EXPECT_NE(
        err.str().find("Programming stopped after it had begun writing: the radio may now "
                       "hold a partly written configuration.\nTo recover, program the "
                       "radio again, or restore its previous configuration from the backup " +
                       Path("before.hex") + " (mrw-cli program " + Path("before.hex") + ").\n"),
        std::string::npos)
        << err.str();
}

TEST_F(CliSafeTest, BackupUsageErrors) {
    EXPECT_EQ(Run({"--region", "UK", "program", "a.dat", "--backup", "b.dat"}), kExitUsage);
    EXPECT_EQ(Run({"read", "-o", "a.dat", "--backup", "b.hex"}), kExitUsage);
    EXPECT_EQ(Run({"--region", "UK", "program", "a.dat", "--backup"}), kExitUsage);
}

}  // namespace
}  // namespace mrw::cli
