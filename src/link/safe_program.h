// Programming that keeps the radio's previous configuration and checks what it wrote: before
// the first write the whole radio is read (the read of Read from Radio, into a scratch buffer)
// and kept as a raw image file, the differences programming will make can be shown and
// refused, every address written is read back and compared afterwards, and a program that
// stops says what it leaves in the radio and how to recover.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/config.h"
#include "files/config_diff.h"
#include "link/radio_image.h"
#include "link/transfer.h"

namespace mrw {

/// The words every verify failure message starts with.
inline constexpr const char* kVerifyFailed = "Verify failed";
/// Reads of the verify pass join written ranges closer than this many bytes: reading a few
/// bytes more costs less than one request more.
inline constexpr int kVerifyJoinGap = 32;

/// The file name of a backup: <model>_<region>_<UTC yyyyMMdd-HHmmss>.hex.
std::string BackupFileName(const std::string& modelName, const std::string& regionName,
                           std::chrono::system_clock::time_point when);

/// What a backup file's name says: model, region and the UTC time it was made.
struct BackupName {
    std::string model;
    std::string region;
    /// "yyyy-MM-dd HH:mm:ss UTC".
    std::string time;
};
/// Parses a name made by BackupFileName; nothing for any other name.
std::optional<BackupName> ParseBackupFileName(const std::string& fileName);

/// The question before a restore: names the backup's model, region and time, and its file.
std::string RestoreQuestion(const BackupName& backup, const std::string& file);

/// "Verify failed: the radio holds different data at N addresses (first at 0xADDR). Program
/// it again."
std::string VerifyFailedText(int count, int firstAddress);

/// The address ranges a read pass covers to read back `written` (sorted and joined when
/// closer than kVerifyJoinGap, then cut into requests of at most 64 bytes).
std::vector<transfermap::AddressRange> VerifyReads(std::vector<transfermap::AddressRange> written);

/// How one program run is guarded.
struct SafeProgramOptions {
    /// Keep the radio's image before writing: into `backupFile` when given, otherwise under a
    /// generated name (BackupFileName) in `backupFolder`, which is made when missing.
    bool backup = false;
    std::filesystem::path backupFolder;
    std::filesystem::path backupFile;
    /// Read back every address written and compare it with what was sent.
    bool verify = true;
    /// Write every step of the program map. Otherwise, when the radio is read before writing
    /// (`backup` or `preview`), only the steps whose bytes differ from that read are written
    /// (ProgramStepChanges), and verify reads back only those: the radio ends as it would
    /// after writing every step.
    bool full = false;
    /// Shown, after the backup read, the differences programming will make in the radio's
    /// decoded configuration; false cancels the program before anything is written. Without
    /// it (and without `backup`) the radio is not read before writing.
    std::function<bool(const std::vector<Difference>&)> preview;
    /// How the user puts a backup file back ("Transfer > Restore Radio from Backup…"),
    /// named with the file in the messages; nothing when empty.
    std::function<std::string(const std::string& file)> restoreHint;
    /// With a backup read, the radio's own records inside the blocks programming writes (its
    /// DSC TX logs) are taken from that read, so that programming keeps them; false for an
    /// image that holds them itself (a raw image file, a backup being restored).
    bool keepRadioRecords = true;
    /// What the radio is taken to hold when it is not read before writing (the default image
    /// of the model and region, or what was last read from it): the settings kept in the file
    /// only are counted against it. Without it, the program's default image of the model.
    std::optional<Image> assumedRadio;
    /// Called as the run moves into a stage ("Reading the radio for its backup…",
    /// "Writing…", "Verifying…").
    std::function<void(const std::string& stage)> onStage;
};

/// The guard a program Transfer runs with (Transfer::SetProgramGuard).
class SafeProgram : public ProgramGuard {
public:
    SafeProgram(Config& config, SafeProgramOptions options);

    Outcome BeforeWrite(Transfer& transfer) override;
    Outcome AfterWrite(Transfer& transfer, Outcome outcome) override;
    void Ended(Transfer& transfer, Outcome outcome) override;
    /// "Kept in the file only: N settings" when the configuration holds N settings that
    /// programming does not carry and that a read of the programmed radio would give back
    /// otherwise (KeptInFileOnly): against the radio's own bytes when it was read before
    /// writing, else against `assumedRadio`; empty when there are none.
    std::string CompletionNote() const override;
    /// The radio's image read before this run's writes, unless `full` or it was not read.
    const Image* RadioBeforeWrite() const override;

    const SafeProgramOptions& Options() const { return options_; }
    /// The backup file the last run wrote; empty when it wrote none.
    const std::filesystem::path& BackupFile() const { return backupFile_; }
    /// The radio's image read before the last run's writes, if it was read.
    const std::optional<Image>& RadioImage() const { return radioImage_; }
    /// The differences the last run's preview showed: what programming changes in the
    /// radio's configuration, then what it changes in the radio's own records and counts
    /// (RadioRecordChanges), then the settings kept in the file only (marked notWritten).
    const std::vector<Difference>& Previewed() const { return previewed_; }
    /// Addresses whose read-back differed in the last run, in order.
    const std::vector<int>& Mismatches() const { return mismatches_; }

private:
    enum class Stage { Checks, Backup, Writing, Verifying };

    Outcome ReadBackup(Transfer& transfer);
    Outcome SaveBackup(Transfer& transfer);
    Outcome Preview();
    Outcome Verify(Transfer& transfer);
    std::string RecoveryText() const;
    void EnterStage(Stage stage, const char* text);

    Config& config_;
    SafeProgramOptions options_;
    Stage stage_ = Stage::Checks;
    std::filesystem::path backupFile_;
    std::optional<Image> radioImage_;
    std::vector<Difference> previewed_;
    std::vector<int> mismatches_;
};

}  // namespace mrw
