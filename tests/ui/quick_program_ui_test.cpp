// The Options entry "Write Every Block When Programming": off by default and stored; off, a
// program after the backup read writes only what differs from it, on, every block.
#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "image/checks.h"
#include "sim/sim_radio.h"
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
        InstallTransferDialog(
            *h.window, h.config, [&h](const AppState&) { return h.Port(); },
            [](TransferDialog& dialog) {
                QTimer::singleShot(0, &dialog, [&dialog] {
                    dialog.findChild<QPushButton*>("cmdOK")->click();
                    if (dialog.isVisible()) {
                        dialog.reject();
                    }
                });
            });
        SafeProgramming& safe = *SafeProgrammingOf(*h.window);
        safe.SetBackupFolder(h.Folder() / "backups");
        safe.SetPreview([](const std::vector<Difference>&) { return true; });
        QAction* every = h.Action("mnuOptionsWriteEveryBlock");
        QVERIFY(every != nullptr && every->isCheckable() && !every->isChecked());
        h.window->show();

        auto program = [&h] {
            h.radio.ClearRecord();
            h.Action("mnuTransferProgram")->trigger();
            QVERIFY(h.prompt.Texts().back().rfind("Complete!!", 0) == 0);
        };
        program();  // a blank radio: the blocks the new configuration fills differ
        const sim::RadioMemory programmed = h.radio.memory;
        QVERIFY(h.radio.CountOf("#QKPWR") > 0);
        program();  // the radio holds what the window sends: nothing is written
        QCOMPARE(h.radio.CountOf("#QKPWR"), 0);

        every->trigger();
        QCOMPARE(h.settings.Get("Settings", "WriteEveryBlock"), std::string("1"));
        QVERIFY(safe.WriteEveryBlockEnabled());
        program();
        QVERIFY(h.radio.CountOf("#QKPWR") > 300);
        QVERIFY(h.radio.memory == programmed);
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::QuickProgramUiTest)
#include "quick_program_ui_test.moc"
