// The Options entry "Write Every Block When Programming": off by default and stored; off, a
// program after the backup read writes only what differs from it, on, every block.
#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "image/checks.h"
#include "ui/main_window.h"
#include "ui/safe_program_command.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "window_harness.h"

namespace mrw {

class QuickProgramUiTest : public QObject {
    Q_OBJECT

private slots:
    void writeEveryBlockIsOffByDefaultStoredAndObeyed() {
        testing::RadioHarness h;
        NewImage(h.config.image, h.config.model, 1);
        QVERIFY(h.Load({"/dev/ttyS0", ""}));
        h.radio.memory = *sim::BlankMemory(1);
        auto pressOk = [](TransferDialog& dialog) {
            QTimer::singleShot(0, &dialog,
                               [&dialog] { dialog.findChild<QPushButton*>("cmdOK")->click(); });
        };
        InstallTransferDialog(
            *h.window, h.config, [&h](const AppState&) { return h.Port(); }, pressOk);
        SafeProgramming& safe = *SafeProgrammingOf(*h.window);
        safe.SetBackupFolder(h.Folder() / "backups");
        safe.SetPreview([](const std::vector<Difference>&) { return true; });
        QAction* every = h.Action("mnuOptionsWriteEveryBlock");
        QVERIFY(every != nullptr && every->isCheckable() && !every->isChecked());
        auto writes = [&h] {
            h.radio.ClearRecord();
            h.Action("mnuTransferProgram")->trigger();
            return h.radio.CountOf("#QKPWR");
        };
        QVERIFY(writes() > 0);  // into a blank radio
        const sim::RadioMemory programmed = h.radio.memory;
        QCOMPARE(writes(), 0);  // the radio holds what the window sends
        every->trigger();
        QCOMPARE(h.settings.Get("Settings", "WriteEveryBlock"), std::string("1"));
        QVERIFY(writes() > 300);
        QVERIFY(h.radio.memory == programmed);
        QVERIFY(h.prompt.Texts().back().rfind("Complete!!", 0) == 0);
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::QuickProgramUiTest)
#include "quick_program_ui_test.moc"
