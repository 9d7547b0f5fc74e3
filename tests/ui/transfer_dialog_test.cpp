// The transfer dialog driven like a user, standalone and from the main window, against the
// in-process simulated radio on virtual time. The clock's pump runs the window events, so
// clicks scripted from it land while a transfer runs.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "core/config.h"
#include "edit/edit.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"
#include "sim/sim_radio.h"
#include "ui/main_window.h"
#include "ui/safe_program_command.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "window_harness.h"

namespace mrw {

namespace {

using testing::kRegionByte;
constexpr int kMmsiCount = 645;
constexpr int kAtisCount = 651;

// The default image of model type 1 in region `regionCode`; with `directory`, two directory
// entries encoded into it as programming would (the radio's configuration).
Image RegionImage(int regionCode, bool directory = false) {
    Image image;
    DataModel model;
    NewImage(image, model, 1);
    image.bytes[kRegionByte] = static_cast<uint8_t>(regionCode);
    if (directory) {
        model.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
        model.CHMMSID[1] = {true, "PILOT", "2320056780"};
        EncodeImage(model, image);
        PrepareImageForWrite(image, model);
        UpdateChecksum(image);
    }
    return image;
}
sim::RadioMemory RadioConfiguration(int regionCode) {
    sim::RadioMemory memory{};
    std::ranges::copy(RegionImage(regionCode, true).bytes, memory.begin());
    return memory;
}
DataModel DecodeMemory(const sim::RadioMemory& memory) {
    Image image;
    std::copy(memory.begin(), memory.end(), image.bytes.begin());
    DataModel model;
    DecodeImage(image, model);
    return model;
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

    explicit Harness(bool debug = false, int mode = kModeRead) {
        config.state.DebugSwitch = debug;
        config.state.TransferMode = static_cast<int16_t>(mode);
        NewImage(config.image, config.model, 1);
        config.image.bytes[kRegionByte] = 0;
        testing::WriteBytes(Folder() / "UK_08FD.ini", RegionImage(1).bytes.data(), kImageSize);
        radio.memory = RadioConfiguration(0);
        clock.onPump = [this] {
            QCoreApplication::processEvents();
            if (onPump) {
                onPump();
            }
        };
    }

    TransferDialogHook OnOpen() {
        return [this](TransferDialog& dialog) {
            captions.push_back(dialog.windowTitle().toStdString());
            QTimer::singleShot(0, &dialog, [this, &dialog] { script(dialog); });
        };
    }
    void Load() {
        QVERIFY(RadioHarness::Load({"/dev/ttyS0", ""}));
        InstallTransferDialog(
            *window, config, [this](const AppState&) { return Port(); }, OnOpen());
        window->show();
    }
    void Trigger(const char* action) { Action(action)->trigger(); }

    QString NodeText(const QString& key) const {
        const QTreeWidgetItem* item = window->FindNode(key);
        return item != nullptr ? item->text(0) : QString();
    }
    int Count(const std::string& text) const {
        const auto texts = prompt.Texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
    // The first box whose text starts with `start`.
    const MessageRequest* Message(const std::string& start) const {
        for (const auto& m : prompt.messages) {
            if (m.text.rfind(start, 0) == 0) {
                return &m;
            }
        }
        return nullptr;
    }
    // A box starting with `start` titled `title` (and showing `icon`) was shown.
    bool Shown(const std::string& start, const std::string& title,
               std::optional<Icon> icon = {}) const {
        const MessageRequest* m = Message(start);
        return m != nullptr && m->title == title && (!icon || m->icon == *icon);
    }
};

// A dialog of its own on the harness's radio, shown.
struct Standalone : Harness {
    TransferDialog dialog{config, radio, config.state.TransferMode};
    explicit Standalone(bool debug = false, int mode = kModeRead) : Harness(debug, mode) {
        dialog.show();
    }
};

// Counts paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class TransferDialogTest : public QObject {
    Q_OBJECT
private slots:
    // ---- The dialog alone -------------------------------------------------------------------

    // The captions themselves are pinned by the transfer's tests.
    void captionsByMode() {
        for (int mode = 0; mode <= 10; ++mode) {
            Standalone s(false, mode);
            QCOMPARE(s.dialog.windowTitle(), QString::fromStdString(TransferCaption(mode)));
            QCOMPARE(s.dialog.transfer().Mode(), mode);
        }
    }

    void idleDialogLayoutButtonsAndAPortThatDoesNotOpen() {
        Standalone s;
        TransferDialog& dialog = s.dialog;
        QCOMPARE(dialog.objectName(), QString("frmRadio"));
        QCOMPARE(dialog.size(), QSize(465, 290));
        QVERIFY(dialog.isModal());
        const QStringList lines = dialog.findChild<QLabel*>("lblmess")->text().split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0],
                 QString("1.Connect the MRW cable between the PC serial port and the radio."));
        QCOMPARE(lines[4], QString("3.Press the [OK] button to start."));
        QVERIFY(!dialog.findChild<QLabel*>("lblmon")->isVisible());
        QCOMPARE(dialog.Progress(), 0);
        // The bar follows the instructions closely, and they are not cut.
        const QLabel* message = dialog.findChild<QLabel*>("lblmess");
        const int gap =
            dialog.findChild<QFrame*>("pictProgress")->y() - message->geometry().bottom();
        QVERIFY(gap > 0 && gap <= message->fontMetrics().height());
        QVERIFY(message->height() >= message->sizeHint().height());
        // A fixed-size window: nothing to minimise or maximise.
        QVERIFY(!(dialog.windowFlags() &
                  (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        for (const char* name : {"cmdOK", "cmdCancel", "cmdHelp"}) {
            QVERIFY2(Button(dialog, name)->isEnabled(), name);
        }

        // Help: the information box titled with the dialog's caption, and nothing else.
        Click(dialog, "cmdHelp");
        QCOMPARE(s.prompt.Texts(), std::vector<std::string>{"Unable to display Help Contents. "
                                                            "There is no Help associated with "
                                                            "this project."});
        QVERIFY(s.Shown("Unable", "Read from Radio", Icon::Information));
        QVERIFY(dialog.isVisible());
        QVERIFY(s.radio.Requests().empty());

        // A port that does not open is reported; the dialog stays open and idle for a retry.
        s.radio.PullCable();
        Click(dialog, "cmdOK");
        QVERIFY(s.Shown(kPortOpenFailed, "Read from Radio", Icon::Critical));
        QVERIFY(dialog.isVisible() && Button(dialog, "cmdOK")->isEnabled());
        QVERIFY(!s.config.state.TransferDone);

        // Cancel while idle closes the dialog without touching the line.
        const size_t opens = s.radio.Opens().size();
        Click(dialog, "cmdCancel");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(s.radio.Opens().size(), opens);
    }

    void statusLineSaysWhatIsHappening_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("work");
        QTest::newRow("read") << kModeRead << QString("Reading the radio\u2026");
        QTest::newRow("program") << kModeProgram << QString("Writing\u2026");
        QTest::newRow("clear") << kModeClearDscLog << QString("Clearing\u2026");
    }
    void statusLineSaysWhatIsHappening() {
        QFETCH(int, mode);
        QFETCH(QString, work);
        Standalone s(false, mode);
        TransferDialog& dialog = s.dialog;
        QVERIFY(dialog.findChild<QLabel*>("lblStatus")->isVisible());
        QVERIFY(dialog.StatusText().isEmpty());
        QStringList seen;
        s.onPump = [&] {
            if (seen.isEmpty() || seen.last() != dialog.StatusText()) {
                seen << dialog.StatusText();
            }
        };
        // What the status line says while the "Complete!!" box is open.
        QString besideTheBox;
        s.prompt.onMessage = [&](const MessageRequest&) { besideTheBox = dialog.StatusText(); };
        Click(dialog, "cmdOK");
        QCOMPARE(s.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(seen, (QStringList{"Connecting\u2026", work}));
        QCOMPARE(besideTheBox, QString("Complete."));
        QCOMPARE(dialog.StatusText(), QString("Complete."));
    }

    void statusLineAfterCancelAndAFailedStart() {
        Standalone s;
        TransferDialog& dialog = s.dialog;
        QString onCancel;
        s.onPump = [&] {
            if (dialog.Progress() >= 30 && onCancel.isEmpty()) {
                Click(dialog, "cmdCancel");
                onCancel = dialog.StatusText();
            }
        };
        Click(dialog, "cmdOK");
        QCOMPARE(onCancel, QString("Cancelled."));
        QCOMPARE(dialog.StatusText(), QString("Cancelled."));
        QVERIFY(!s.config.state.TransferDone);

        Standalone t;
        t.radio.PullCable();
        Click(t.dialog, "cmdOK");
        QCOMPARE(t.dialog.StatusText(),
                 QString("Stopped. Check the cable and the radio, then press OK again."));
        QVERIFY(t.dialog.isVisible());
    }

    void progressBarRightEdgeMarksThePercentage() {
        Standalone s;
        auto* panel = s.dialog.findChild<QFrame*>("pictProgress");
        auto* bar = s.dialog.findChild<QWidget*>("lblPercent");
        QVERIFY(bar != nullptr && panel != nullptr);
        QCOMPARE(bar->parentWidget(), panel);
        const QRect area = panel->contentsRect();
        for (int percent : {0, 25, 50, 99, 100, 250}) {
            const int shown = std::min(percent, 100);
            s.dialog.SetProgress(percent);
            QCOMPARE(s.dialog.Progress(), shown);
            QCOMPARE(bar->geometry().right() + 1, area.left() + area.width() * shown / 100);
            // The percentage is written on the bar.
            QCOMPARE(s.dialog.findChild<QLabel*>("lblPercentText")->text(),
                     QString("%1%").arg(shown));
        }
    }

    // In debug mode, so the note line is watched too.
    void runningDialogStaysLiveAndRefusesToClose() {
        Standalone s(true);
        TransferDialog& dialog = s.dialog;
        auto* note = dialog.findChild<QLabel*>("lblmon");
        QVERIFY(note->isVisible());
        QCOMPARE(note->text(), QString("starting at debug mode.."));
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        PaintCounter paints;
        dialog.findChild<QWidget*>("lblPercent")->installEventFilter(&paints);

        std::vector<int> progress;
        QStringList notes;
        bool checked = false;
        bool stateOk = false;
        s.onPump = [&] {
            progress.push_back(dialog.Progress());
            if (notes.isEmpty() || notes.last() != note->text()) {
                notes << note->text();
            }
            if (!checked && dialog.Progress() >= 40) {
                checked = true;
                // Running: OK and Help disabled, Cancel live; closing and Escape refused.
                stateOk = !Button(dialog, "cmdOK")->isEnabled() &&
                          !Button(dialog, "cmdHelp")->isEnabled() &&
                          Button(dialog, "cmdCancel")->isEnabled() && dialog.Running() &&
                          !dialog.close();
                QTest::keyClick(&dialog, Qt::Key_Escape);
                stateOk = stateOk && dialog.isVisible() && s.config.state.Loading;
            }
        };
        // The dialog is modal while it runs (it is opened with exec by the window).
        bool modal = false;
        QTimer::singleShot(0, &dialog, [&] {
            modal = QApplication::activeModalWidget() == &dialog;
            Click(dialog, "cmdOK");
            if (dialog.isVisible()) {
                dialog.reject();  // the run failed and left it open
            }
        });
        dialog.exec();
        QVERIFY(modal && checked && stateOk);
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QVERIFY(s.Message("Complete!!") != nullptr);
        // The notes followed the run; the last one of a completed read is the empty note.
        QVERIFY(notes.contains("status check..") && notes.contains("radio reading..."));
        QCOMPARE(note->text(), QString());
        // The bar moved upwards through the read, was repainted, and is back at 0 afterwards.
        std::vector<int> positions = progress;
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        QVERIFY(positions.size() > 50);
        QVERIFY(*std::max_element(progress.begin(), progress.end()) >= 95);
        QVERIFY(paints.paints > 5);
        QCOMPARE(dialog.Progress(), 0);
        QVERIFY(!s.config.state.Loading);
    }

    // ---- From the main window -----------------------------------------------------------

    void readOffersToSaveChangesThenFillsTreeAndModel() {
        Harness h;
        h.Load();
        h.config.state.CurrentFileName = "/tmp/boat.dat";
        h.config.state.DataChanged = true;
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1"));
        // Cancel at the save question: no dialog, nothing read.
        h.prompt.answers = {Answer::Cancel};
        h.Trigger("mnuTransferRead");
        QCOMPARE(h.prompt.messages.at(0).text, std::string(kSaveChangesQuestion));
        QVERIFY(h.captions.empty() && h.radio.Requests().empty());
        QVERIFY(h.config.state.DataChanged);

        // No: the changes are dropped and the read goes on.
        h.prompt.answers = {Answer::No};
        h.Trigger("mnuTransferRead");
        QCOMPARE(h.captions, std::vector<std::string>{"Read from Radio"});
        QCOMPARE(h.Count("Complete!!"), 1);
        QVERIFY(h.Shown("Complete!!", "Read from Radio"));
        QCOMPARE(h.config.model.CHMMSID[0].TagName, std::string("HARBOUR"));
        QCOMPARE(h.config.model.CHMMSID[0].Mmsid, std::string("2320012340"));
        QVERIFY(h.config.model.CHMMSID == DecodeMemory(h.radio.memory).CHMMSID);
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1[Enable]"));
        QCOMPARE(h.window->FindNode("General"), h.window->findChild<QTreeWidget*>()->currentItem());
        QVERIFY(!h.config.state.DataChanged);
        QVERIFY(h.config.state.CurrentFileName.empty());
        QVERIFY(!h.window->windowTitle().contains("boat"));
        QVERIFY(!h.config.state.TransferDone);
        QVERIFY(!h.radio.IsOpen());
    }

    void programPutsTheEditedModelIntoTheRadio() {
        Harness h;
        h.Load();
        // The backup goes to the test's folder; the preview is accepted as shown.
        SafeProgramming* safe = SafeProgrammingOf(*h.window);
        QVERIFY(safe != nullptr);
        safe->SetBackupFolder(h.Folder() / "backups");
        int previews = 0;
        safe->SetPreview([&](const std::vector<Difference>&) { return ++previews, true; });
        h.config.model.CHMMSID[0] = {true, "MARINA", "2320099990"};
        h.config.state.DataChanged = true;
        h.config.state.CurrentFileName = "/tmp/boat.dat";
        h.Trigger("mnuTransferProgram");

        QCOMPARE(h.captions, std::vector<std::string>{"Program to Radio"});
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});  // no save question
        QCOMPARE(previews, 1);
        QVERIFY(!std::filesystem::is_empty(h.Folder() / "backups"));
        const DataModel inRadio = DecodeMemory(h.radio.memory);
        QCOMPARE(inRadio.CHMMSID[0].TagName, std::string("MARINA"));
        QCOMPARE(inRadio.CHMMSID[0].Mmsid, std::string("2320099990"));
        QVERIFY(inRadio.CHMMSID[0].Enable);
        // The directory entry the radio held and the window did not is gone from the radio.
        QVERIFY(!inRadio.CHMMSID[1].Enable);
        // Programming leaves the window as it was.
        QVERIFY(h.config.state.DataChanged);
        QCOMPARE(h.config.state.CurrentFileName, std::string("/tmp/boat.dat"));
    }

    void cancelInTheMiddleOfAReadKeepsTheConfiguration() {
        Harness h;
        h.Load();
        const Image imageBefore = h.config.image;
        const DataModel modelBefore = h.config.model;
        bool stillOpenAfterRun = false;
        int readsAtCancel = 0;
        h.script = [&](TransferDialog& dialog) {
            h.onPump = [&] {
                if (readsAtCancel == 0 && dialog.Progress() >= 30) {
                    readsAtCancel = h.radio.CountOf("#QKPRD");
                    Click(dialog, "cmdCancel");
                }
            };
            Click(dialog, "cmdOK");
            h.onPump = nullptr;
            stillOpenAfterRun = dialog.isVisible() && Button(dialog, "cmdOK")->isEnabled();
            Click(dialog, "cmdCancel");  // idle now: closes
        };
        h.Trigger("mnuTransferRead");

        QVERIFY(readsAtCancel > 0 && stillOpenAfterRun);
        // The read stopped at the next block and sent the abort byte, without an error box.
        QVERIFY(h.radio.CountOf("#QKPRD") <= readsAtCancel + 1);
        QCOMPARE(h.radio.CountOf("0x18"), 1);
        QVERIFY(h.prompt.messages.empty());
        QVERIFY(h.config.image.bytes == imageBefore.bytes);
        QVERIFY(h.config.model == modelBefore);
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1"));
    }

    // A UK radio with another model code: "ModelType Error !!" and the dialog stays open; the
    // second OK, after the fault is removed, reads it and the region question answered Yes
    // switches the region menu.
    void wrongModelCodeThenTheRegionTakenOverOnASecondTry() {
        Harness h;
        h.Load();
        QVERIFY(h.Action("mnuDestinationChild_0")->isChecked());  // INTL
        h.radio.memory = RadioConfiguration(1);
        sim::SetModelCode(h.radio.memory, 2401);  // an HV2400
        bool openAfterFirst = false;
        h.script = [&](TransferDialog& dialog) {
            Click(dialog, "cmdOK");
            openAfterFirst = dialog.isVisible() && Button(dialog, "cmdOK")->isEnabled();
            sim::SetModelCode(h.radio.memory, 2301);
            Click(dialog, "cmdOK");
        };
        h.prompt.onMessage = [&](const MessageRequest& m) {
            if (m.text.rfind("The region is unmatched.", 0) == 0) {
                h.prompt.answers.push_front(Answer::Yes);
            }
        };
        h.Trigger("mnuTransferRead");

        QVERIFY(h.Shown("ModelType Error !!", "Read from Radio", Icon::Critical));
        QVERIFY(openAfterFirst);
        QCOMPARE(h.radio.CountOf("ACMD:002"), 2);  // the second OK connected again
        const MessageRequest* question =
            h.Message("The region is unmatched.\r\nDo you want to change the region?");
        QVERIFY(question != nullptr);
        QCOMPARE(question->buttons, Buttons::YesNo);
        QCOMPARE(question->defaultButton, Answer::No);
        QCOMPARE(h.Count("Complete!!"), 1);
        QCOMPARE(h.config.model.CHMMSID[0].TagName, std::string("HARBOUR"));
        QCOMPARE(int{h.config.image.bytes[kRegionByte]}, 1);
        QVERIFY(h.Action("mnuDestinationChild_1")->isChecked());  // UK
        QVERIFY(!h.Action("mnuDestinationChild_0")->isChecked());
    }

    void clearModesThroughTheEntryPoint_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("address");  // a radio byte the clear sets
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("count");  // the count box's text after the clear
        QTest::addColumn<int>("identity");   // a radio byte the identity clear counts up
        QTest::newRow("2 MMSI") << 2 << 640 << 0xFF << "3" << 32746;
        QTest::newRow("3 DSC log") << 3 << 26880 << 0xFF << "" << 0;
        QTest::newRow("4 distress log") << 4 << 32703 << 0xFF << "" << 0;
        QTest::newRow("5 individual") << 5 << 18176 << 0xFF << "" << 0;
        QTest::newRow("6 group") << 6 << 20224 << 0xFF << "" << 0;
        QTest::newRow("7 waypoint") << 7 << 20736 << 0x00 << "" << 0;
        QTest::newRow("8 DSC TX log") << 8 << 768 << 0xFF << "" << 0;
        QTest::newRow("9 all") << 9 << 18176 << 0xFF << "" << 0;
        QTest::newRow("10 ATIS") << 10 << 646 << 0xFF << "9" << 32747;
    }
    void clearModesThroughTheEntryPoint() {
        QFETCH(int, mode);
        QFETCH(int, address);
        QFETCH(int, value);
        QFETCH(QString, count);
        QFETCH(int, identity);
        Harness h;
        h.Load();
        // The radio holds data everywhere a clear could reach, a user MMSI and an ATIS code.
        std::fill(&h.radio.memory[640], &h.radio.memory[651], 0x12);
        h.radio.memory[static_cast<size_t>(address)] = 0x5A;
        h.radio.memory[32746] = 4;
        h.radio.memory[32747] = 7;
        h.config.image.bytes[kMmsiCount] = 3;
        h.config.image.bytes[kAtisCount] = 9;
        h.config.state.DataChanged = false;
        // The clear buttons sit on the DSC setup panel; count how often it is shown.
        int panelShows = 0;
        h.window->SetPanelHandler("pictDSC", [&](const NodeTarget&) { ++panelShows; });
        QVERIFY(h.window->SelectNodeByKey("DSC"));
        panelShows = 0;

        const ClearOutcome outcome = ClearCommand(*h.window, h.config, mode);
        QVERIFY(outcome.done);
        QCOMPARE(panelShows, 1);
        QCOMPARE(h.captions, std::vector<std::string>{TransferCaption(mode)});
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(int{h.radio.memory[static_cast<size_t>(address)]}, value);
        QVERIFY(h.config.state.DataChanged);
        QVERIFY(!h.config.history.AtClean());  // no undo makes the image the saved one again
        QCOMPARE(QString::fromStdString(outcome.countText), count);
        if (identity != 0) {
            QCOMPARE(int{h.radio.memory[static_cast<size_t>(identity)]}, mode == 2 ? 5 : 8);
        }

        // Cancelled at once: nothing done, DataChanged untouched, no count, panel not shown.
        h.config.state.DataChanged = false;
        h.script = [](TransferDialog& dialog) { Click(dialog, "cmdCancel"); };
        const ClearOutcome cancelled = ClearCommand(*h.window, h.config, mode);
        QVERIFY(!cancelled.done && cancelled.countText.empty());
        QVERIFY(!h.config.state.DataChanged);
        QCOMPARE(panelShows, 1);
    }

    // A clear that reached the radio in part: the dialog and its status line say how much, and
    // the stations it erased leave the window's configuration as one step that Undo takes back.
    void aClearEmptiesWhatItErasedInTheModelAsOneUndoableStep() {
        Harness h;
        h.Load();
        h.Trigger("mnuTransferRead");  // the radio's two stations
        QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("PILOT"));
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
        QVERIFY(h.Shown(partly, "Clear Individual Directory", Icon::Exclamation));
        QCOMPARE(status, "Stopped. Check the cable and the radio, then press OK again.\n" +
                             QString::fromStdString(partly));
        for (const DirectoryRecord& r : h.config.model.CHMMSID) {
            QVERIFY(r == DirectoryRecord{});
        }
        QCOMPARE(h.config.model.Common.ResumeTime, 9);
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1"));
        QCOMPARE(h.config.history.UndoText(), std::string("Clear Individual Directory"));
        QVERIFY(h.config.state.DataChanged);

        QVERIFY(UndoEdit(h.config));
        QVERIFY(h.config.model == edited);
        QCOMPARE(h.NodeText("SM1"), QString("Memory ID1[Enable]"));
        QVERIFY(h.config.state.DataChanged);  // the image is still the cleared one
    }

    void refusedPendingEditOpensNoDialog() {
        Harness h;
        h.Load();
        h.window->pendingEdits().Register([] { return false; });
        h.config.state.TransferDone = true;  // left from an earlier clear
        QVERIFY(!ClearCommand(*h.window, h.config, kModeClearMmsi).done);
        h.Trigger("mnuTransferRead");
        h.Trigger("mnuTransferProgram");
        QVERIFY(h.captions.empty() && h.radio.Requests().empty());
    }

    // ---- The real line: mrw-radiosim on a pseudo-terminal, QSerialPort, real time ----------

    void readsTheRadioSimulatorOverAPseudoTerminal() {
        const QString simulator =
            qEnvironmentVariable("MRW_BIN_DIR", MRW_TEST_BIN_DIR) + "/mrw-radiosim";
        if (!QFileInfo::exists(simulator)) {
            QSKIP("mrw-radiosim is not built");
        }
        Harness h;
        // The radio answers over a pseudo-terminal from an image file of its configuration.
        const std::filesystem::path imageFile = h.Folder() / "radio.bin";
        testing::WriteBytes(imageFile, RegionImage(0, true).bytes.data(), kImageSize);
        QProcess radio;
        radio.start(simulator, {"--image", QString::fromStdString(imageFile.string())});
        QVERIFY(radio.waitForStarted() && radio.waitForReadyRead(10000));
        const QString device = QString::fromUtf8(radio.readLine()).trimmed();
        QVERIFY2(device.startsWith("/dev/"), qPrintable(device));

        QtClock clock;  // real pauses and time limits, window events on every poll
        h.config.services.clock = &clock;
        h.Load();
        h.config.state.PortDevice = device.toStdString();
        // The ports as the desktop program makes them: the --port device, opened by QSerialPort.
        InstallTransferDialog(
            *h.window, h.config,
            [](const AppState& state) { return std::make_unique<QtSerialPort>(state.PortDevice); },
            h.OnOpen());
        h.script = [](TransferDialog& dialog) {
            Click(dialog, "cmdOK");
            if (dialog.isVisible()) {
                dialog.reject();
            }
        };
        h.Trigger("mnuTransferRead");
        radio.terminate();
        radio.waitForFinished(5000);

        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("PILOT"));
        QCOMPARE(h.NodeText("SM2"), QString("Memory ID2[Enable]"));
        QVERIFY(!h.config.state.DataChanged);
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::TransferDialogTest)
#include "transfer_dialog_test.moc"
