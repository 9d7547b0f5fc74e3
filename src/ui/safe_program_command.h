// The main window's safeguards of programming: the Options entries "Back Up Radio Before
// Programming", "Verify After Programming" and "Write Every Block When Programming", the guard
// every program dialog runs with (backup read, preview, the write pass, verify), and the
// Transfer menu's "Restore Radio from Backup…".
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/safe_program.h"

class QAction;

namespace mrw {

class MainWindow;
class TransferDialog;

/// Settings store section and keys of the Options entries ("1" on, "0" off; the backup and the
/// verify are on when missing, writing every block is off).
inline constexpr const char* kSafeProgramSection = "Settings";
inline constexpr const char* kBackupBeforeProgramKey = "BackupBeforeProgram";
inline constexpr const char* kVerifyAfterProgramKey = "VerifyAfterProgram";
inline constexpr const char* kWriteEveryBlockKey = "WriteEveryBlock";
/// How the messages tell the user to put a backup back.
inline constexpr const char* kRestoreMenuPath = "Transfer > Restore Radio from Backup\u2026";

/// The per-user folder of the backups: the application's data location + "/backups".
std::filesystem::path DefaultBackupFolder();

/// The safeguards of one main window; a child object of the window.
class SafeProgramming : public QObject {
    Q_OBJECT
public:
    SafeProgramming(MainWindow& window, Config& config, std::filesystem::path backupFolder);

    /// Where backups are written and where the restore dialog opens.
    const std::filesystem::path& BackupFolder() const { return backupFolder_; }
    void SetBackupFolder(std::filesystem::path folder) { backupFolder_ = std::move(folder); }
    /// Replaces the preview dialog (for tests): called with the differences, true programs.
    void SetPreview(std::function<bool(const std::vector<Difference>&)> preview) {
        preview_ = std::move(preview);
    }
    /// Whether the Options entries are on, as stored.
    bool BackupEnabled() const;
    bool VerifyEnabled() const;
    /// Whether programming writes every block, also those the backup read shows the radio
    /// holds already.
    bool WriteEveryBlockEnabled() const;

    /// Makes the guard of a program dialog and gives it to the dialog's transfer; the guard
    /// lives as long as the dialog.
    void GuardProgramDialog(TransferDialog& dialog);

    /// "Restore Radio from Backup…": a backup chosen in the backups folder, the question naming
    /// its model, region and time, the backup opened as a raw image is opened, then programmed
    /// and verified.
    void RestoreCommand();

private:
    void ToggleOption(QAction* action, const char* key);

    MainWindow& window_;
    Config& config_;
    std::filesystem::path backupFolder_;
    std::function<bool(const std::vector<Difference>&)> preview_;
    std::unique_ptr<SafeProgram> guard_;
    /// A restore programs with verify whatever the Options entry says.
    bool restoring_ = false;
};

/// Adds the safeguards to the window (once); later calls return the same object.
SafeProgramming& InstallSafeProgramming(MainWindow& window, Config& config,
                                        std::filesystem::path backupFolder);
/// The window's safeguards, or null when none were installed.
SafeProgramming* SafeProgrammingOf(MainWindow& window);

}  // namespace mrw
