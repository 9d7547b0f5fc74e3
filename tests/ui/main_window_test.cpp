// The main window driven like a user: widgets found by objectName, message boxes and file
// dialogs answered by a ScriptedPrompt, virtual time, settings in memory, and a program
// folder of its own holding global.ini and region default images. The start-up and
// navigation rules that need no window are checked first, as plain functions.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtTest>
#include <fstream>
#include <memory>
#include <utility>

#include "core/config.h"
#include "edit/edit.h"
#include "image/checks.h"
#include "image/codec.h"
#include "platform/qt_serial_port.h"
#include "ui/about_box.h"
#include "ui/category_tree.h"
#include "ui/fixed_font.h"
#include "ui/main_window.h"
#include "ui/pending_edit.h"
#include "ui/placement.h"
#include "ui/startup.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "ui/wheel_scroll.h"
#include "window_harness.h"

namespace mrw {

namespace {

constexpr const char* kTwoModels = "[model1]\nuse=1\natis=False\n[model2]\nuse=1\natis=True\n";
using testing::kRegionByte;

void WriteText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// A region default image: the default image of the model type with the region code set and,
// when given, a status name for the first channel group.
void WriteRegionImage(const std::filesystem::path& path, int modelType, int regionCode,
                      int length = kImageSize, const std::string& groupName = "") {
    Image image;
    DataModel model;
    NewImage(image, model, modelType);
    if (!groupName.empty()) {
        model.Groups[0].StatusName = groupName;
        EncodeImage(model, image);
    }
    image.bytes[kRegionByte] = static_cast<uint8_t>(regionCode);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.bytes.data()), length);
}

// Virtual time whose pauses let events through, as the desktop program's clock does.
struct PumpingClock : VirtualClock {
    void Sleep(int ms) override {
        VirtualClock::Sleep(ms);
        PumpEvents();
    }
};

// The window on a folder holding the default images of INTL and UK for model type 1 and of
// INTL for model type 2.
struct Harness : testing::BasicWindowHarness<PumpingClock> {
    std::vector<SerialDevice> ports{{"/dev/ttyS0", "Serial (COM1)"}};

    explicit Harness(const std::string& globalIni = kTwoModels, bool debug = false)
        : BasicWindowHarness(globalIni.c_str(), 0) {
        config.state.DebugSwitch = debug;
        WriteRegionImage(Folder() / "UK_08FD.ini", 1, 1);
        WriteRegionImage(Folder() / "INTL_0961.ini", 2, 0);
    }
    ~Harness() { window.reset(); }  // before the ports its lister reads

    bool Load() {
        window = std::make_unique<MainWindow>(config);
        window->SetPortLister([this] { return ports; });
        return window->Load();
    }
    bool Show() {
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    QAction* Entry(const char* menu, int i) const {
        return Action(QString("%1_%2").arg(menu).arg(i).toUtf8());
    }
    QTreeWidget* Tree() const { return Find<QTreeWidget>("tvTreeView"); }
    // Opens and closes the port menu as a user would look into it; its visible captions,
    // the checked ones marked with "*".
    QStringList PortMenu() const {
        auto* menu = Find<QMenu>("mnuOptionsSerialPort");
        menu->popup(QPoint(0, 0));
        menu->hide();
        QStringList shown;
        for (int i = 0; i < kSerialMenuEntries; ++i) {
            const QAction* entry = Entry("mnuOptionsSerialPort1", i);
            if (entry->isVisible()) {
                shown << entry->text() + (entry->isChecked() ? "*" : "");
            }
        }
        return shown;
    }
    // Stores a window placement given in pixels, as the exit writes it (in twips).
    void StorePlacement(const QRect& r) {
        const int dpi = qRound(QGuiApplication::primaryScreen()->logicalDotsPerInchX());
        const int values[] = {r.x(), r.y(), r.width(), r.height()};
        const char* keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        for (int i = 0; i < 4; ++i) {
            settings.Set("Settings", keys[i], std::to_string(PixelsToTwips(values[i], dpi)));
        }
    }
    QStackedWidget* Panels() const { return Find<QStackedWidget>("panelArea"); }
    QString Caption() const { return window->windowTitle(); }
    const MessageRequest& Last() const { return prompt.messages.back(); }
    QString Setting(const char* section, const char* key) {
        return QString::fromStdString(settings.Get(section, key, "<absent>"));
    }
    // Children keys of a node, in tree order.
    QStringList ChildKeys(const QString& key) const {
        QStringList keys;
        const QTreeWidgetItem* parent = window->FindNode(key);
        for (int i = 0; parent != nullptr && i < parent->childCount(); ++i) {
            keys << parent->child(i)->data(0, Qt::UserRole).toString();
        }
        return keys;
    }
    QString NodeText(const QString& key) const {
        const QTreeWidgetItem* item = window->FindNode(key);
        return item != nullptr ? item->text(0) : QString();
    }
    void WaitForNew() { QTRY_VERIFY_WITH_TIMEOUT(!window->NewPending(), 5000); }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    // ---- Rules without a window --------------------------------------------------------------

    void commandLineIsComparedWholeAfterOurOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("baud");
        QTest::addColumn<QString>("port");
        QTest::newRow("/de") << QStringList{"/de"} << true << true << "";
        QTest::newRow("/ED") << QStringList{"/ED"} << true << true << "";
        QTest::newRow("blanks trimmed") << QStringList{"  /E  "} << false << true << "";
        QTest::newRow("/d") << QStringList{"/d"} << true << false << "";
        QTest::newRow("two words set neither") << QStringList{"/D", "/E"} << false << false << "";
        QTest::newRow("/X") << QStringList{"/X"} << false << false << "";
        QTest::newRow("nothing") << QStringList{} << false << false << "";
        QTest::newRow("--port first")
            << QStringList{"--port", "/dev/ttyUSB0", "/D"} << true << false << "/dev/ttyUSB0";
        QTest::newRow("--port= and --version")
            << QStringList{"/E", "--port=/dev/ttyS1", "--version"} << false << true << "/dev/ttyS1";
    }
    void commandLineIsComparedWholeAfterOurOptions() {
        QFETCH(QStringList, args);
        QFETCH(bool, debug);
        QFETCH(bool, baud);
        QFETCH(QString, port);
        std::vector<std::string> words;
        for (const QString& arg : args) {
            words.push_back(arg.toStdString());
        }
        const CommandLine c = ParseCommandLine(words);
        QCOMPARE(c.debug, debug);
        QCOMPARE(c.baud19200, baud);
        QCOMPARE(QString::fromStdString(c.portDevice), port);
        QCOMPARE(c.version, args.contains("--version"));
        QVERIFY(c.error.empty());
        QVERIFY(ParseCommandLine({"--help"}).help);
        QVERIFY(!ParseCommandLine({"--port"}).error.empty());
    }

    void nodesDispatchToTheirPanels() {
        const struct {
            const char* parent;
            const char* key;
            const char* panel;
        } rows[] = {{"", "General", "pictGeneral"},
                    {"", "program", "pictGrey"},
                    {"", "DSCSetting", "pictGrey"},
                    {"", "EXPCHANNEL", "pictB"},
                    {"General", "Usable", "pictUsable"},
                    {"General", "common", "pictCommon"},
                    {"General", "DSC", "pictDSC"},
                    {"General", "ATIS", "pictATIS"},
                    {"Program", "PU", "pictB"},
                    {"Program", "PI", "pictB"},
                    {"Program", "PC", "pictB"},
                    {"Program", "PR", "pictB"},
                    {"Program", "PW", "pictD"},
                    {"DSCSetting", "SM", "pictE"},
                    {"DSCSetting", "SG", "pictE"},
                    {"SM", "SM17", "pictG"},
                    {"", "Nowhere", ""},
                    {"", "SM", ""}};  // no root category
        for (const auto& row : rows) {
            QCOMPARE(PanelForNode(row.parent, row.key).panel, std::string(row.panel));
        }
        QCOMPARE(PanelForNode("SM", "SM17").entry, 17);
        QCOMPARE(PanelForNode("sg", "sg3").entry, 3);
    }

    void pendingEditsStopAtTheFirstRefusal() {
        PendingEdits edits;
        QVERIFY(edits.Commit());
        int calls = 0;
        const int first = edits.Register([&] { return ++calls, false; });
        const int second = edits.Register([&] { return calls += 10, true; });
        QVERIFY(!edits.Commit());
        QCOMPARE(calls, 1);
        edits.Unregister(first);
        QVERIFY(edits.Commit());
        QCOMPARE(calls, 11);
        edits.Unregister(second);
        QCOMPARE(edits.Count(), 0);
    }

    void captionShowsTheLowerCasedFileName() {
        AppState state;
        state.TitleText = "PC Program for HV2300";
        state.CurrentFileName = "C:\\Radio\\MAIN.DAT";
        QCOMPARE(WindowCaption(state), std::string("MRW  PC Program for HV2300 - main.dat"));
    }

    // ---- Start-up ----------------------------------------------------------------------------

    void startUpWithTwoModelsShowsTheEditMenu() {
        Harness h;
        QVERIFY(h.Load());
        QCOMPARE(h.Caption(), QString("MRW  PC Program for HV2300"));
        QCOMPARE(h.Action("mnuEditModelType_1")->text(), QString("HV2400"));
        QVERIFY(!h.Action("mnuEditModelType_2")->isVisible());
        QCOMPARE(h.Find<QLabel>("sbStatusBar_Panel3")->text(), QString("HV2300"));
        // 607 by 444, or as much wider as the tree's captions need.
        QVERIFY(h.window->width() >= 607 && h.window->height() == 444);
        QVERIFY(!h.config.state.DataChanged);
        QCOMPARE(h.Tree()->currentItem()->data(0, Qt::UserRole).toString(), QString("General"));
        QCOMPARE(h.Panel(), QString("pictGeneral"));
        // The stored region (none yet) falls back to the first name, INTL.
        QVERIFY(h.Action("mnuDestinationChild_0")->isChecked());
        QVERIFY(!h.Action("mnuDestinationChild_2")->isVisible());
        QVERIFY(!h.Action("tbProgram2")->isVisible() && !h.Action("tbRead2")->isVisible());
        QVERIFY(h.Action("tbRead")->isVisible());
        QVERIFY(h.prompt.messages.empty());
    }

    void startUpVariantsOfGlobalIni_data() {
        QTest::addColumn<QString>("globalIni");
        QTest::addColumn<QString>("lastModel");
        QTest::addColumn<int>("expectedType");  // 0: no usable type, the program ends
        QTest::addColumn<bool>("modelMenuVisible");
        QTest::addColumn<bool>("atis");
        QTest::newRow("only type 2 usable, lastmodel 1")
            << "[model1]\nuse=0\n[model2]\nuse=1\natis=True\n"
            << "1" << 2 << false << true;
        QTest::newRow("use #1 counts as 1") << "[model1]\nuse=#1\n"
                                            << "" << 1 << false << false;
        QTest::newRow("stored 2 chosen") << kTwoModels << "2" << 2 << true << true;
        QTest::newRow("stored 1 chosen") << kTwoModels << "1" << 1 << true << false;
        QTest::newRow("no stored value reads as 1")
            << kTwoModels << "<absent>" << 1 << true << false;
        QTest::newRow("lastmodel 0 ignored") << kTwoModels << "0" << 2 << true << true;
        QTest::newRow("lastmodel text ignored") << kTwoModels << "abc" << 2 << true << true;
        QTest::newRow("lastmodel 10 ignored") << kTwoModels << "10" << 2 << true << true;
        QTest::newRow("lastmodel of a disabled type ignored")
            << "[model1]\nuse=1\n[model2]\nuse=0\n"
            << "2" << 1 << false << false;
        QTest::newRow("empty use stops the scan") << "[model1]\nuse=\n[model2]\nuse=1\n"
                                                  << "2" << 0 << false << false;
        QTest::newRow("no type usable") << "[model1]\nuse=0\n"
                                        << "1" << 0 << false << false;
        QTest::newRow("empty global.ini") << ""
                                          << "1" << 0 << false << false;
    }
    void startUpVariantsOfGlobalIni() {
        QFETCH(QString, globalIni);
        QFETCH(QString, lastModel);
        QFETCH(int, expectedType);
        QFETCH(bool, modelMenuVisible);
        QFETCH(bool, atis);
        Harness h(globalIni.toStdString());
        if (lastModel != "<absent>") {
            h.settings.Set("Settings", "lastmodel", lastModel.toStdString());
        }
        if (expectedType == 0) {
            QVERIFY(!h.Load());
            QCOMPARE(h.prompt.messages.size(), size_t{1});
            QCOMPARE(h.Last().text, std::string("Unknown model!!"));
            QCOMPARE(h.Last().icon, Icon::Critical);
            QCOMPARE(h.Last().buttons, Buttons::Ok);
            return;
        }
        QVERIFY(h.Load());
        QCOMPARE(int{h.config.state.ModelType}, expectedType);
        QCOMPARE(h.Find<QMenu>("mnuEditModel")->menuAction()->isVisible(), modelMenuVisible);
        QVERIFY(h.Entry("mnuEditModelType", expectedType - 1)->isChecked());
        QVERIFY(!h.Entry("mnuEditModelType", 2 - expectedType)->isChecked());
        QCOMPARE(h.config.state.AtisSupported, atis);
        QCOMPARE(h.window->FindNode("ATIS") != nullptr, atis);
    }

    void startUpWithTheFactoryImages() {
        const std::filesystem::path bin = MRW_TEST_BIN_DIR;
        if (!std::filesystem::exists(bin / "INTL_08FD.ini")) {
            QSKIP("the factory region images are not built");
        }
        Harness h;
        for (const auto& file : std::filesystem::directory_iterator(bin)) {
            const std::string name = file.path().filename().string();
            if (name.size() > 9 && name.substr(name.size() - 9) == "_08FD.ini") {
                std::filesystem::copy_file(file.path(), h.Folder() / name,
                                           std::filesystem::copy_options::overwrite_existing);
            }
        }
        h.settings.Set("IniFilePath", "IniFileName_1", "UK");
        QVERIFY(h.Load());
        QVERIFY(h.prompt.messages.empty());
        QStringList names;
        for (int k = 0; k < 7; ++k) {
            names << h.Entry("mnuDestinationChild", k)->text();
        }
        QCOMPARE(names, (QStringList{"BE", "GRMN", "INTL", "NL", "SW", "UK", "USA"}));
        QVERIFY(h.Action("mnuDestinationChild_5")->isChecked());
        QCOMPARE(int{h.config.image.bytes[kRegionByte]}, 1);
        QVERIFY(!h.config.state.DataChanged);
    }

    // ---- Tree --------------------------------------------------------------------------------

    void treeByModelAndGroups() {
        Harness h;
        h.settings.Set("Settings", "lastmodel", "2");
        QVERIFY(h.Load());
        QCOMPARE(h.ChildKeys("General"), (QStringList{"Usable", "Common", "DSC", "ATIS"}));
        for (auto& group : h.config.model.Groups) {
            group.Usable = true;
        }
        h.config.model.Groups[1].Usable = false;
        h.window->RebuildViews();
        QCOMPARE(h.ChildKeys("Program"), (QStringList{"PU", "PC", "PR", "PW"}));
        QCOMPARE(h.Tree()->topLevelItemCount(), 4);
        QCOMPARE(h.window->GroupNodePosition(1), 0);
        QVERIFY(h.window->GroupNodePosition(0) > 0);
        QVERIFY(h.window->GroupNodePosition(2) > h.window->GroupNodePosition(0));
        QVERIFY(h.window->GroupNodePosition(3) > h.window->GroupNodePosition(2));
        QCOMPARE(h.window->FindNode("SM")->childCount(), 80);
        QCOMPARE(h.ChildKeys("SG").size(), 32);
        QCOMPARE(h.ChildKeys("SG").back(), QString("SG32"));
        // The EXP group's node lives at the top and goes with its group.
        h.config.model.Groups[3].Usable = false;
        h.window->RebuildViews();
        QVERIFY(h.window->FindNode("EXPCHANNEL") == nullptr);

        // Changing to type 1 (no ATIS) rebuilds the tree without the ATIS node.
        h.prompt.answers = {Answer::Ok};
        h.Action("mnuEditModelType_0")->trigger();
        h.WaitForNew();
        QCOMPARE(int{h.config.state.ModelType}, 1);
        QCOMPARE(h.ChildKeys("General"), (QStringList{"Usable", "Common", "DSC"}));
    }

    void groupAndDirectoryCaptions() {
        Harness h;
        QVERIFY(h.Load());
        h.config.model.Groups[0].Usable = true;
        h.config.model.Groups[0].StatusName = "MAIN";
        h.config.model.Groups[3].Usable = true;
        h.config.model.CHMMSID[4].Enable = true;
        h.config.model.CHGRPID[1].Enable = true;
        h.window->RebuildViews();
        QCOMPARE(h.NodeText("PU"), QString("Group1(MAIN)"));
        QCOMPARE(h.NodeText("EXPCHANNEL"), QString("EXP Channel"));
        QCOMPARE(h.NodeText("SM5"), QString("Memory ID5[Enable]"));
        QCOMPARE(h.NodeText("SM6"), QString("Memory ID6"));
        QCOMPARE(h.NodeText("SG2"), QString("Group ID2[Enable]"));
        // A rebuild replaces the status name rather than appending to it.
        for (const char* name : {"SEA", ""}) {
            h.config.model.Groups[0].StatusName = name;
            h.window->RebuildViews();
            QCOMPARE(h.NodeText("PU"), *name ? QString("Group1(%1)").arg(name) : "Group1");
        }
        // The group directory's captions follow when its node is expanded.
        h.config.model.CHGRPID[1].Enable = false;
        h.config.model.CHMMSID[4].Enable = false;
        h.window->FindNode("SG")->setExpanded(true);
        QCOMPARE(h.NodeText("SG2"), QString("Group ID2"));
        QCOMPARE(h.NodeText("SM5"), QString("Memory ID5[Enable]"));  // not refreshed yet
        h.window->RefreshDirectoryCaptions("SM");
        QCOMPARE(h.NodeText("SM5"), QString("Memory ID5"));
    }

    void nodeDispatchAndTheCurrentNodeRule() {
        Harness h;
        QVERIFY(h.Load());
        std::vector<NodeTarget> shown;
        for (const char* panel : kPanelNames) {
            h.window->SetPanelHandler(panel, [&](const NodeTarget& t) { shown.push_back(t); });
        }
        h.window->ShowHint("");
        QVERIFY(h.window->SelectNodeByKey("PW"));
        QCOMPARE(h.Panel(), QString("pictD"));
        QVERIFY(h.Panels()->currentWidget()->isEnabled());
        QVERIFY(!h.window->Panel("pictGeneral")->isEnabled());
        QCOMPARE(h.Find<QLabel>("sbStatusBar_Panel1")->text(), QString(kTreeHint));
        QCOMPARE(shown.size(), size_t{1});
        QCOMPARE(shown.back().key, std::string("PW"));
        QVERIFY(h.window->SelectNodeByKey("SG7"));
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(shown.back().entry, 7);
        QVERIFY(!h.window->SelectNodeByKey("pw"));  // keys are exact

        // Clicking the node that is already current does not redraw its panel.
        QVERIFY(h.Show());
        QVERIFY(h.window->SelectNodeByKey("Common"));
        const size_t before = shown.size();
        const QRect rect = h.Tree()->visualItemRect(h.window->FindNode("Common"));
        QTest::mouseClick(h.Tree()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(shown.size(), before);
        h.window->ShowCurrentNode();
        QCOMPARE(shown.size(), before + 1);
        QCOMPARE(shown.back().panel, std::string("pictCommon"));
        // The arrow key moves the selection and shows the next node's panel.
        h.Tree()->setFocus();
        QTest::keyClick(h.Tree(), Qt::Key_Down);
        QCOMPARE(shown.back().key, std::string("DSC"));
        // Showing a panel leaves CancelFlag as it found it.
        h.config.state.CancelFlag = false;
        h.window->ShowCurrentNode();
        QVERIFY(!h.config.state.CancelFlag);
    }

    void disabledMenuEntryDisablesItsToolbarButton() {
        Harness h;
        QVERIFY(h.Load());
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        QAction* read = h.Action("mnuTransferRead");
        QAction* button = h.Action("tbRead");
        QCOMPARE(button->toolTip(), QString("Read from Radio"));
        read->setEnabled(false);
        QVERIFY(!button->isEnabled());
        button->trigger();
        QVERIFY(modes.empty());
        read->setEnabled(true);
        QVERIFY(button->isEnabled());
        button->trigger();
        h.Action("tbProgram")->trigger();
        read->trigger();
        QCOMPARE(modes, (std::vector<int>{0, 1, 0}));
        QCOMPARE(int{h.config.state.TransferMode}, 0);
        // Every toolbar button has a tooltip and an icon.
        for (QAction* action : h.Find<QToolBar>("tbToolBar")->actions()) {
            QVERIFY(action->isSeparator() || !action->toolTip().isEmpty());
            QVERIFY(action->isSeparator() || !action->icon().isNull());
        }
    }

    // ---- Region and model menus --------------------------------------------------------------

    void regionMenuAsksIsSortedAndMEntryLoadsThePlainFile() {
        Harness h;
        // Listed in any order; the -M image itself is unusable (one byte short).
        WriteRegionImage(h.Folder() / "INTL-M_08FD.ini", 1, 0, kImageSize - 1);
        QVERIFY(h.Load());
        QCOMPARE(h.Action("mnuDestinationChild_0")->text(), QString("INTL"));
        QCOMPARE(h.Action("mnuDestinationChild_1")->text(), QString("INTL-M"));
        QCOMPARE(h.Action("mnuDestinationChild_2")->text(), QString("UK"));
        h.prompt.answers = {Answer::Cancel};
        h.Action("mnuDestinationChild_2")->trigger();
        QCOMPARE(h.Last().text, std::string("Do you want to change to UK?"));
        QVERIFY(h.Action("mnuDestinationChild_0")->isChecked());
        QVERIFY(!h.Action("mnuDestinationChild_2")->isChecked());
        QCOMPARE(int{h.config.image.bytes[kRegionByte]}, 0);

        h.prompt.answers = {Answer::Ok, Answer::Ok};
        h.Action("mnuDestinationChild_2")->trigger();
        QVERIFY(h.Action("mnuDestinationChild_2")->isChecked());
        QCOMPARE(int{h.config.image.bytes[kRegionByte]}, 1);
        QCOMPARE(h.Setting("IniFilePath", "IniFileName_1"), QString("UK"));
        h.Action("mnuDestinationChild_1")->trigger();
        QCOMPARE(h.Last().text, std::string("Do you want to change to INTL-M?"));
        QVERIFY(h.Action("mnuDestinationChild_1")->isChecked());
        QVERIFY(!h.Action("mnuDestinationChild_2")->isChecked());
        QCOMPARE(int{h.config.image.bytes[kRegionByte]}, 0);  // INTL_08FD.ini was loaded
        QCOMPARE(h.Setting("IniFilePath", "IniFileName_1"), QString("INTL-M"));

        // With unsaved changes the save question comes first; Cancel stops the change.
        h.config.state.DataChanged = true;
        h.prompt.messages.clear();
        h.prompt.answers = {Answer::Cancel};
        h.Action("mnuDestinationChild_2")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(h.Last().text, std::string(kSaveChangesQuestion));
        QCOMPARE(h.Last().buttons, Buttons::YesNoCancel);
        QCOMPARE(h.Last().icon, Icon::Exclamation);
        QVERIFY(h.Action("mnuDestinationChild_1")->isChecked());
        QVERIFY(h.config.state.DataChanged);
    }

    void modelChangeAsksAndResets() {
        Harness h;
        QVERIFY(h.Load());
        h.prompt.answers = {Answer::Cancel};
        h.Action("mnuEditModelType_1")->trigger();
        QCOMPARE(h.Last().text, std::string("Do you want to program the HV2400 series?"));
        QCOMPARE(h.Last().buttons, Buttons::OkCancel);
        QCOMPARE(int{h.config.state.ModelType}, 1);
        QVERIFY(h.Action("mnuEditModelType_0")->isChecked());
        QVERIFY(!h.Action("mnuEditModelType_1")->isChecked());

        h.config.state.DataChanged = true;
        h.prompt.answers = {Answer::No, Answer::Ok};
        h.Action("mnuEditModelType_1")->trigger();
        QVERIFY(h.window->NewPending());
        h.WaitForNew();
        QCOMPARE(int{h.config.state.ModelType}, 2);
        QCOMPARE(h.Setting("Settings", "lastmodel"), QString("2"));
        QVERIFY(h.Action("mnuEditModelType_1")->isChecked());
        QVERIFY(!h.Action("mnuEditModelType_0")->isChecked());
        QCOMPARE(h.Caption(), QString("MRW  PC Program for HV2400"));
        QCOMPARE(h.Find<QLabel>("sbStatusBar_Panel3")->text(), QString("HV2400"));
        QVERIFY(!h.config.state.DataChanged);
        // The region menu now lists the images of type 2.
        QCOMPARE(h.Action("mnuDestinationChild_0")->text(), QString("INTL"));
        QVERIFY(!h.Action("mnuDestinationChild_1")->isVisible());
        // Choosing the current type asks nothing.
        h.prompt.messages.clear();
        h.Action("mnuEditModelType_1")->trigger();
        QVERIFY(h.prompt.messages.empty());
        QVERIFY(h.Action("mnuEditModelType_1")->isChecked());
    }

    // ---- File commands -----------------------------------------------------------------------

    void newAsksBeforeDiscardingChanges() {
        Harness h;
        QVERIFY(h.Load());
        QVERIFY(
            EditModel(h.config, "Group1", [](DataModel& m) { m.Groups[0].StatusName = "EDIT"; }));
        QVERIFY(h.Action("mnuEditUndo")->isEnabled());
        h.prompt.answers = {Answer::Cancel};
        h.Action("mnuFileNew")->trigger();
        QVERIFY(!h.window->NewPending());
        QCOMPARE(h.config.model.Groups[0].StatusName, std::string("EDIT"));

        h.prompt.answers = {Answer::No};
        h.config.state.CurrentFileName = (h.Folder() / "old.dat").string();
        h.Action("tbNew")->trigger();
        QVERIFY(h.window->NewPending());
        QCOMPARE(h.config.model.Groups[0].StatusName, std::string("EDIT"));  // deferred
        h.WaitForNew();
        QVERIFY(!h.config.state.DataChanged);
        QVERIFY(h.config.model.Groups[0].StatusName != "EDIT");
        QVERIFY(h.config.state.CurrentFileName.empty());
        QCOMPARE(h.Caption(), QString("MRW  PC Program for HV2300"));
        QCOMPARE(h.Panel(), QString("pictGeneral"));
        QVERIFY(!h.Action("mnuEditUndo")->isEnabled());  // nothing of the old one to undo
    }

    void saveAsAndOpenWithRealFiles() {
        Harness h;
        QVERIFY(h.Load());
        const std::string path = (h.Folder() / "Sea Wolf.DAT").string();
        const QString caption("MRW  PC Program for HV2300 - sea wolf.dat");
        h.config.model.Groups[0].StatusName = "WOLF";
        h.config.state.DataChanged = true;
        h.prompt.fileNames = {path};
        h.Action("mnuFileSaveAs")->trigger();
        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        QVERIFY(h.prompt.dialogs[0].save && h.prompt.dialogs[0].overwritePrompt);
        QCOMPARE(h.prompt.dialogs[0].filter,
                 std::string("dat files(*.dat)|*.dat|All files(*.*)|*.*"));
        QVERIFY(std::filesystem::exists(path));
        QCOMPARE(h.config.state.CurrentFileName, path);
        QVERIFY(!h.config.state.DataChanged);
        QCOMPARE(h.Caption(), caption);
        // The status bar confirms it for a few seconds.
        auto* confirmation = h.Find<QLabel>("sbStatusBar_Panel2");
        auto* timer = h.Find<QTimer>("tmrStatus");
        QCOMPARE(confirmation->text(), QString("Saved Sea Wolf.DAT"));
        QVERIFY(timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), 5000);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
        QVERIFY(confirmation->text().isEmpty());

        // Save writes to the current file without a dialog.
        h.config.model.Groups[0].StatusName = "SEA";
        h.config.state.DataChanged = true;
        h.Action("tbSave")->trigger();
        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        QVERIFY(!h.config.state.DataChanged);

        // Open brings the saved configuration back (after the save question, answered No).
        h.config.model.Groups[0].StatusName = "XXXX";
        h.config.state.DataChanged = true;
        h.config.state.CurrentFileName.clear();
        h.window->UpdateWindowCaption();
        h.prompt.answers = {Answer::No};
        h.prompt.fileNames = {path};
        h.Action("mnuFileOpen")->trigger();
        QCOMPARE(h.prompt.dialogs.size(), size_t{2});
        QVERIFY(!h.prompt.dialogs[1].save);
        QCOMPARE(h.prompt.dialogs[1].folder, h.Folder().string());
        QCOMPARE(h.config.model.Groups[0].StatusName, std::string("SEA"));
        QCOMPARE(h.config.state.CurrentFileName, path);
        QCOMPARE(confirmation->text(), QString("Opened Sea Wolf.DAT"));
        QVERIFY(!h.config.state.DataChanged && !h.config.state.CancelFlag);
        QCOMPARE(h.Caption(), caption);
        QCOMPARE(h.Panel(), QString("pictGeneral"));

        // A cancelled Open changes nothing.
        h.prompt.fileNames.clear();
        h.Action("tbOpen")->trigger();
        QCOMPARE(h.config.state.CurrentFileName, path);
        QVERIFY(h.config.state.CancelFlag);
        QVERIFY(h.window->centralWidget()->isEnabled());
    }

    void exitWithChanges() {
        Harness h;
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        h.config.state.DataChanged = true;
        h.prompt.answers = {Answer::Cancel};
        QVERIFY(!h.window->close());
        QVERIFY(h.window->isVisible());
        QCOMPARE(h.Last().text, std::string(kSaveChangesQuestion));
        QCOMPARE(h.Last().defaultButton, Answer::Yes);

        // Yes without a current file opens Save As; cancelling it keeps the window open.
        h.prompt.answers = {Answer::Yes};
        QVERIFY(!h.window->close());
        QVERIFY(h.window->isVisible());
        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        QVERIFY(h.prompt.dialogs[0].save);
        QVERIFY(h.config.state.DataChanged);
        QCOMPARE(h.Setting("Settings", "MainWidth"), QString("<absent>"));

        // Yes with a name saves, then closes.
        const std::string path = (h.Folder() / "exit.dat").string();
        h.prompt.answers = {Answer::Yes};
        h.prompt.fileNames = {path};
        h.Action("mnuFileExit")->trigger();
        QVERIFY(!h.window->isVisible());
        QVERIFY(std::filesystem::exists(path));

        // No closes without saving and records the placement in twips.
        Harness h2;
        QVERIFY(h2.Load());
        QVERIFY(h2.Show());
        h2.config.state.DataChanged = true;
        h2.prompt.answers = {Answer::No};
        QVERIFY(h2.window->close());
        QVERIFY(h2.prompt.dialogs.empty());
        const double width = h2.Setting("Settings", "MainWidth").toDouble();
        QCOMPARE(width,
                 PixelsToTwips(h2.window->frameGeometry().width(), h2.window->logicalDpiX()));
        QVERIFY(h2.Setting("Settings", "MainLeft") != "<absent>");
        QVERIFY(h2.Setting("Settings", "MainHeight").toDouble() >= 6660 - 15);

        // Closing while minimised keeps the stored placement.
        Harness h3;
        QVERIFY(h3.Load());
        h3.window->showMinimized();
        QVERIFY(h3.window->isMinimized() && h3.window->close());
        QCOMPARE(h3.Setting("Settings", "MainLeft"), QString("<absent>"));
        QCOMPARE(h3.Setting("Settings", "MainWidth"), QString("<absent>"));
    }

    void refusedPendingEditStopsCommands() {
        Harness h;
        QVERIFY(h.Load());
        bool refuse = true;
        int asked = 0;
        h.window->pendingEdits().Register([&] { return ++asked, !refuse; });
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        for (const char* command :
             {"mnuFileSave", "mnuFileSaveAs", "mnuFileOpen", "mnuFileNew", "mnuTransferProgram"}) {
            h.Action(command)->trigger();
        }
        QCOMPARE(asked, 5);
        QVERIFY(h.prompt.dialogs.empty());
        QVERIFY(!h.window->NewPending());
        QVERIFY(modes.empty());

        // Exit: Yes needs the edit committed first.
        QVERIFY(h.Show());
        h.config.state.DataChanged = true;
        h.prompt.answers = {Answer::Yes};
        QVERIFY(!h.window->close());
        QVERIFY(h.prompt.dialogs.empty());
        refuse = false;
        h.config.state.DataChanged = false;
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(modes, std::vector<int>{1});
    }

    // ---- Debug aids --------------------------------------------------------------------------

    void debugItemsAbsentWithoutD() {
        Harness h;
        h.settings.Set("Settings", "hexvisible", "True");
        QVERIFY(h.Load());
        QVERIFY(!h.Action("mnuOptionsHexdump")->isVisible());
        QVERIFY(h.Find<QListWidget>("lstHex")->isHidden());
        QVERIFY(h.Show());
        h.prompt.fileNames = {(h.Folder() / "x.hex").string()};
        QTest::keyClick(h.window.get(), Qt::Key_F3, Qt::ControlModifier);
        QTest::keyClick(h.window.get(), Qt::Key_F2, Qt::ControlModifier);
        h.window->OpenHexCommand();
        h.window->SaveHexCommand();
        QVERIFY(h.prompt.dialogs.empty());
        QVERIFY(!std::filesystem::exists(h.Folder() / "x.hex"));
    }

    void hexFilesRoundTripInDebugMode() {
        Harness h(kTwoModels, true);
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        // The dialogs start in the documents, then where the last file was chosen; never in
        // the program's folder.
        h.config.services.documentsFolder = h.Folder() / "Documents";
        std::filesystem::create_directories(h.Folder() / "boats");
        const std::filesystem::path path = h.Folder() / "boats" / "Radio.HEX";
        h.config.model.Groups[0].StatusName = "HEX";
        h.prompt.fileNames = {path.string()};
        QTest::keyClick(h.window.get(), Qt::Key_F3, Qt::ControlModifier);
        const Image saved = h.config.image;
        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        QVERIFY(h.prompt.dialogs[0].save);
        QCOMPARE(h.prompt.dialogs[0].folder, (h.Folder() / "Documents").string());
        QCOMPARE(h.prompt.dialogs[0].filter,
                 std::string("hex files(*.hex)|*.hex|All files(*.*)|*.*"));
        QCOMPARE(std::filesystem::file_size(path), std::uintmax_t{kImageSize});
        QVERIFY(h.config.state.CurrentFileName.empty());  // saving a raw image names no file

        h.config.model.Groups[0].StatusName = "XXXX";
        h.config.image.bytes[300] ^= 0xFF;
        h.prompt.fileNames = {path.string()};
        QTest::keyClick(h.window.get(), Qt::Key_F2, Qt::ControlModifier);
        QCOMPARE(h.prompt.dialogs.size(), size_t{2});
        QVERIFY(h.prompt.dialogs[1].mustExist);
        QCOMPARE(h.prompt.dialogs[1].folder, (h.Folder() / "boats").string());
        QCOMPARE(h.config.model.Groups[0].StatusName, std::string("HEX"));
        QVERIFY(h.config.image.bytes == saved.bytes);
        QCOMPARE(h.Caption(), QString("MRW  PC Program for HV2300 - radio.hex"));
        QVERIFY(!h.config.state.DataChanged);

        // A file one byte short is refused.
        WriteText(h.Folder() / "short.hex", std::string(kImageSize - 1, '\0'));
        h.prompt.fileNames = {(h.Folder() / "short.hex").string()};
        h.window->OpenHexCommand();
        QCOMPARE(h.Last().text, std::string("bad file!!"));
        QCOMPARE(h.Last().icon, Icon::Critical);
    }

    void busyWindowRefusesCommandsAndShortcuts() {
        Harness h(kTwoModels, true);
        WriteRegionImage(h.Folder() / "UK_08FD.ini", 1, 1, kImageSize, "UK");
        h.settings.Set("IniFilePath", "IniFileName_1", "UK");
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        const std::filesystem::path hex = h.Folder() / "mid.hex";
        h.prompt.fileNames.assign(8, hex.string());
        // At every pause of New's reset the user presses what the window offers.
        int pauses = 0;
        bool hourglassOnWindowOnly = true;
        bool pressing = false;  // a command that did run pauses too
        h.clock.onPump = [&] {
            if (std::exchange(pressing, true)) {
                return;
            }
            ++pauses;
            hourglassOnWindowOnly &= h.window->cursor().shape() == Qt::WaitCursor &&
                                     QGuiApplication::overrideCursor() == nullptr;
            QTest::keyClick(h.window.get(), Qt::Key_F3, Qt::ControlModifier);
            QTest::keyClick(h.window.get(), Qt::Key_F2, Qt::ControlModifier);
            h.Action("tbProgram")->trigger();
            h.Action("mnuDestinationChild_0")->trigger();
            pressing = false;
        };
        h.Action("mnuFileNew")->trigger();
        h.WaitForNew();
        h.clock.onPump = nullptr;
        QVERIFY(pauses >= 3);
        QCOMPARE(h.config.model.Groups[0].StatusName, std::string("UK"));
        QVERIFY(h.Action("mnuDestinationChild_1")->isChecked());
        QVERIFY(!h.Action("mnuDestinationChild_0")->isChecked());
        QVERIFY(h.prompt.dialogs.empty() && h.prompt.messages.empty() && modes.empty());
        QVERIFY(!std::filesystem::exists(hex));
        QVERIFY(hourglassOnWindowOnly);
        QCOMPARE(h.window->cursor().shape(), Qt::ArrowCursor);
        // Idle again, the shortcut works.
        QTest::keyClick(h.window.get(), Qt::Key_F3, Qt::ControlModifier);
        QVERIFY(std::filesystem::exists(hex));
    }

    void hexdumpListFollowsItsEntry() {
        Harness h(kTwoModels, true);
        QVERIFY(h.Load());
        QAction* entry = h.Action("mnuOptionsHexdump");
        auto* list = h.Find<QListWidget>("lstHex");
        QVERIFY(entry->isVisible() && !entry->isChecked() && list->isHidden());
        entry->trigger();
        QVERIFY(entry->isChecked() && !list->isHidden());
        QCOMPARE(list->count(), 2 + kImageSize / 16);
        QVERIFY(list->item(2)->text().startsWith(" 0000: "));
        QCOMPARE(list->font(), FixedPitchFont());
        entry->trigger();
        QVERIFY(list->isHidden());
        QCOMPARE(list->count(), 0);

        // A stored "hexvisible" starts the entry checked and the list shown.
        Harness h2(kTwoModels, true);
        h2.settings.Set("Settings", "hexvisible", "-1");
        QVERIFY(h2.Load());
        QVERIFY(h2.Action("mnuOptionsHexdump")->isChecked());
        QCOMPARE(h2.Find<QListWidget>("lstHex")->count(), 2 + kImageSize / 16);
    }

    // ---- Serial-port menu --------------------------------------------------------------------

    void serialMenu_data() {
        QTest::addColumn<QStringList>("devices");  // COM numbers as listed by the system
        QTest::addColumn<int>("stored");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("checked");
        QStringList sixteen;
        QStringList seventeen;
        for (int n = 1; n <= 17; ++n) {
            seventeen.prepend(QString::number(n));
            if (n <= 16) {
                sixteen << QString("COM %1").arg(n);
            }
        }
        QTest::newRow("none") << QStringList{} << 4 << QStringList{} << -1;
        QTest::newRow("three, sorted")
            << QStringList{"5", "1", "3"} << 3 << QStringList{"COM 1", "COM 3", "COM 5"} << 1;
        // Port 17 is not in the menu; the stored number stays in effect.
        QTest::newRow("seventeen") << seventeen << 17 << sixteen << -1;
    }
    void serialMenu() {
        QFETCH(QStringList, devices);
        QFETCH(int, stored);
        QFETCH(QStringList, entries);
        QFETCH(int, checked);
        Harness h;
        h.ports.clear();
        for (const QString& n : devices) {
            h.ports.push_back(
                {"/dev/ttyUSB" + n.toStdString(), "USB (COM" + n.toStdString() + ")"});
        }
        h.settings.Set("ComPath", "ComNum", std::to_string(stored));
        QVERIFY(h.Load());
        QCOMPARE(int{h.config.state.PortNumber}, stored);
        // "Other Device…" keeps the menu usable without any port.
        QVERIFY(h.Find<QMenu>("mnuOptionsSerialPort")->menuAction()->isEnabled());
        QCOMPARE(h.prompt.messages.size(), size_t{devices.empty()});
        if (devices.empty()) {
            QCOMPARE(h.Last().text, std::string("There is no port that can be used!!"));
            QCOMPARE(h.Last().title, std::string("MRW"));
            QCOMPARE(h.Last().icon, Icon::None);
            QCOMPARE(h.Last().buttons, Buttons::Ok);
        }
        for (int i = 0; i < kSerialMenuEntries; ++i) {
            QAction* entry = h.Entry("mnuOptionsSerialPort1", i);
            QCOMPARE(entry->isVisible(), i < entries.size());
            QCOMPARE(entry->isEnabled(), i < entries.size());
            QCOMPARE(entry->text(), i < entries.size() ? entries[i] : entry->text());
            QCOMPARE(entry->isChecked(), i == checked);
        }
        if (entries.size() != 3) {
            return;
        }
        // A click selects the entry's port, checks it alone and stores the number.
        h.Entry("mnuOptionsSerialPort1", 2)->trigger();
        QCOMPARE(int{h.config.state.PortNumber}, 5);
        QVERIFY(h.Entry("mnuOptionsSerialPort1", 2)->isChecked());
        QVERIFY(!h.Entry("mnuOptionsSerialPort1", 1)->isChecked());
        QCOMPARE(h.Setting("ComPath", "ComNum"), QString("5"));
        // An entry never filled leaves the number and unchecks itself.
        h.window->SerialPortCommand(7);
        QCOMPARE(int{h.config.state.PortNumber}, 5);
        QVERIFY(!h.Entry("mnuOptionsSerialPort1", 7)->isChecked());
    }

    void portMenuFollowsPluggedDevicesThePortOptionAndOtherDevice() {
        Harness h;
        h.config.state.PortDevice = "/dev/pts/5";  // --port
        QVERIFY(h.Load());
        QCOMPARE(h.PortMenu(), (QStringList{"COM 1", "COM 2 (pts/5)*"}));
        QCOMPARE(h.Setting("ComPath", "ComNum"), QString("<absent>"));
        // A cable plugged in after start-up appears the next time the menu opens.
        h.ports.push_back({"/dev/ttyUSB0", "USB Serial (COM3)"});
        QCOMPARE(h.PortMenu(), (QStringList{"COM 1", "COM 2 (pts/5)*", "COM 3"}));

        // "Other Device…" asks for a path; cancelling changes nothing.
        h.Action("mnuOptionsSerialPortOther")->trigger();
        QCOMPARE(h.prompt.textInputs.size(), size_t{1});
        QCOMPARE(h.prompt.textInputs[0].text, std::string("/dev/pts/5"));
        QCOMPARE(h.config.state.PortDevice, std::string("/dev/pts/5"));
        const std::string device = (h.Folder() / "ttyGONE").string();
        h.prompt.typedTexts = {" " + device + " "};
        h.Action("mnuOptionsSerialPortOther")->trigger();
        QVERIFY(h.config.state.PortDevice.empty());
        QCOMPARE(int{h.config.state.PortNumber}, 4);
        QCOMPARE(h.Setting("ComPath", "ComNum"), QString("4"));
        const QString caption = QString("COM 4 (ttyGONE)");
        QCOMPARE(h.PortMenu(), (QStringList{"COM 1", "COM 3", caption + "*"}));

        // The next transfer opens that device; it is not there, and the box says which it is.
        std::string opened;
        InstallTransferDialog(
            *h.window, h.config,
            [&](const AppState& state) {
                opened = ChosenPortPath(state.PortDevice, state.PortNumber, h.ports, h.settings);
                return std::make_unique<QtSerialPort>(opened);
            },
            [](TransferDialog& dialog) {
                QTimer::singleShot(0, &dialog, [&dialog] {
                    dialog.findChild<QPushButton*>("cmdOK")->click();
                    dialog.reject();
                });
            });
        h.Action("mnuTransferRead")->trigger();
        QCOMPARE(opened, device);
        const QStringList box = QString::fromStdString(h.Last().text).split("\r\n");
        QCOMPARE(box.value(0), QString(kPortOpenFailed));
        QVERIFY2(box.value(1).startsWith(QString::fromStdString(device)), qPrintable(box.value(1)));

        // The next start shows it chosen again.
        h.config.state.PortNumber = 1;
        QVERIFY(h.Load());
        QCOMPARE(int{h.config.state.PortNumber}, 4);
        QCOMPARE(h.PortMenu(), (QStringList{"COM 1", "COM 3", caption + "*"}));
    }

    void windowOpensWhereItWasLeftAndOnScreen() {
        Harness h;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        h.StorePlacement({screen.x() + 40, screen.y() + 30, 700, 500});
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        QCOMPARE(h.window->frameGeometry(), QRect(screen.x() + 40, screen.y() + 30, 700, 500));
        // Closed again unchanged, it stores the same placement: it does not grow run by run.
        const double width = h.Setting("Settings", "MainWidth").toDouble();
        QVERIFY(h.window->close());
        QCOMPARE(h.Setting("Settings", "MainWidth").toDouble(), width);

        // Left beyond the screen's right and bottom edges, or larger than it: pulled back.
        const QSize minimum = h.window->minimumSize();
        for (const QRect stored : {QRect(screen.right() + 500, screen.bottom() + 400, 700, 500),
                                   QRect(-5000, -4000, 9000, 8000)}) {
            Harness h2;
            h2.StorePlacement(stored);
            QVERIFY(h2.Load());
            QVERIFY(h2.Show());
            const QRect frame = h2.window->frameGeometry();
            QVERIFY2(screen.contains(frame), qPrintable(QString("%1,%2 %3x%4")
                                                            .arg(frame.x())
                                                            .arg(frame.y())
                                                            .arg(frame.width())
                                                            .arg(frame.height())));
            QCOMPARE(frame.size(), stored.size().boundedTo(screen.size()).expandedTo(minimum));
        }
        // A stored value that is not a number: the usual size.
        Harness h3;
        h3.StorePlacement({10, 10, 700, 500});
        h3.settings.Set("Settings", "MainWidth", "wide");
        QVERIFY(h3.Load());
        QCOMPARE(h3.window->height(), 444);
    }

    void treeIsWideEnoughForItsCaptions() {
        Harness h;
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        QTreeWidget* tree = h.Tree();
        tree->expandAll();
        const QAbstractItemView* view = tree;
        QVERIFY2(
            tree->viewport()->width() >= view->sizeHintForColumn(0),
            qPrintable(
                QString("%1 < %2").arg(tree->viewport()->width()).arg(view->sizeHintForColumn(0))));
    }

    void generalPageOffersTheFirstStepsThroughTheCommandGate() {
        Harness h;
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        QWidget* page = h.window->Panel("pictGeneral");
        QCOMPARE(page->findChild<QLabel*>("lblGeneralModel")->text(),
                 QString("Radio model: HV2300"));
        QVERIFY(!page->findChild<QLabel*>("picGeneralLogo")->pixmap().isNull());
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        auto click = [&](const char* name) {
            QTest::mouseClick(page->findChild<QPushButton*>(name), Qt::LeftButton);
        };
        click("cmdGeneralRead");
        click("cmdGeneralOpen");
        QCOMPARE(modes, std::vector<int>{0});
        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        click("cmdGeneralPort");
        auto* menu = h.Find<QMenu>("mnuOptionsSerialPort");
        QVERIFY(menu->isVisible());
        menu->hide();
        // While the window is busy the buttons are refused like the menus.
        h.window->SetBusy(true);
        const bool refused = !h.window->RunCommand({});
        page->findChild<QPushButton*>("cmdGeneralRead")->click();
        h.window->SetBusy(false);
        QVERIFY(refused);
        QCOMPARE(modes, std::vector<int>{0});
    }

    void fixedFontFallsBackToAFixedFamily() {
        const QFont preferred("Proportional Mono", 11);
        auto onlyDejaVu = [](const QFont& f) { return f.family() == "DejaVu Sans Mono"; };
        const QFont chosen = ChooseFixedFont(preferred, onlyDejaVu);
        QCOMPARE(chosen.family(), QString("DejaVu Sans Mono"));
        QCOMPARE(chosen.pointSize(), 11);
        QCOMPARE(ChooseFixedFont(preferred, [](const QFont&) { return true; }).family(),
                 preferred.family());
        const QFont none = ChooseFixedFont(preferred, [](const QFont&) { return false; });
        QVERIFY(none.family() == preferred.family() && none.fixedPitch());
    }

    // ---- Help, About, layout -----------------------------------------------------------------

    void helpAndAbout() {
        Harness h;
        QVERIFY(h.Load());
        h.Action("mnuHelpContents")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(h.Last().text, std::string("Unable to display Help Contents. There is no Help "
                                            "associated with this project."));
        QCOMPARE(h.Last().title, h.Caption().toStdString());
        QCOMPARE(h.Last().icon, Icon::Information);

        AboutBox about(h.window.get());
        QCOMPARE(about.windowTitle(), QString("Version Infomation"));
        QCOMPARE(about.size(), QSize(340, 251));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(),
                 QString("Version %1").arg(MRW_VERSION));
        QCOMPARE(about.findChild<QLabel*>("lblTitle")->text(),
                 QString("MRW  Marine Radio Workbench"));
        const QString notice = about.findChild<QLabel*>("lblDescription")->text();
        QVERIFY(notice.contains('\n'));
        // Each paragraph ends in two words that wrap together.
        for (const QString& paragraph : notice.split('\n', Qt::SkipEmptyParts)) {
            QVERIFY2(QRegularExpression("\\S+\u00A0\\S+$").match(paragraph).hasMatch(),
                     qPrintable(paragraph));
        }
        QVERIFY(
            !(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!about.findChild<QLabel*>("picIcon")->pixmap().isNull());
        // The menu entry opens it modally; OK closes it.
        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                box->findChild<QPushButton*>("cmdOK")->click();
            }
        });
        h.Action("mnuHelpAbout")->trigger();
    }

    void splitterKeepsItsLimits() {
        Harness h;
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        const int limit = TwipsToPixels(kSplitterLimitTwips, h.window->logicalDpiX());
        auto* splitter = h.Find<QSplitter>("imgSplitter");
        splitter->setSizes({1, 5000});
        QVERIFY(h.Tree()->width() >= limit);
        splitter->setSizes({5000, 1});
        QVERIFY(h.Panels()->width() >= limit);
        QCOMPARE(h.window->minimumSize(),
                 QSize(TwipsToPixels(kMinWidthTwips, h.window->logicalDpiX()),
                       TwipsToPixels(kMinHeightTwips, h.window->logicalDpiY())));
        h.window->resize(100, 100);
        QVERIFY(h.window->width() >= h.window->minimumWidth());
    }

    void wheelScrollsOneRowPerNotch() {
        auto scrolled = [](bool debug) {
            QTableWidget grid(200, 2);
            grid.setObjectName("MSFlexGrid1");
            grid.resize(200, 150);
            AttachWheelScrolling(&grid, debug);
            grid.show();
            if (!QTest::qWaitForWindowActive(&grid)) {
                return -1;
            }
            grid.setFocus();
            const int before = grid.verticalScrollBar()->value();
            const QPointF at(50, 50);
            QWheelEvent wheel(at, grid.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -360),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid.viewport(), &wheel);
            return grid.verticalScrollBar()->value() - before;
        };
        QCOMPARE(scrolled(false), 1);  // three notches at once still scroll one row
        QVERIFY(scrolled(true) > 1);   // debug mode keeps the grid's own wheel handling
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::MainWindowTest)
#include "main_window_test.moc"
