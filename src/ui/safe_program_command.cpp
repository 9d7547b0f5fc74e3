#include "ui/safe_program_command.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <fstream>
#include <string_view>
#include <system_error>

#include "files/hex_file.h"
#include "image/check_map.h"
#include "link/transfer.h"
#include "model/catalogue.h"
#include "platform/qt_folders.h"
#include "ui/main_window.h"
#include "ui/program_preview.h"
#include "ui/transfer_dialog.h"

namespace mrw {

namespace {

constexpr const char* kOn = "1";
constexpr const char* kOff = "0";

/// An Options entry as stored: the safeguards are on unless "0" is stored, writing every block
/// is off unless "1" is.
bool StoredFlag(Config& config, const char* key) {
    if (std::string_view(key) == kWriteEveryBlockKey) {
        return config.settings().Get(kSafeProgramSection, key, kOff) == kOn;
    }
    return config.settings().Get(kSafeProgramSection, key, kOn) != kOff;
}

/// What the restore question says of a backup: its file name when MRW made it, otherwise the
/// model of the window, the region byte of the file and the file's time.
BackupName DescribeBackup(Config& config, const std::filesystem::path& path) {
    if (std::optional<BackupName> name = ParseBackupFileName(path.filename().string())) {
        return *name;
    }
    BackupName name;
    name.model = config.state.ModelName;
    std::ifstream in(path, std::ios::binary);
    in.seekg(checkmap::kRegionAddress);
    char region = 0;
    name.region = in.get(region) ? RegionName(static_cast<uint8_t>(region)) : "?";
    const QDateTime time = QFileInfo(QStringFromPath(path)).lastModified().toUTC();
    name.time = time.toString("yyyy-MM-dd HH:mm:ss").toStdString() + " UTC";
    return name;
}

}  // namespace

std::filesystem::path DefaultBackupFolder() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return PathFromQString(data) / "backups";
}

SafeProgramming::SafeProgramming(MainWindow& window, Config& config,
                                 std::filesystem::path backupFolder)
    : QObject(&window), window_(window), config_(config), backupFolder_(std::move(backupFolder)) {
    setObjectName("safeProgramming");

    if (auto* transfer = window.findChild<QMenu*>("mnuTransfer")) {
        transfer->addSeparator();
        QAction* restore =
            transfer->addAction(QString::fromUtf8("Restore Radio from &Backup\u2026"));
        restore->setObjectName("mnuTransferRestore");
        restore->setStatusTip("Program the radio with a backup kept before an earlier program");
        window.ConnectCommand(restore, [this] { RestoreCommand(); });
    }
    if (auto* options = window.findChild<QMenu*>("mnuOptions")) {
        QAction* before = window.findChild<QAction*>("mnuOptionsHexdump");
        auto add = [&](const char* name, const char* caption, const char* tip, const char* key) {
            auto* action = new QAction(QString::fromUtf8(caption), options);
            action->setObjectName(name);
            action->setCheckable(true);
            action->setStatusTip(QString::fromUtf8(tip));
            action->setChecked(StoredFlag(config_, key));
            options->insertAction(before, action);
            window.ConnectCommand(action, [this, action, key] { ToggleOption(action, key); });
            // Shown as stored each time the menu opens.
            connect(options, &QMenu::aboutToShow, action,
                    [this, action, key] { action->setChecked(StoredFlag(config_, key)); });
            return action;
        };
        options->insertSeparator(before);
        add("mnuOptionsBackup", "Back Up Radio Before Programming",
            "Before programming, read the radio, keep its configuration as a backup file and "
            "show what will change",
            kBackupBeforeProgramKey);
        add("mnuOptionsVerify", "Verify After Programming",
            "After programming, read back every address written and compare",
            kVerifyAfterProgramKey);
        add("mnuOptionsWriteEveryBlock", "Write Every Block When Programming",
            "Write every block of the radio's memory, also those the backup read shows it holds "
            "already",
            kWriteEveryBlockKey);
    }
}

bool SafeProgramming::BackupEnabled() const {
    return StoredFlag(config_, kBackupBeforeProgramKey);
}

bool SafeProgramming::VerifyEnabled() const {
    return StoredFlag(config_, kVerifyAfterProgramKey);
}

bool SafeProgramming::WriteEveryBlockEnabled() const {
    return StoredFlag(config_, kWriteEveryBlockKey);
}

void SafeProgramming::ToggleOption(QAction* action, const char* key) {
    config_.settings().Set(kSafeProgramSection, key, action->isChecked() ? kOn : kOff);
}

void SafeProgramming::GuardProgramDialog(TransferDialog& dialog) {
    SafeProgramOptions options;
    // One switch: the backup read is what the preview compares with.
    options.backup = BackupEnabled();
    options.backupFolder = backupFolder_;
    options.verify = restoring_ || VerifyEnabled();
    // After the backup read only what differs from it is written, unless the user asks for
    // every block.
    options.full = WriteEveryBlockEnabled();
    // A backup being put back holds the radio's own records as they were.
    options.keepRadioRecords = !restoring_;
    // Without a backup read the radio is taken to hold what the window's image held before
    // this program encodes into it: the defaults, or what was last read from the radio.
    options.assumedRadio = config_.image;
    if (options.backup && preview_) {
        options.preview = preview_;
    } else if (options.backup) {
        options.preview = [this, &dialog](const std::vector<Difference>& differences) {
            return ShowProgramPreview(differences, guard_->BackupFile().string(), &dialog);
        };
    }
    options.restoreHint = [](const std::string&) { return std::string(kRestoreMenuPath); };
    options.onStage = [&dialog](const std::string& stage) {
        dialog.ShowStatus(QString::fromStdString(stage));
    };
    guard_ = std::make_unique<SafeProgram>(config_, std::move(options));
    dialog.transfer().SetProgramGuard(guard_.get());
    // The guard speaks to this dialog: it goes with it.
    connect(&dialog, &QObject::destroyed, this, [this] { guard_.reset(); });
}

void SafeProgramming::RestoreCommand() {
    if (!window_.CommitPendingEdit() || !window_.OfferToSaveChanges()) {
        return;
    }
    std::error_code ec;
    std::filesystem::create_directories(backupFolder_, ec);
    FileDialogRequest request;
    request.title = "Restore Radio from Backup";
    request.filter = kHexFileFilter;
    request.folder = backupFolder_.string();
    request.mustExist = true;
    const std::string file = config_.prompt().FileDialog(request);
    if (file.empty()) {
        return;
    }
    const BackupName backup = DescribeBackup(config_, file);
    if (ShowMessage(config_, RestoreQuestion(backup, file), Icon::Exclamation, Buttons::YesNo,
                    Answer::No) != Answer::Yes) {
        return;
    }
    window_.SetBusy(true);
    const bool opened = OpenHexFile(config_, file);
    window_.SetBusy(false);
    if (!opened) {
        return;
    }
    restoring_ = true;
    window_.TransferCommand(kModeProgram);
    restoring_ = false;
}

SafeProgramming& InstallSafeProgramming(MainWindow& window, Config& config,
                                        std::filesystem::path backupFolder) {
    if (SafeProgramming* installed = SafeProgrammingOf(window)) {
        return *installed;
    }
    return *new SafeProgramming(window, config, std::move(backupFolder));
}

SafeProgramming* SafeProgrammingOf(MainWindow& window) {
    return window.findChild<SafeProgramming*>("safeProgramming", Qt::FindDirectChildrenOnly);
}

}  // namespace mrw
