// The transfer dialog driven like a user, standalone and from the main window, against the
// in-process simulated radio on virtual time. The clock's pump runs the window events, so
// clicks scripted from it land while a transfer runs.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "core/config.h"
#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"
#include "sim/sim_radio.h"
#include "ui/about_box.h"
#include "ui/main_window.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"

namespace mrw {

namespace {

constexpr int kRegionByte = 271;
constexpr int kMmsiCount = 645;
constexpr int kAtisCount = 651;
constexpr uint16_t kHv2400Code = 2401;

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A region default image: the default image of model type 1 with the region code set.
void WriteRegionImage(const std::filesystem::path& path, int regionCode) {
    Image image;
    DataModel model;
    NewImage(image, model, 1);
    image.bytes[kRegionByte] = static_cast<uint8_t>(regionCode);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.bytes.data()), kImageSize);
}

// The radio's configuration: the default image of model type 1 with two directory entries
// (the directory is a list: it ends at the first entry without an MMSI),
// encoded as programming would.
sim::RadioMemory RadioConfiguration(int regionCode) {
    Image image;
    DataModel model;
    NewImage(image, model, 1);
    image.bytes[kRegionByte] = static_cast<uint8_t>(regionCode);
    model.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
    model.CHMMSID[1] = {true, "PILOT", "2320056780"};
    EncodeImage(model, image);
    PrepareImageForWrite(image, model);
    UpdateChecksum(image);
    sim::RadioMemory memory{};
    std::copy(image.bytes.begin(), image.bytes.end(), memory.begin());
    return memory;
}

DataModel DecodeMemory(const sim::RadioMemory& memory) {
    Image image;
    std::copy(memory.begin(), memory.end(), image.bytes.begin());
    DataModel model;
    DecodeImage(image, model);
    return model;
}

// The harness's radio behind a port the dialog may own.
class PortOnRadio : public SerialPort {
public:
    explicit PortOnRadio(SimRadio& radio) : radio_(radio) {}
    bool Open(const std::string& settings, std::string& error) override {
        return radio_.Open(settings, error);
    }
    void Close() override { radio_.Close(); }
    bool IsOpen() const override { return radio_.IsOpen(); }
    bool Send(const std::vector<uint8_t>& bytes) override { return radio_.Send(bytes); }
    int Waiting() override { return radio_.Waiting(); }
    int ReadByte() override { return radio_.ReadByte(); }
    void DiscardInput() override { radio_.DiscardInput(); }

private:
    SimRadio& radio_;
};

// One program folder, configuration, simulated radio and (when loaded) main window. Every
// dialog that opens runs `script` once its event loop runs.
struct Harness {
    QTemporaryDir dir;
    Config config;
    ScriptedPrompt prompt;
    VirtualClock clock;
    MemorySettingsStore settings;
    SimRadio radio{&clock};
    std::unique_ptr<MainWindow> window;
    std::function<void(TransferDialog&)> script;
    std::vector<std::string> captions;  // of every dialog opened
    std::function<void()> onPump;

    explicit Harness(bool debug = false) {
        config.services.prompt = &prompt;
        config.services.clock = &clock;
        config.services.settings = &settings;
        config.services.programFolder = dir.path().toStdString();
        config.state.DebugSwitch = debug;
        NewImage(config.image, config.model, 1);
        config.image.bytes[kRegionByte] = 0;
        WriteText(Folder() / "global.ini", "[model1]\nuse=1\natis=True\n");
        WriteRegionImage(Folder() / "INTL_08FD.ini", 0);
        WriteRegionImage(Folder() / "UK_08FD.ini", 1);
        radio.memory = RadioConfiguration(0);
        // Polls run the window events, as the desktop clock does.
        clock.onPump = [this] {
            QCoreApplication::processEvents();
            if (onPump) {
                onPump();
            }
        };
    }
    ~Harness() {
        clock.onPump = nullptr;
        window.reset();
    }

    std::filesystem::path Folder() const { return dir.path().toStdString(); }

    PortFactory Ports() {
        return [this](const AppState&) { return std::make_unique<PortOnRadio>(radio); };
    }
    TransferDialogHook OnOpen() {
        return [this](TransferDialog& dialog) {
            captions.push_back(dialog.windowTitle().toStdString());
            QTimer::singleShot(0, &dialog, [this, &dialog] {
                if (script) {
                    script(dialog);
                }
            });
        };
    }

    void Load() {
        window = std::make_unique<MainWindow>(config);
        window->SetPortLister([] { return std::vector<SerialDevice>{{"/dev/ttyS0", ""}}; });
        QVERIFY(window->Load());
        InstallTransferDialog(*window, config, Ports(), OnOpen());
        window->show();
    }

    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }
    QString NodeText(const QString& key) const {
        const QTreeWidgetItem* item = window->FindNode(key);
        return item != nullptr ? item->text(0) : QString();
    }
    int Count(const std::string& text) const {
        const auto texts = prompt.Texts();
        return static_cast<int>(std::count(texts.begin(), texts.end(), text));
    }
    const MessageRequest* Message(const std::string& text) const {
        for (const auto& m : prompt.messages) {
            if (m.text == text) {
                return &m;
            }
        }
        return nullptr;
    }
};

QPushButton* Button(QWidget& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

void Click(QWidget& dialog, const char* name) {
    QTest::mouseClick(Button(dialog, name), Qt::LeftButton);
}

// Counts paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class TransferDialogTest : public QObject {
    Q_OBJECT
private slots:
    void captionsByMode_data();
    void captionsByMode();
    void idleDialogLayoutAndButtons();
    void debugModeShowsTheNoteLine();
    void progressBarRightEdgeMarksThePercentage();
    void runningDialogStaysLiveAndRefusesToClose();
    void portThatDoesNotOpenIsReported();
    void readFromTheMainWindowFillsTreeAndModel();
    void readOffersToSaveChangesFirst();
    void programPutsTheEditedModelIntoTheRadio();
    void cancelInTheMiddleOfAReadKeepsTheConfiguration();
    void wrongModelCodeKeepsTheDialogOpenForASecondTry();
    void regionTakenOverDuringAReadSwitchesTheRegionMenu();
    void clearModesThroughTheEntryPoint_data();
    void clearModesThroughTheEntryPoint();
    void refusedPendingEditOpensNoDialog();
    void readsTheRadioSimulatorOverAPseudoTerminal();
};

// ---- The dialog alone ---------------------------------------------------------------------------

void TransferDialogTest::captionsByMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    const char* captions[] = {
        "Read from Radio",       "Program to Radio",         "Clear MMSI Data",
        "Clear DSC Log Data",    "Clear Distress Log Data",  "Clear Individual Directory",
        "Clear Group Directory", "Clear WayPoint Directory", "Clear DSC TX Log Data",
        "Clear All Data",        "Clear ATIS Data"};
    for (int mode = 0; mode <= 10; ++mode) {
        QTest::addRow("mode %d", mode) << mode << QString(captions[mode]);
    }
}

void TransferDialogTest::captionsByMode() {
    QFETCH(int, mode);
    QFETCH(QString, caption);
    Harness h;
    h.config.state.TransferMode = static_cast<int16_t>(mode);
    PortOnRadio port(h.radio);
    TransferDialog dialog(h.config, port);
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(dialog.transfer().Mode(), mode);
}

void TransferDialogTest::idleDialogLayoutAndButtons() {
    Harness h;
    PortOnRadio port(h.radio);
    TransferDialog dialog(h.config, port);
    dialog.show();
    QCOMPARE(dialog.objectName(), QString("frmRadio"));
    QCOMPARE(dialog.size(), QSize(465, 290));
    QVERIFY(dialog.isModal());
    const QStringList lines = dialog.findChild<QLabel*>("lblmess")->text().split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines[0],
             QString("1.Connect the MRW cable between the PC serial port and the radio."));
    QCOMPARE(lines[4], QString("3.Press the [OK] button to start."));
    QVERIFY(!dialog.findChild<QLabel*>("lblmon")->isVisible());
    QVERIFY(dialog.findChild<QWidget*>("pictProgress") != nullptr);
    QCOMPARE(dialog.Progress(), 0);
    for (const char* name : {"cmdOK", "cmdCancel", "cmdHelp"}) {
        QVERIFY2(Button(dialog, name)->isEnabled(), name);
    }

    // Help: the information box titled with the dialog's caption, and nothing else.
    Click(dialog, "cmdHelp");
    QCOMPARE(h.prompt.messages.size(), size_t{1});
    QCOMPARE(h.prompt.messages[0].text,
             std::string("Unable to display Help Contents. There is no Help associated with "
                         "this project."));
    QCOMPARE(h.prompt.messages[0].title, std::string("Read from Radio"));
    QCOMPARE(h.prompt.messages[0].icon, Icon::Information);
    QVERIFY(dialog.isVisible());
    QVERIFY(h.radio.Requests().empty());

    // Cancel while idle closes the dialog without touching the line.
    Click(dialog, "cmdCancel");
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int{QDialog::Rejected});
    QVERIFY(h.radio.Opens().empty());
}

void TransferDialogTest::debugModeShowsTheNoteLine() {
    Harness h(true);
    PortOnRadio port(h.radio);
    TransferDialog dialog(h.config, port);
    dialog.show();
    auto* note = dialog.findChild<QLabel*>("lblmon");
    QVERIFY(note->isVisible());
    QCOMPARE(note->text(), QString("starting at debug mode.."));

    // Notes follow the run; the last one of a completed read is the empty note.
    QStringList seen;
    h.onPump = [&] {
        if (seen.isEmpty() || seen.last() != note->text()) {
            seen << note->text();
        }
    };
    Click(dialog, "cmdOK");
    QVERIFY(seen.contains("status check.."));
    QVERIFY(seen.contains("radio reading..."));
    QCOMPARE(note->text(), QString());
    QVERIFY(!dialog.isVisible());
}

void TransferDialogTest::progressBarRightEdgeMarksThePercentage() {
    Harness h;
    PortOnRadio port(h.radio);
    TransferDialog dialog(h.config, port);
    dialog.show();
    auto* panel = dialog.findChild<QFrame*>("pictProgress");
    auto* bar = dialog.findChild<QWidget*>("lblPercent");
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->parentWidget(), panel);
    const QRect area = panel->contentsRect();
    for (int percent : {0, 25, 50, 99, 100}) {
        dialog.SetProgress(percent);
        QCOMPARE(dialog.Progress(), percent);
        QCOMPARE(bar->geometry().right() + 1, area.left() + area.width() * percent / 100);
    }
    dialog.SetProgress(250);
    QCOMPARE(dialog.Progress(), 100);
    QCOMPARE(bar->geometry().right() + 1, area.left() + area.width());
}

void TransferDialogTest::runningDialogStaysLiveAndRefusesToClose() {
    Harness h;
    PortOnRadio port(h.radio);
    TransferDialog dialog(h.config, port);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    PaintCounter paints;
    dialog.findChild<QWidget*>("lblPercent")->installEventFilter(&paints);

    std::vector<int> progress;
    bool checked = false;
    bool stateOk = false;
    h.onPump = [&] {
        progress.push_back(dialog.Progress());
        if (!checked && dialog.Progress() >= 40) {
            checked = true;
            // Running: OK and Help disabled, Cancel live; closing and Escape refused.
            stateOk =
                !Button(dialog, "cmdOK")->isEnabled() && !Button(dialog, "cmdHelp")->isEnabled() &&
                Button(dialog, "cmdCancel")->isEnabled() && dialog.Running() && !dialog.close();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            stateOk = stateOk && dialog.isVisible() && h.config.state.Loading;
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
    QVERIFY(modal);
    QVERIFY(checked);
    QVERIFY(stateOk);
    QCOMPARE(dialog.result(), int{QDialog::Accepted});
    QVERIFY(h.Message("Complete!!") != nullptr);
    // The bar moved upwards through the read, was repainted, and is back at 0 afterwards.
    std::vector<int> positions = progress;
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    QVERIFY(positions.size() > 50);
    QVERIFY(*std::max_element(progress.begin(), progress.end()) >= 95);
    QVERIFY(paints.paints > 5);
    QCOMPARE(dialog.Progress(), 0);
    QVERIFY(!h.config.state.Loading);
}

void TransferDialogTest::portThatDoesNotOpenIsReported() {
    Harness h;
    h.radio.PullCable();
    PortOnRadio port(h.radio);
    TransferDialog dialog(h.config, port);
    dialog.show();
    Click(dialog, "cmdOK");
    const MessageRequest* box = nullptr;
    for (const auto& m : h.prompt.messages) {
        if (m.text.rfind(kPortOpenFailed, 0) == 0) {
            box = &m;
        }
    }
    QVERIFY(box != nullptr);
    QCOMPARE(box->title, std::string("Read from Radio"));
    QCOMPARE(box->icon, Icon::Critical);
    // Still open and idle, ready for another try.
    QVERIFY(dialog.isVisible());
    QVERIFY(Button(dialog, "cmdOK")->isEnabled());
    QVERIFY(!h.config.state.TransferDone);
}

// ---- From the main window ---------------------------------------------------------------------

void TransferDialogTest::readFromTheMainWindowFillsTreeAndModel() {
    Harness h;
    h.Load();
    h.config.state.CurrentFileName = "/tmp/boat.dat";
    QCOMPARE(h.NodeText("SM1"), QString("Memory ID1"));
    h.script = [](TransferDialog& dialog) { Click(dialog, "cmdOK"); };
    h.Action("mnuTransferRead")->trigger();

    QCOMPARE(h.captions, std::vector<std::string>{"Read from Radio"});
    const MessageRequest* done = h.Message("Complete!!");
    QVERIFY(done != nullptr);
    QCOMPARE(done->title, std::string("Read from Radio"));
    QCOMPARE(h.config.model.CHMMSID[0].TagName, std::string("HARBOUR"));
    QCOMPARE(h.config.model.CHMMSID[0].Mmsid, std::string("2320012340"));
    QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("PILOT"));
    QVERIFY(h.config.model.CHMMSID == DecodeMemory(h.radio.memory).CHMMSID);
    QCOMPARE(h.NodeText("SM1"), QString("Memory ID1[Enable]"));
    QCOMPARE(h.window->FindNode("General"), h.window->findChild<QTreeWidget*>()->currentItem());
    QVERIFY(!h.config.state.DataChanged);
    QVERIFY(h.config.state.CurrentFileName.empty());
    QVERIFY(!h.window->windowTitle().contains("boat"));
    QVERIFY(!h.config.state.TransferDone);
    QVERIFY(!h.radio.IsOpen());
}

void TransferDialogTest::readOffersToSaveChangesFirst() {
    Harness h;
    h.Load();
    h.config.state.DataChanged = true;
    // Cancel at the save question: no dialog, nothing read.
    h.prompt.answers = {Answer::Cancel};
    h.Action("mnuTransferRead")->trigger();
    QCOMPARE(h.prompt.messages.at(0).text, std::string(kSaveChangesQuestion));
    QVERIFY(h.captions.empty());
    QVERIFY(h.radio.Requests().empty());
    QVERIFY(h.config.state.DataChanged);

    // No: the changes are dropped and the read goes on.
    h.prompt.answers = {Answer::No};
    h.script = [](TransferDialog& dialog) { Click(dialog, "cmdOK"); };
    h.Action("mnuTransferRead")->trigger();
    QCOMPARE(h.captions.size(), size_t{1});
    QCOMPARE(h.Count("Complete!!"), 1);
    QVERIFY(!h.config.state.DataChanged);
}

void TransferDialogTest::programPutsTheEditedModelIntoTheRadio() {
    Harness h;
    h.Load();
    h.config.model.CHMMSID[0] = {true, "MARINA", "2320099990"};
    h.config.state.DataChanged = true;
    h.config.state.CurrentFileName = "/tmp/boat.dat";
    h.script = [](TransferDialog& dialog) { Click(dialog, "cmdOK"); };
    h.Action("mnuTransferProgram")->trigger();

    QCOMPARE(h.captions, std::vector<std::string>{"Program to Radio"});
    QVERIFY(h.Message(kSaveChangesQuestion) == nullptr);
    QCOMPARE(h.Count("Complete!!"), 1);
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

void TransferDialogTest::cancelInTheMiddleOfAReadKeepsTheConfiguration() {
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
    h.Action("mnuTransferRead")->trigger();

    QVERIFY(readsAtCancel > 0);
    QVERIFY(stillOpenAfterRun);
    // The read stopped at the next block and sent the abort byte.
    QVERIFY(h.radio.CountOf("#QKPRD") <= readsAtCancel + 1);
    QCOMPARE(h.radio.CountOf("0x18"), 1);
    QCOMPARE(h.Message("Communication Error!!"), nullptr);
    QCOMPARE(h.Message("Complete!!"), nullptr);
    QVERIFY(h.config.image.bytes == imageBefore.bytes);
    QVERIFY(h.config.model == modelBefore);
    QCOMPARE(h.NodeText("SM1"), QString("Memory ID1"));
}

void TransferDialogTest::wrongModelCodeKeepsTheDialogOpenForASecondTry() {
    Harness h;
    h.Load();
    sim::SetModelCode(h.radio.memory, kHv2400Code);
    bool openAfterFirst = false;
    h.script = [&](TransferDialog& dialog) {
        Click(dialog, "cmdOK");
        openAfterFirst = dialog.isVisible() && Button(dialog, "cmdOK")->isEnabled();
        sim::SetModelCode(h.radio.memory, 2301);
        Click(dialog, "cmdOK");
    };
    h.Action("mnuTransferRead")->trigger();

    const MessageRequest* error = h.Message("ModelType Error !!");
    QVERIFY(error != nullptr);
    QCOMPARE(error->title, std::string("Read from Radio"));
    QCOMPARE(error->icon, Icon::Critical);
    QVERIFY(openAfterFirst);
    // The second OK connected again from the start and completed.
    QCOMPARE(h.radio.CountOf("ACMD:002"), 2);
    QCOMPARE(h.Count("Complete!!"), 1);
    QCOMPARE(h.config.model.CHMMSID[0].TagName, std::string("HARBOUR"));
}

void TransferDialogTest::regionTakenOverDuringAReadSwitchesTheRegionMenu() {
    Harness h;
    h.Load();
    QVERIFY(h.Action("mnuDestinationChild_0")->isChecked());  // INTL
    h.radio.memory = RadioConfiguration(1);                   // a UK radio
    h.prompt.onMessage = [&](const MessageRequest& m) {
        if (m.text.rfind("The region is unmatched.", 0) == 0) {
            h.prompt.answers.push_front(Answer::Yes);
        }
    };
    h.script = [](TransferDialog& dialog) { Click(dialog, "cmdOK"); };
    h.Action("mnuTransferRead")->trigger();

    const MessageRequest* question =
        h.Message("The region is unmatched.\r\nDo you want to change the region?");
    QVERIFY(question != nullptr);
    QCOMPARE(question->buttons, Buttons::YesNo);
    QCOMPARE(question->defaultButton, Answer::No);
    QCOMPARE(h.Count("Complete!!"), 1);
    QCOMPARE(int{h.config.image.bytes[kRegionByte]}, 1);
    QVERIFY(h.Action("mnuDestinationChild_1")->isChecked());  // UK
    QVERIFY(!h.Action("mnuDestinationChild_0")->isChecked());
}

void TransferDialogTest::clearModesThroughTheEntryPoint_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("address");  // a radio byte the clear sets
    QTest::addColumn<int>("value");
    QTest::newRow("2 MMSI") << 2 << 640 << 0xFF;
    QTest::newRow("3 DSC log") << 3 << 26880 << 0xFF;
    QTest::newRow("4 distress log") << 4 << 32703 << 0xFF;
    QTest::newRow("5 individual") << 5 << 18176 << 0xFF;
    QTest::newRow("6 group") << 6 << 20224 << 0xFF;
    QTest::newRow("7 waypoint") << 7 << 20736 << 0x00;
    QTest::newRow("8 DSC TX log") << 8 << 768 << 0xFF;
    QTest::newRow("9 all") << 9 << 18176 << 0xFF;
    QTest::newRow("10 ATIS") << 10 << 646 << 0xFF;
}

void TransferDialogTest::clearModesThroughTheEntryPoint() {
    QFETCH(int, mode);
    QFETCH(int, address);
    QFETCH(int, value);
    Harness h;
    h.Load();
    // The radio holds data everywhere a clear could reach, a user MMSI and an ATIS code.
    for (int a = 640; a <= 650; ++a) {
        h.radio.memory[static_cast<size_t>(a)] = 0x12;
    }
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
    h.script = [](TransferDialog& dialog) { Click(dialog, "cmdOK"); };

    const ClearOutcome outcome = ClearCommand(*h.window, h.config, mode);
    QCOMPARE(panelShows, 1);
    QCOMPARE(h.captions, std::vector<std::string>{TransferCaption(mode)});
    QVERIFY(outcome.done);
    QCOMPARE(h.Count("Complete!!"), 1);
    QCOMPARE(int{h.radio.memory[static_cast<size_t>(address)]}, value);
    QVERIFY(h.config.state.DataChanged);
    if (mode == kModeClearMmsi) {
        QCOMPARE(outcome.countText, std::string("3"));
        QCOMPARE(int{h.radio.memory[32746]}, 5);
    } else if (mode == kModeClearAtis) {
        QCOMPARE(outcome.countText, std::string("9"));
        QCOMPARE(int{h.radio.memory[32747]}, 8);
    } else {
        QVERIFY(outcome.countText.empty());
    }

    // Cancelled at once: nothing done, DataChanged untouched, no count.
    h.config.state.DataChanged = false;
    h.script = [](TransferDialog& dialog) { Click(dialog, "cmdCancel"); };
    const ClearOutcome cancelled = ClearCommand(*h.window, h.config, mode);
    QVERIFY(!cancelled.done);
    QVERIFY(cancelled.countText.empty());
    QVERIFY(!h.config.state.DataChanged);
    QCOMPARE(panelShows, 1);
}

void TransferDialogTest::refusedPendingEditOpensNoDialog() {
    Harness h;
    h.Load();
    h.window->pendingEdits().Register([] { return false; });
    h.config.state.TransferDone = true;  // left from an earlier clear
    const ClearOutcome outcome = ClearCommand(*h.window, h.config, kModeClearMmsi);
    QVERIFY(!outcome.done);
    QVERIFY(h.captions.empty());
    h.Action("mnuTransferRead")->trigger();
    h.Action("mnuTransferProgram")->trigger();
    QVERIFY(h.captions.empty());
    QVERIFY(h.radio.Requests().empty());
}

// ---- The real line: mrw-radiosim on a pseudo-terminal, QSerialPort, real time ------------------

void TransferDialogTest::readsTheRadioSimulatorOverAPseudoTerminal() {
    const QString binDir = qEnvironmentVariable("MRW_BIN_DIR", MRW_TEST_BIN_DIR);
    const QString simulator = binDir + "/mrw-radiosim";
    if (!QFileInfo::exists(simulator)) {
        QSKIP("mrw-radiosim is not built");
    }
    Harness h;
    // The radio answers over a pseudo-terminal from an image file of its configuration.
    const sim::RadioMemory memory = RadioConfiguration(0);
    const std::filesystem::path imageFile = h.Folder() / "radio.bin";
    {
        std::ofstream out(imageFile, std::ios::binary);
        out.write(reinterpret_cast<const char*>(memory.data()), kImageSize);
    }
    QProcess radio;
    radio.start(simulator, {"--image", QString::fromStdString(imageFile.string())});
    QVERIFY(radio.waitForStarted());
    QVERIFY(radio.waitForReadyRead(10000));
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
    h.Action("mnuTransferRead")->trigger();
    radio.terminate();
    radio.waitForFinished(5000);

    QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
    QCOMPARE(h.config.model.CHMMSID[0].TagName, std::string("HARBOUR"));
    QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("PILOT"));
    QCOMPARE(h.NodeText("SM2"), QString("Memory ID2[Enable]"));
    QVERIFY(!h.config.state.DataChanged);
}

}  // namespace mrw

QTEST_MAIN(mrw::TransferDialogTest)
#include "transfer_dialog_test.moc"
