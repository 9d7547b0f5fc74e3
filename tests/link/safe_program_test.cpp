// Programming with its safeguards, against the in-process simulated radio: the backup file is
// the radio's memory before the program, a failed or cancelled backup read writes nothing, the
// preview lists what the radio will hold, a dropped write fails the verify with its address, a
// restore puts the backup's bytes back, and a stopped program says what it leaves.
#include "link/safe_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "files/hex_file.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/radio_image.h"
#include "link_fixture.h"
#include "model/regions.h"
#include "test_files.h"

namespace mrw::testing {
namespace {

namespace fs = std::filesystem;
namespace tm = transfermap;

using sim::Fault;
using sim::FaultKind;

constexpr const char* kNothingChanged =
    "Programming stopped before anything was written: nothing in the radio was changed.";
constexpr const char* kPartlyWritten =
    "Programming stopped after it had begun writing: the radio may now hold a partly written "
    "configuration.\r\n";
constexpr const char* kRestoreHint = "Transfer > Restore Radio from Backup\u2026";

/// 2024-05-01 12:34:56 UTC.
constexpr std::chrono::system_clock::time_point kBackupTime{std::chrono::seconds(1714566896)};

/// Virtual time whose wall clock stands still at kBackupTime.
class FixedWallClock : public VirtualClock {
public:
    std::chrono::system_clock::time_point Now() override { return kBackupTime; }
};

std::vector<uint8_t> Bytes(const sim::RadioMemory& memory) {
    return {memory.begin(), memory.end()};
}

/// The lines of link/preview_lines.txt a preview shows in `scenario`.
std::vector<std::string> PreviewLines(const std::string& scenario) {
    std::vector<std::string> lines;
    for (const Case& c : ReadCases(TestData("link/preview_lines.txt"))) {
        if (c[0] == scenario) {
            lines.push_back(c[1]);
        }
    }
    return lines;
}

class SafeProgramTest : public LinkTest {
protected:
    SafeProgramTest() {
        // The radio keeps the fixture's clock; it emulates no byte times.
        config.services.clock = &wallClock;
        config.state.ModelName = "HV2300";
        NewImage(config.image, config.model, 1);
        config.image.bytes[271] = 0;
        RebuildWeatherTable(config.model);
        DecodeImage(config.image, config.model);

        // The radio holds another configuration (one directory entry), and a DSC log of its own.
        Image radioImage = config.image;
        DataModel radioModel = config.model;
        radioModel.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
        EXPECT_TRUE(EncodeImage(radioModel, radioImage));
        PrepareImageForWrite(radioImage, radioModel);
        UpdateChecksum(radioImage);
        std::copy(radioImage.bytes.begin(), radioImage.bytes.end(), radio.memory.begin());
        radio.memory[0x6900] = 0x42;

        folder = fs::temp_directory_path() /
                 ("mrw_safe_" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
    }
    ~SafeProgramTest() override { fs::remove_all(folder); }

    SafeProgramOptions BackupOptions() {
        SafeProgramOptions options;
        options.backup = true;
        options.backupFolder = folder / "backups";
        options.restoreHint = [](const std::string&) { return std::string(kRestoreHint); };
        return options;
    }

    /// One OK press of a program dialog guarded by `guard`.
    bool Program(SafeProgram& guard) {
        Transfer transfer(config, radio, ui, kModeProgram);
        transfer.SetProgramGuard(&guard);
        return transfer.RunOk();
    }

    /// `options` whose preview records the lines it shows and goes on.
    SafeProgramOptions Previewing(SafeProgramOptions options = {}) {
        options.preview = [this](const std::vector<Difference>& differences) {
            writesAtPreview = radio.CountOf("#QKPWR");
            for (const Difference& d : differences) {
                shown.push_back(DifferenceLine(d));
            }
            return true;
        };
        return options;
    }

    /// The files in the backup folder (none when there is no folder).
    std::vector<fs::path> Backups() const {
        std::error_code error;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(folder / "backups", error)) {
            files.push_back(entry.path());
        }
        return files;
    }

    /// Index of the last write request the radio received (-1 when none).
    int LastWrite() const {
        const auto& requests = radio.Requests();
        const auto last =
            std::find_if(requests.rbegin(), requests.rend(),
                         [](const sim::RadioRequest& r) { return r.word == "#QKPWR"; });
        return static_cast<int>(requests.rend() - last) - 1;
    }

    FixedWallClock wallClock;
    fs::path folder;
    std::vector<std::string> shown;  // by Previewing()
    int writesAtPreview = -1;
};

// ---- Backup -----------------------------------------------------------------------------------

TEST_F(SafeProgramTest, BackupFileHoldsTheRadiosMemoryBeforeTheProgram) {
    const std::vector<uint8_t> before = Bytes(radio.memory);
    SafeProgram guard(config, BackupOptions());
    EXPECT_TRUE(Program(guard));

    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    const fs::path expected = folder / "backups" / "HV2300_INTL_20240501-123456.hex";
    EXPECT_EQ(Backups(), std::vector<fs::path>{expected});
    EXPECT_EQ(guard.BackupFile(), expected);
    EXPECT_EQ(ReadFileBytes(expected), before);
    // The program went on: the directory entry the window does not hold is gone from the radio.
    EXPECT_NE(Bytes(radio.memory), before);
    EXPECT_EQ(radio.memory[0x6900], 0x42);  // the radio's own log is no part of programming
    // A second backup in the same second keeps the first.
    EXPECT_TRUE(Program(guard));
    EXPECT_EQ(Backups().size(), 2u);
    EXPECT_EQ(guard.BackupFile(), folder / "backups" / "HV2300_INTL_20240501-123456-2.hex");
    // A backup into a named file.
    SafeProgramOptions named;
    named.backup = true;
    named.backupFile = folder / "out.hex";
    const std::vector<uint8_t> programmed = Bytes(radio.memory);
    SafeProgram namedGuard(config, named);
    EXPECT_TRUE(Program(namedGuard));
    EXPECT_EQ(ReadFileBytes(folder / "out.hex"), programmed);
}

TEST_F(SafeProgramTest, FailedOrCancelledBackupReadWritesNothing) {
    const std::vector<uint8_t> before = Bytes(radio.memory);
    // Requests 1 to 5 are the status, model, product and region checks; the backup read
    // follows. Request 40 goes unanswered through all its retries.
    radio.options.faults = {{FaultKind::NoAnswer, 40, 3}};
    SafeProgram guard(config, BackupOptions());
    EXPECT_FALSE(Program(guard));  // the dialog stays open for another try
    EXPECT_EQ(prompt.Texts(), (std::vector<std::string>{"Communication Error!!", kNothingChanged}));
    EXPECT_TRUE(config.state.ErrorFlag);

    radio.options.faults.clear();
    prompt.messages.clear();
    wallClock.onPump = [&] {
        if (radio.CountOf("#QKPRD") == 100 && !config.state.CancelFlag) {
            config.state.CancelFlag = true;  // the Cancel button
        }
    };
    Program(guard);
    EXPECT_EQ(radio.CountOf("0x18"), 1);  // the read was aborted
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kNothingChanged});
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(Bytes(radio.memory), before);
    EXPECT_TRUE(Backups().empty());
    EXPECT_FALSE(config.state.TransferDone);

    // A cancelled preview writes nothing either; the cancel closes the dialog.
    wallClock.onPump = nullptr;
    config.state.CancelFlag = false;
    prompt.messages.clear();
    SafeProgramOptions options = BackupOptions();
    options.preview = [](const std::vector<Difference>&) { return false; };
    SafeProgram previewed(config, options);
    EXPECT_TRUE(Program(previewed));
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(Bytes(radio.memory), before);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kNothingChanged});
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_FALSE(config.state.TransferDone);
}

// ---- Preview ----------------------------------------------------------------------------------

TEST_F(SafeProgramTest, PreviewListsWhatTheRadioWillHoldBeforeAnythingIsWritten) {
    SafeProgram guard(config, Previewing(BackupOptions()));
    EXPECT_TRUE(Program(guard));
    EXPECT_EQ(writesAtPreview, 0);
    EXPECT_EQ(shown, PreviewLines("directory entry"));

    // The radio now holds the same configuration: nothing to show. It holds a user MMSI, which
    // programming never replaces, so the preview does not promise the window's.
    const uint8_t mmsi[5] = {0x23, 0x20, 0x01, 0x23, 0x40};
    std::copy(mmsi, mmsi + 5, radio.memory.begin() + 640);
    std::copy(radio.memory.begin(), radio.memory.end(), config.image.bytes.begin());
    DecodeImage(config.image, config.model);
    config.model.DscBasic.UserMmsi = "2359999990";
    shown.clear();
    const int writes = radio.CountOf("#QKPWR");
    SafeProgram again(config, Previewing());
    EXPECT_TRUE(Program(again));
    EXPECT_EQ(writesAtPreview, writes);
    EXPECT_EQ(shown, std::vector<std::string>{});
    EXPECT_EQ(radio.memory[640], 0x23);
}

// ---- What programming leaves alone and what it cannot carry ------------------------------------

/// A DSC TX log byte the radio holds at `address`: never 0xFF.
uint8_t LogByte(int address) {
    return static_cast<uint8_t>((address * 7) % 251);
}

TEST_F(SafeProgramTest, AProgramThatReadsTheRadioFirstKeepsItsDscTxLogs) {
    // The six short DSC TX logs, 0x300-0x35F ... 0x580-0x5DF, hold entries; a settings file
    // holds none of them.
    const auto logs = [](int a) { return a >= 0x300 && a < 0x600 && a % 0x80 < 0x60; };
    for (int a = 0x300; a < 0x600; ++a) {
        radio.memory[static_cast<size_t>(a)] = logs(a) ? LogByte(a) : radio.memory[a];
    }
    SafeProgram guard(config, BackupOptions());
    EXPECT_TRUE(Program(guard));
    for (int a = 0x300; a < 0x600; ++a) {
        ASSERT_TRUE(!logs(a) || radio.memory[static_cast<size_t>(a)] == LogByte(a)) << a;
    }
    // The gaps between them are the image's, as before.
    EXPECT_EQ(radio.memory[0x360], 0xFF);
}

TEST_F(SafeProgramTest, WithoutABackupThePreviewNamesTheLogsProgrammingErases) {
    radio.memory[0x300] = 0x12;
    radio.memory[0x5DF] = 0x34;
    // A new user MMSI: the radio's count goes from 0 to 1.
    radio.memory[645] = 0x00;
    config.model.DscBasic.UserMmsi = "2359999990";
    SafeProgram guard(config, Previewing());
    EXPECT_TRUE(Program(guard));
    EXPECT_EQ(shown, PreviewLines("logs erased"));
    EXPECT_EQ(radio.memory[0x300], 0xFF);
    EXPECT_EQ(radio.memory[0x5DF], 0xFF);
    EXPECT_EQ(radio.memory[645], 0x01);
}

TEST_F(SafeProgramTest, CompletionAndPreviewNameTheSettingsKeptInTheFileOnly) {
    // The radio holds Group2 usable (its block at 320 is never written); the auto position
    // report (record 0) and the "POS Reporting" beep have no image bytes.
    ASSERT_EQ(radio.memory[320], 0x01);
    config.model.Groups[1].Usable = false;
    config.model.AutoPos.Records[0].RcEnable = true;
    config.model.DscBasic.BeepOut[7] = true;
    config.model.Common.Scan = !config.model.Common.Scan;  // written: no part of it
    SafeProgram guard(config, Previewing(BackupOptions()));
    EXPECT_TRUE(Program(guard));
    std::vector<std::string> kept;
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(kept),
                 [](const std::string& l) { return l.ends_with("(not written to the radio)"); });
    EXPECT_EQ(kept, PreviewLines("kept in the file"));
    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{"Complete!!\r\nKept in the file only: 3 settings"});
    EXPECT_EQ(radio.memory[320], 0x01);
}

// ---- Verify -----------------------------------------------------------------------------------

TEST_F(SafeProgramTest, VerifyReadsBackEveryAddressWrittenAfterTheLastWrite) {
    SafeProgram guard(config, SafeProgramOptions{});
    EXPECT_TRUE(Program(guard));
    std::vector<int> seen(kImageSize, 0);  // 1: written, 2: read back after the last write
    const auto& requests = radio.Requests();
    const int last = LastWrite();
    for (int i = 0; i < static_cast<int>(requests.size()); ++i) {
        const sim::RadioRequest& r = requests[static_cast<size_t>(i)];
        const int bit = r.word == "#QKPWR" ? 1 : r.word == "#QKPRD" && i > last ? 2 : 0;
        for (int a = r.address; r.address >= 0 && a < r.address + r.count; ++a) {
            seen[static_cast<size_t>(a)] |= bit;
        }
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 0);  // written, never read back
    EXPECT_GT(std::count(seen.begin(), seen.end(), 3), 16000);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});

    // Without verify nothing is read after the writes.
    SafeProgramOptions options;
    options.verify = false;
    SafeProgram unverified(config, options);
    EXPECT_TRUE(Program(unverified));
    EXPECT_EQ(static_cast<int>(radio.Requests().size()) - 1, LastWrite());
}

TEST_F(SafeProgramTest, DroppedWriteFailsTheVerifyNamingTheFirstAddress) {
    for (const Case& c : ReadCases(TestData("link/dropped_writes.txt"))) {
        SCOPED_TRACE(c.where);
        const int address = std::stoi(c[0], nullptr, 16);
        const int count = std::stoi(c[1]);
        // The radio holds other bytes there than the program sends.
        Image sent = config.image;
        DataModel model = config.model;
        ASSERT_TRUE(EncodeImage(model, sent));
        PrepareImageForWrite(sent, model);
        UpdateChecksum(sent);
        for (int a = address; a < address + count; ++a) {
            radio.memory[static_cast<size_t>(a)] =
                static_cast<uint8_t>(sent.bytes[static_cast<size_t>(a)] ^ 0xFF);
        }
        radio.options.faults = {
            Fault{.kind = FaultKind::DropWrite, .count = count, .address = address}};
        prompt.messages.clear();
        config.state.ErrorFlag = false;
        SafeProgram guard(config, c.fields.size() > 3 ? BackupOptions() : SafeProgramOptions{});
        EXPECT_FALSE(Program(guard));  // the dialog stays open: OK programs it again
        std::string box = c[2];
        if (const size_t at = box.find("{backup}"); at != std::string::npos) {
            box.replace(at, 8, (folder / "backups" / "HV2300_INTL_20240501-123456.hex").string());
        }
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{box});
        EXPECT_TRUE(config.state.ErrorFlag);
        EXPECT_FALSE(config.state.TransferDone);
        ASSERT_FALSE(guard.Mismatches().empty());
        EXPECT_EQ(guard.Mismatches().front(), address);
    }
}

// ---- Stopped programs ------------------------------------------------------------------------

TEST_F(SafeProgramTest, CancelAfterWritingBeganSaysThePartlyWrittenRadioAndHowToRecover) {
    wallClock.onPump = [&] {
        if (radio.CountOf("#QKPWR") == 50 && !config.state.CancelFlag) {
            config.state.CancelFlag = true;
        }
    };
    SafeProgramOptions options = BackupOptions();
    options.full = true;  // every block, so that the 50th write comes
    SafeProgram guard(config, options);
    Program(guard);
    EXPECT_EQ(radio.CountOf("#QKPWR"), 50);
    EXPECT_EQ(prompt.Texts(),
              std::vector<std::string>{
                  std::string(kPartlyWritten) +
                  "To recover, program the radio again, or restore its previous configuration "
                  "from the backup " +
                  (folder / "backups" / "HV2300_INTL_20240501-123456.hex").string() + " (" +
                  kRestoreHint + ")."});

    // A failure after writing began, without a backup. Status, three check reads, region,
    // two user-identity reads: the writes start at 8.
    wallClock.onPump = nullptr;
    config.state.CancelFlag = false;
    prompt.messages.clear();
    radio.options.faults = {{FaultKind::NoAnswer, radio.FramedCount() + 30, 3}};
    SafeProgram unguarded(config, SafeProgramOptions{});
    EXPECT_FALSE(Program(unguarded));
    EXPECT_EQ(prompt.Texts(),
              (std::vector<std::string>{
                  "Communication Error!!",
                  std::string(kPartlyWritten) + "To recover, program the radio again."}));
}

TEST_F(SafeProgramTest, RefusedChecksOrAnUnsavableBackupSayNothingWasChanged) {
    radio.memory[271] = 3;  // another region; No is the default answer
    SafeProgram guard(config, BackupOptions());
    EXPECT_FALSE(Program(guard));
    EXPECT_EQ(prompt.Texts().back(), kNothingChanged);
    EXPECT_TRUE(Backups().empty());

    radio.memory[271] = 0;
    fs::create_directories(folder);
    std::ofstream(folder / "backups") << "a file where the folder should be";
    prompt.messages.clear();
    EXPECT_FALSE(Program(guard));
    EXPECT_EQ(radio.CountOf("#QKPWR"), 0);
    EXPECT_EQ(prompt.Texts().back(), kNothingChanged);
}

// ---- Restore ----------------------------------------------------------------------------------

TEST_F(SafeProgramTest, RestorePutsTheBackupsBytesBackIntoTheRadio) {
    const std::vector<uint8_t> before = Bytes(radio.memory);
    SafeProgram first(config, BackupOptions());
    ASSERT_TRUE(Program(first));
    ASSERT_NE(Bytes(radio.memory), before);

    // The backup opened as a raw image is opened, then programmed with verify.
    config.state.ErrorFlag = false;
    ASSERT_TRUE(OpenHexFile(config, first.BackupFile()));
    SafeProgram restore(config, SafeProgramOptions{});
    prompt.messages.clear();
    EXPECT_TRUE(Program(restore));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_EQ(Bytes(radio.memory), before);
}

// ---- Plain functions --------------------------------------------------------------------------

TEST(ProgrammedImageTest, TakesTheProgramMapsBytesAndKeepsTheRadiosOwn) {
    Image radio;
    radio.bytes.fill(0x11);
    radio.Fill(640, 5, 0xFF);  // no user MMSI in the radio: the program's is new
    radio.Set(645, 7);         // the radio's ATIS code (646..650) stays
    Image programmed;
    programmed.bytes.fill(0x22);
    const Image after = ProgrammedImage(radio, programmed);
    for (const Case& c : ReadCases(TestData("link/programmed_image.txt"))) {
        for (int a = std::stoi(c[0]); a <= std::stoi(c[1]); ++a) {
            ASSERT_EQ(after.Get(a), std::stoi(c[2], nullptr, 16)) << c.where << " " << a;
        }
    }
}

TEST(VerifyReadsTest, JoinsCloseRangesAndCutsThemIntoBlocks) {
    auto ranges = [](const std::string& text) {
        std::vector<tm::AddressRange> out;
        for (const Span& s : Spans(text)) {
            out.push_back({s.first, s.last});
        }
        return out;
    };
    for (const Case& c : ReadCases(TestData("link/verify_reads.txt"))) {
        std::string reads;
        for (const tm::AddressRange& r : VerifyReads(ranges(c[0]))) {
            reads +=
                (reads.empty() ? "" : " ") + std::to_string(r.first) + "-" + std::to_string(r.last);
        }
        EXPECT_EQ(reads, c[1]) << c.where;
    }
}

TEST(BackupNameTest, MadeAndReadBack) {
    for (const Case& c : ReadCases(TestData("link/backup_names.txt"))) {
        SCOPED_TRACE(c.where);
        if (c[0] == "make") {
            EXPECT_EQ(BackupFileName(c[1], c[2], kBackupTime), c[3]);
            continue;
        }
        const std::optional<BackupName> name = ParseBackupFileName(c[1]);
        EXPECT_EQ(name.has_value(), c.fields.size() > 2);
        if (name && c.fields.size() > 2) {
            EXPECT_EQ(std::vector<std::string>({name->model, name->region, name->time}),
                      std::vector<std::string>(c.fields.begin() + 2, c.fields.end()));
        }
    }
    const BackupName name{"HV2400", "GRMN", "2023-12-31 23:59:59 UTC"};
    EXPECT_EQ(RestoreQuestion(name, "/b/HV2400_GRMN_20231231-235959.hex"),
              "Restore the radio from the backup of its HV2400 configuration, region GRMN, made "
              "2023-12-31 23:59:59 UTC?\r\n/b/HV2400_GRMN_20231231-235959.hex\r\nThe radio is "
              "programmed with the backup and verified.");
}

TEST_F(SafeProgramTest, ReadRadioImageGivesTheRadiosBytesWithoutTakingThem) {
    radio.memory[271] = 3;  // another region: no question is asked
    const Image image = config.image;
    const DataModel model = config.model;
    bool connected = false;
    const auto bytes = ReadRadioImage(config, radio, ui, &connected);
    EXPECT_TRUE(connected);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, Bytes(radio.memory));
    EXPECT_EQ(config.image.bytes, image.bytes);
    EXPECT_EQ(config.model, model);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(radio.IsOpen());
}

}  // namespace
}  // namespace mrw::testing
