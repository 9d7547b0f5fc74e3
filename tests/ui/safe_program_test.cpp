// Programming's safeguards in the desktop program, driven like a user against the in-process
// simulated radio on virtual time: the preview dialog, the Options entries, Program through
// the window with its backup, preview and verify, and Restore Radio from Backup.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "core/config.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer.h"
#include "sim/sim_radio.h"
#include "ui/main_window.h"
#include "ui/program_preview.h"
#include "ui/safe_program_command.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "window_harness.h"

namespace mrw {

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// A main window over a simulated radio that holds one directory entry more than the window.
/// Every transfer dialog presses OK, and closes when the run left it open.
struct Harness : testing::RadioHarness {
    std::vector<QString> statuses;  // the dialog's status line at each stage

    Harness() {
        NewImage(config.image, config.model, 1);
        if (!Load({"/dev/ttyS0", ""})) {
            qFatal("the window did not load");
        }
        InstallTransferDialog(
            *window, config, [this](const AppState&) { return Port(); },
            [this](TransferDialog& dialog) {
                QTimer::singleShot(0, &dialog, [this, &dialog] {
                    dialog.findChild<QPushButton*>("cmdOK")->click();
                    statuses.push_back(dialog.StatusText());
                    if (dialog.isVisible()) {
                        dialog.reject();
                    }
                });
            });
        Safe().SetBackupFolder(Folder() / "backups");
        // The radio holds the window's configuration and one directory entry more.
        Image inRadio = config.image;
        DataModel model = config.model;
        model.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
        if (!EncodeImage(model, inRadio)) {
            qFatal("the radio's configuration cannot be encoded");
        }
        PrepareImageForWrite(inRadio, model);
        UpdateChecksum(inRadio);
        std::ranges::copy(inRadio.bytes, radio.memory.begin());
        window->show();
    }

    SafeProgramming& Safe() { return *SafeProgrammingOf(*window); }
    std::vector<fs::path> Backups() const {
        std::vector<fs::path> files;
        if (fs::exists(Folder() / "backups")) {
            for (const auto& entry : fs::directory_iterator(Folder() / "backups")) {
                files.push_back(entry.path());
            }
        }
        return files;
    }
};

/// While it lives, clicks `button` of every preview dialog that opens and records its summary.
struct PreviewClicker {
    explicit PreviewClicker(const char* button) : button_(button) {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* preview = qobject_cast<ProgramPreviewDialog*>(QApplication::activeModalWidget());
            if (preview == nullptr) {
                return;
            }
            summaries.push_back(preview->findChild<QLabel*>("lblPreviewSummary")->text());
            backups.push_back(preview->findChild<QLabel*>("lblPreviewBackup")->text());
            auto* list = preview->findChild<QTreeWidget*>("tvPreview");
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                headings.push_back(list->topLevelItem(i)->text(0));
            }
            preview->findChild<QPushButton*>(button_)->click();
        });
        timer.start();
    }
    QTimer timer;
    const char* button_;
    QStringList summaries;
    QStringList backups;
    QStringList headings;
};

}  // namespace

class SafeProgramTest : public QObject {
    Q_OBJECT
private slots:
    // ---- The preview dialog alone ----------------------------------------------------------

    void previewListsTheDifferencesBySectionWithTheCount() {
        const std::vector<Difference> differences = {
            {DifferenceKind::Changed, "Common Setup", "SCAN", "0", "1"},
            {DifferenceKind::Changed, "Common Setup", "Resume Time", "2", "5"},
            {DifferenceKind::Added, "CHUSA4", "", "", ""},
        };
        ProgramPreviewDialog dialog(differences);
        QCOMPARE(dialog.windowTitle(), QString("Program to Radio"));
        QCOMPARE(dialog.findChild<QLabel*>("lblPreviewSummary")->text(),
                 QString("Programming will change 3 settings in the radio:"));
        auto* list = dialog.findChild<QTreeWidget*>("tvPreview");
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("[Common Setup]  2 changes"));
        QCOMPARE(list->topLevelItem(0)->child(0)->text(0), QString("SCAN: 0 -> 1"));
        QCOMPARE(list->topLevelItem(0)->child(1)->text(0), QString("Resume Time: 2 -> 5"));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("[CHUSA4]  1 change"));
        QCOMPARE(list->topLevelItem(1)->child(0)->text(0), QString("added"));
        QVERIFY(dialog.findChild<QPushButton*>("cmdProgram")->isDefault());
        QVERIFY(dialog.findChild<QPushButton*>("cmdCancel") != nullptr);
    }

    void previewListsTheSettingsKeptInTheFileOnlyInTheirOwnSection() {
        Difference group{DifferenceKind::Changed, "Usable CH Group Setup", "Group2", "1", "0"};
        group.notWritten = true;
        Difference remote{DifferenceKind::Changed, "DSC Setup (AutoPos Setup)", "RCENABLE0", "0",
                          "1"};
        remote.notWritten = true;
        Difference log{DifferenceKind::Changed, "Image", "0x0300\u20130x035F", "", ""};
        log.note = "DSC TX log, erased by programming";
        const std::vector<Difference> differences = {
            group, {DifferenceKind::Changed, "Common Setup", "SCAN", "0", "1"}, log, remote};
        ProgramPreviewDialog dialog(differences);
        // The settings kept in the file are no change in the radio.
        QCOMPARE(dialog.findChild<QLabel*>("lblPreviewSummary")->text(),
                 QString("Programming will change 2 settings in the radio:"));
        auto* list = dialog.findChild<QTreeWidget*>("tvPreview");
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("[Common Setup]  1 change"));
        QCOMPARE(list->topLevelItem(1)->text(0), QString("[Image]  1 change"));
        QCOMPARE(list->topLevelItem(1)->child(0)->text(0),
                 QString::fromUtf8("0x0300\u20130x035F: DSC TX log, erased by programming"));
        QTreeWidgetItem* kept = list->topLevelItem(2);
        QCOMPARE(kept->text(0), QString("Kept in the file only: 2 settings"));
        QCOMPARE(kept->childCount(), 2);
        QCOMPARE(kept->child(0)->text(0), QString("[Usable CH Group Setup] Group2: 1 -> 0"));
        QCOMPARE(kept->child(1)->text(0), QString("[DSC Setup (AutoPos Setup)] RCENABLE0: 0 -> 1"));
    }

    void previewOfNothingSaysTheRadioHoldsIt() {
        ProgramPreviewDialog dialog({});
        dialog.show();
        QVERIFY(!dialog.findChild<QLabel*>("lblPreviewBackup")->isVisible());
        QCOMPARE(dialog.findChild<QLabel*>("lblPreviewSummary")->text(),
                 QString("The radio already holds this configuration."));
        QVERIFY(!dialog.findChild<QTreeWidget*>("tvPreview")->isVisible());
        QCOMPARE(QString::fromStdString(PreviewSummary(1)),
                 QString("Programming will change 1 setting in the radio:"));
    }

    // ---- Options ---------------------------------------------------------------------------

    void optionsEntriesAreOnByDefaultAndStored() {
        Harness h;
        QAction* backup = h.Action("mnuOptionsBackup");
        QAction* verify = h.Action("mnuOptionsVerify");
        QVERIFY(backup && verify);
        QCOMPARE(backup->text(), QString("Back Up Radio Before Programming"));
        QCOMPARE(verify->text(), QString("Verify After Programming"));
        QVERIFY(backup->isCheckable() && backup->isChecked());
        QVERIFY(verify->isCheckable() && verify->isChecked());
        verify->trigger();
        QCOMPARE(h.settings.Get("Settings", "VerifyAfterProgram"), std::string("0"));
        QVERIFY(!h.Safe().VerifyEnabled());
        QVERIFY(h.Safe().BackupEnabled());
        backup->trigger();
        QCOMPARE(h.settings.Get("Settings", "BackupBeforeProgram"), std::string("0"));
        verify->trigger();
        QCOMPARE(h.settings.Get("Settings", "VerifyAfterProgram"), std::string("1"));
        QCOMPARE(h.Action("mnuTransferRestore")->text(),
                 QString::fromUtf8("Restore Radio from &Backup\u2026"));
    }

    // ---- Program through the window --------------------------------------------------------

    void programBacksUpPreviewsWritesAndVerifies() {
        Harness h;
        const std::vector<uint8_t> before(h.radio.memory.begin(), h.radio.memory.end());
        PreviewClicker clicker("cmdProgram");
        h.Action("mnuTransferProgram")->trigger();

        QCOMPARE(clicker.summaries,
                 QStringList{"Programming will change 3 settings in the radio:"});
        QCOMPARE(clicker.headings, QStringList{"[CHMMSID1]  3 changes"});
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(h.Backups().size(), size_t{1});
        QVERIFY(h.Backups()[0].filename().string().rfind("HV2300_INTL_", 0) == 0);
        QCOMPARE(ReadBytes(h.Backups()[0]), before);
        QCOMPARE(clicker.backups,
                 QStringList{"The radio's present configuration is kept in " +
                             QString::fromStdString(h.Backups()[0].string()) + "."});
        Image now;
        std::copy(h.radio.memory.begin(), h.radio.memory.end(), now.bytes.begin());
        DataModel inRadio;
        DecodeImage(now, inRadio);
        QVERIFY(!inRadio.CHMMSID[0].Enable);
        QCOMPARE(h.statuses, std::vector<QString>{"Complete."});
    }

    void completionNamesTheSettingsKeptInTheFileOnly() {
        Harness h;
        // Group3's block at 336 is never written; Auto POS Report has no image bytes.
        h.config.model.Groups[2].Usable = !h.config.model.Groups[2].Usable;
        h.config.model.AutoPos.Records[0].Enable = true;
        PreviewClicker clicker("cmdProgram");
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(clicker.headings,
                 (QStringList{"[CHMMSID1]  3 changes", "Kept in the file only: 2 settings"}));
        QCOMPARE(h.prompt.Texts(),
                 std::vector<std::string>{"Complete!!\r\nKept in the file only: 2 settings"});
    }

    void cancelInThePreviewWritesNothingAndSaysSo() {
        Harness h;
        const auto before = h.radio.memory;
        PreviewClicker clicker("cmdCancel");
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(clicker.summaries.size(), qsizetype{1});
        QCOMPARE(h.radio.CountOf("#QKPWR"), 0);
        QVERIFY(h.radio.memory == before);
        QCOMPARE(h.prompt.Texts(),
                 std::vector<std::string>{"Programming stopped before anything was written: "
                                          "nothing in the radio was changed."});
        QCOMPARE(h.Backups().size(), size_t{1});  // the backup read had completed
    }

    void withoutBackupThereIsNoReadAndNoPreview() {
        Harness h;
        h.Action("mnuOptionsBackup")->trigger();
        PreviewClicker clicker("cmdProgram");
        h.Action("mnuTransferProgram")->trigger();
        QVERIFY(clicker.summaries.isEmpty());
        QVERIFY(h.Backups().empty());
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
    }

    void droppedWriteFailsTheVerifyInTheWindow() {
        Harness h;
        h.Action("mnuOptionsBackup")->trigger();  // no preview to click
        Image sent = h.config.image;
        DataModel model = h.config.model;
        QVERIFY(EncodeImage(model, sent));
        // A byte of the radio's directory entry, which the program clears: the radio loses
        // that write.
        int address = 18176;
        while (address < 19456 && h.radio.memory[static_cast<size_t>(address)] ==
                                      sent.bytes[static_cast<size_t>(address)]) {
            ++address;
        }
        QVERIFY(address < 19456);
        h.radio.options.faults = {
            sim::Fault{.kind = sim::FaultKind::DropWrite, .address = address}};
        h.Action("mnuTransferProgram")->trigger();
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", address);
        QCOMPARE(h.prompt.Texts(),
                 std::vector<std::string>{"Verify failed: the radio holds different data at 1 "
                                          "address (first at 0x" +
                                          std::string(hex) + "). Program it again."});
        QVERIFY(h.config.state.ErrorFlag);
    }

    // ---- Restore ---------------------------------------------------------------------------

    void restoreAsksNamingTheBackupThenProgramsItBack() {
        Harness h;
        const std::vector<uint8_t> kept(h.radio.memory.begin(), h.radio.memory.end());
        // Programming keeps the radio's memory as a backup, and changes the radio.
        h.Safe().SetPreview([](const std::vector<Difference>&) { return true; });
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(h.Backups().size(), size_t{1});
        QVERIFY(!std::equal(kept.begin(), kept.end(), h.radio.memory.begin()));
        const fs::path backup = h.Folder() / "backups" / "HV2300_INTL_20240501-123456.hex";
        fs::rename(h.Backups()[0], backup);

        h.prompt.messages.clear();
        h.prompt.fileNames = {backup.string()};
        h.prompt.answers = {Answer::Yes};
        h.Action("mnuTransferRestore")->trigger();

        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        QCOMPARE(h.prompt.dialogs[0].folder, (h.Folder() / "backups").string());
        QVERIFY(h.prompt.dialogs[0].mustExist);
        QCOMPARE(
            h.prompt.Texts(),
            (std::vector<std::string>{
                "Restore the radio from the backup of its HV2300 configuration, region "
                "INTL, made 2024-05-01 12:34:56 UTC?\r\n" +
                    backup.string() + "\r\nThe radio is programmed with the backup and verified.",
                "Complete!!"}));
        QVERIFY(std::equal(kept.begin(), kept.end(), h.radio.memory.begin()));
        QCOMPARE(h.config.state.CurrentFileName, backup.string());
    }

    void restoreAnsweredNoProgramsNothing() {
        Harness h;
        fs::create_directories(h.Folder() / "backups");
        const fs::path backup = h.Folder() / "backups" / "HV2300_INTL_20240501-123456.hex";
        testing::WriteBytes(backup, testing::DefaultImage(0).bytes.data(), kImageSize);
        h.prompt.fileNames = {backup.string()};
        h.Action("mnuTransferRestore")->trigger();  // No is the default answer
        QCOMPARE(h.radio.FramedCount(), 0);
        QVERIFY(h.config.state.CurrentFileName.empty());
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::SafeProgramTest)
#include "safe_program_test.moc"
