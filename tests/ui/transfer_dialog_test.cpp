// The transfer dialog driven like a user, standalone and from the main window, against the
// in-process simulated radio on virtual time. The clock's pump runs the window events, so
// clicks scripted from it land while a transfer runs.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

#include "core/config.h"
#include "edit/edit.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer.h"
#include "sim/sim_radio.h"
#include "ui/main_window.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "window_harness.h"

namespace mrw {

namespace {

// The radio's configuration: the default image of model type 1 in region `regionCode`, with
// two directory entries encoded into it as programming would.
sim::RadioMemory RadioConfiguration(int regionCode) {
    Image image;
    DataModel model;
    NewImage(image, model, 1);
    image.bytes[testing::kRegionByte] = static_cast<uint8_t>(regionCode);
    model.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
    model.CHMMSID[1] = {true, "PILOT", "2320056780"};
    EncodeImage(model, image);
    PrepareImageForWrite(image, model);
    UpdateChecksum(image);
    sim::RadioMemory memory{};
    std::ranges::copy(image.bytes, memory.begin());
    return memory;
}

QPushButton* Button(QWidget& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}
void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Button(dialog, name), Qt::LeftButton);
}

// One program folder, configuration, simulated radio and (when loaded) main window. Every
// dialog that opens runs `script` (by default: press OK) once its event loop runs.
struct Harness : testing::RadioHarness {
    std::function<void(TransferDialog&)> script = [](TransferDialog& d) { Click(d, "cmdOK"); };
    std::vector<std::string> captions;  // of every dialog opened
    std::function<void()> onPump;

    explicit Harness(int mode = kModeRead) {
        config.state.TransferMode = static_cast<int16_t>(mode);
        NewImage(config.image, config.model, 1);
        config.image.bytes[testing::kRegionByte] = 0;
        radio.memory = RadioConfiguration(0);
        clock.onPump = [this] {
            QCoreApplication::processEvents();
            if (onPump) {
                onPump();
            }
        };
    }
    void Load() {
        QVERIFY(RadioHarness::Load({"/dev/ttyS0", ""}));
        InstallTransferDialog(
            *window, config, [this](const AppState&) { return Port(); },
            [this](TransferDialog& dialog) {
                captions.push_back(dialog.windowTitle().toStdString());
                QTimer::singleShot(0, &dialog, [this, &dialog] { script(dialog); });
            });
        window->show();
    }
    QString NodeText(const QString& key) const { return window->FindNode(key)->text(0); }
};

// A dialog of its own on the harness's radio, shown.
struct Standalone : Harness {
    TransferDialog dialog{config, radio, config.state.TransferMode};
    Standalone() { dialog.show(); }
};

}  // namespace

class TransferDialogTest : public QObject {
    Q_OBJECT
private slots:
    // A run that fails is never reported as complete: the box and the status line say what
    // happened, and the dialog stays open for a retry.
    void failedRunsAreReportedAsSuch() {
        Standalone s;
        for (const char* name : {"cmdOK", "cmdCancel", "cmdHelp", "lblmess", "lblmon", "lblStatus",
                                 "pictProgress", "lblPercent"}) {
            QVERIFY2(s.dialog.findChild<QWidget*>(name) != nullptr, name);  // the controls
        }
        s.radio.PullCable();
        Click(s.dialog, "cmdOK");
        QVERIFY(s.prompt.messages.at(0).text.rfind(kPortOpenFailed, 0) == 0);
        QCOMPARE(s.prompt.messages[0].icon, Icon::Critical);
        QCOMPARE(s.dialog.StatusText(),
                 QString("Stopped. The serial port cannot be opened: choose the radio's port "
                         "under Options > SerialPort, then press OK again."));
        QVERIFY(s.dialog.isVisible() && Button(s.dialog, "cmdOK")->isEnabled() &&
                !s.config.state.TransferDone);

        // A radio of another model: the error box, never "Complete!!".
        Standalone m;
        sim::SetModelCode(m.radio.memory, 2401);
        Click(m.dialog, "cmdOK");
        QCOMPARE(m.prompt.Texts(), std::vector<std::string>{"ModelType Error !!"});
        QVERIFY(m.dialog.isVisible() && !m.config.state.TransferDone);
        // The status line names the mismatch, not the cable.
        QCOMPARE(m.dialog.StatusText(),
                 QString("Stopped. The radio is not a HV2300: choose its model type under "
                         "Edit > Model."));
    }

    void readOffersToSaveChangesThenFillsTreeAndModel() {
        Harness h;
        h.Load();
        h.config.state.CurrentFileName = "/tmp/boat.dat";
        h.config.state.DataChanged = true;
        // Cancel at the save question: no dialog, nothing read.
        h.prompt.answers = {Answer::Cancel};
        h.Action("mnuTransferRead")->trigger();
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{kSaveChangesQuestion});
        QVERIFY(h.captions.empty() && h.radio.Requests().empty());

        // No: the changes are dropped and the read goes on.
        h.prompt.answers = {Answer::No};
        h.Action("mnuTransferRead")->trigger();
        QCOMPARE(h.captions, std::vector<std::string>{"Read from Radio"});
        QCOMPARE(h.prompt.Texts(), (std::vector<std::string>{kSaveChangesQuestion,
                                                             kSaveChangesQuestion, "Complete!!"}));
        QCOMPARE(h.config.model.CHMMSID[0], (DirectoryRecord{true, "HARBOUR", "2320012340"}));
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1[Enable]"));
        QVERIFY(!h.config.state.DataChanged);
        QVERIFY(h.config.state.CurrentFileName.empty() && !h.radio.IsOpen());
    }

    void cancelInTheMiddleOfAReadKeepsTheConfiguration() {
        Harness h;
        h.Load();
        const Image imageBefore = h.config.image;
        const DataModel modelBefore = h.config.model;
        bool cancelled = false;
        bool runningState = false;  // OK disabled, closing refused
        QString status;
        h.script = [&](TransferDialog& dialog) {
            h.onPump = [&] {
                if (dialog.Progress() >= 30 && !std::exchange(cancelled, true)) {
                    runningState = !Button(dialog, "cmdOK")->isEnabled() && !dialog.close();
                    Click(dialog, "cmdCancel");
                }
            };
            Click(dialog, "cmdOK");
            h.onPump = nullptr;
            status = dialog.StatusText();
            Click(dialog, "cmdCancel");  // idle now: closes
        };
        h.Action("mnuTransferRead")->trigger();
        QVERIFY(cancelled && runningState && h.prompt.messages.empty());
        QCOMPARE(status, QString("Cancelled."));
        QCOMPARE(h.radio.CountOf("0x18"), 1);  // the abort byte
        QVERIFY(h.config.image.bytes == imageBefore.bytes);
        QVERIFY(h.config.model == modelBefore);
    }

    // A clear that reached the radio in part: the dialog and its status line say how much, and
    // the stations it erased leave the window's configuration as one step that Undo takes back.
    void aClearEmptiesWhatItErasedInTheModelAsOneUndoableStep() {
        Harness h;
        h.Load();
        h.Action("mnuTransferRead")->trigger();  // the radio's two stations
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1[Enable]"));
        QVERIFY(EditModel(h.config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 9; }));
        const DataModel edited = h.config.model;

        // No answer to the clear's second write (framed request 6, after the four of the checks).
        h.radio.options.faults = {
            sim::Fault{sim::FaultKind::NoAnswer, h.radio.FramedCount() + 6, 3}};
        QString status;
        h.script = [&](TransferDialog& dialog) {
            Click(dialog, "cmdOK");
            status = dialog.StatusText();
            Click(dialog, "cmdCancel");  // idle again: closes
        };
        h.prompt.messages.clear();
        QVERIFY(!ClearCommand(*h.window, h.config, kModeClearIndividual).done);
        const std::string partly =
            "The radio was partly cleared: 2 of 20 blocks written. Run the clear again.";
        QCOMPARE(h.prompt.Texts(), (std::vector<std::string>{"Communication Error!!", partly}));
        QCOMPARE(h.prompt.messages[1].title, std::string("Clear Individual Directory"));
        QCOMPARE(h.prompt.messages[1].icon, Icon::Exclamation);
        QCOMPARE(status,
                 "Stopped. The radio stopped answering. Check the cable and the radio, then press "
                 "OK again.\n" +
                     QString::fromStdString(partly));
        for (const DirectoryRecord& r : h.config.model.CHMMSID) {
            QVERIFY(r == DirectoryRecord{});
        }
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1"));
        QCOMPARE(h.config.history.UndoText(), std::string("Clear Individual Directory"));

        QVERIFY(UndoEdit(h.config));
        QVERIFY(h.config.model == edited);
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1[Enable]"));
        QVERIFY(h.config.state.DataChanged);  // the image is still the cleared one
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::TransferDialogTest)
#include "transfer_dialog_test.moc"
