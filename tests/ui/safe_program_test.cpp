// Programming's safeguards in the desktop program, driven like a user against the in-process
// simulated radio on virtual time: Program through the window with its backup, preview and
// verify, and Restore Radio from Backup.
#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "core/config.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer.h"
#include "sim/sim_radio.h"
#include "test_files.h"
#include "ui/main_window.h"
#include "ui/safe_program_command.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "window_harness.h"

namespace mrw {

namespace {

namespace fs = std::filesystem;

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

}  // namespace

class SafeProgramTest : public QObject {
    Q_OBJECT
private slots:

    void programBacksUpPreviewsWritesAndVerifies() {
        Harness h;
        const std::string before(h.radio.memory.begin(), h.radio.memory.end());
        std::vector<std::string> previewed;  // the section of each difference shown
        h.Safe().SetPreview([&](const std::vector<Difference>& differences) {
            for (const Difference& d : differences) {
                previewed.push_back(d.section);
            }
            return true;
        });
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(previewed, std::vector<std::string>(3, "CHMMSID1"));
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(h.Backups().size(), size_t{1});
        QVERIFY(h.Backups()[0].filename().string().rfind("HV2300_INTL_", 0) == 0);
        QCOMPARE(testing::ReadFile(h.Backups()[0]), before);
        Image now;
        std::copy(h.radio.memory.begin(), h.radio.memory.end(), now.bytes.begin());
        DataModel inRadio;
        DecodeImage(now, inRadio);
        QVERIFY(!inRadio.CHMMSID[0].Enable);
        QCOMPARE(h.statuses, std::vector<QString>{"Complete."});

        // The radio holds what the window sends now: programming again writes no block. With
        // "Write Every Block When Programming" (off by default, stored) every block is written.
        QAction* every = h.Action("mnuOptionsWriteEveryBlock");
        QVERIFY(every->isCheckable() && !every->isChecked());
        const sim::RadioMemory programmed = h.radio.memory;
        h.radio.ClearRecord();
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(h.radio.CountOf("#QKPWR"), 0);
        every->trigger();
        QCOMPARE(h.settings.Get("Settings", "WriteEveryBlock"), std::string("1"));
        h.radio.ClearRecord();
        h.Action("mnuTransferProgram")->trigger();
        QVERIFY(h.radio.CountOf("#QKPWR") > 300);
        QVERIFY(h.radio.memory == programmed);
        QCOMPARE(h.prompt.Texts().back(), std::string("Complete!!"));
    }

    void cancelInThePreviewWritesNothingAndSaysSo() {
        Harness h;
        const auto before = h.radio.memory;
        h.Safe().SetPreview([](const std::vector<Difference>&) { return false; });
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(h.radio.CountOf("#QKPWR"), 0);
        QVERIFY(h.radio.memory == before);
        QCOMPARE(h.prompt.Texts(),
                 std::vector<std::string>{"Programming stopped before anything was written: "
                                          "nothing in the radio was changed."});
        QCOMPARE(h.Backups().size(), size_t{1});  // the backup read had completed
    }

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

        h.prompt.fileNames = {backup.string()};
        h.Action("mnuTransferRestore")->trigger();  // No is the default answer
        QVERIFY(!std::equal(kept.begin(), kept.end(), h.radio.memory.begin()));
        h.prompt.messages.clear();
        h.prompt.fileNames = {backup.string()};
        h.prompt.answers = {Answer::Yes};
        h.Action("mnuTransferRestore")->trigger();

        QCOMPARE(h.prompt.dialogs.at(0).folder, (h.Folder() / "backups").string());
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
};

}  // namespace mrw

QTEST_MAIN(mrw::SafeProgramTest)
#include "safe_program_test.moc"
