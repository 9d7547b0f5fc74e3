// The main window driven like a user: widgets found by objectName, message boxes and file
// dialogs answered by a ScriptedPrompt, virtual time, settings in memory, and a program
// folder of its own holding global.ini and region default images.
#include <QAction>
#include <QMenu>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>
#include <vector>

#include "core/config.h"
#include "test_files.h"
#include "ui/category_tree.h"
#include "ui/main_window.h"
#include "window_harness.h"

namespace mrw {

namespace {

constexpr const char* kTwoModels = "[model1]\nuse=1\natis=False\n[model2]\nuse=1\natis=True\n";

// Virtual time whose pauses let events through, as the desktop program's clock does, noted.
struct PumpingClock : VirtualClock {
    void Sleep(int ms) override {
        pauses.push_back(ms);
        VirtualClock::Sleep(ms);
        PumpEvents();
    }
    std::vector<int> pauses;
};

struct Harness : testing::BasicWindowHarness<PumpingClock> {
    explicit Harness(const std::string& globalIni = kTwoModels)
        : BasicWindowHarness(globalIni.c_str(), 0) {
        // The default image of model type 2, region INTL.
        Image image;
        DataModel model;
        NewImage(image, model, 2);
        image.bytes[testing::kRegionByte] = 0;
        testing::WriteBytes(Folder() / "INTL_0961.ini", image.bytes.data(), kImageSize);
    }
    bool Show() {
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    QTreeWidget* Tree() const { return Find<QTreeWidget>("tvTreeView"); }
    const MessageRequest& Last() const { return prompt.messages.back(); }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpChoosesTheModelTypeOrEnds() {
        for (const auto& c : testing::ReadCases(testing::TestData("ui/startup_model_types.txt"))) {
            Harness h(c[0]);
            if (c[1] != "-") {
                h.settings.Set("Settings", "lastmodel", c[1]);
            }
            const int type = std::stoi(c[2]);
            if (type == 0) {
                QVERIFY2(!h.Load(), c.where.c_str());
                QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Unknown model!!"});
                QCOMPARE(h.Last().icon, Icon::Critical);
                continue;
            }
            QVERIFY2(h.Load(), c.where.c_str());
            QVERIFY(h.prompt.messages.empty());
            QCOMPARE(int{h.config.state.ModelType}, type);
            QCOMPARE(h.Find<QMenu>("mnuEditModel")->menuAction()->isVisible(), c[3] == "1");
            QVERIFY(h.Action(type == 1 ? "mnuEditModelType_0" : "mnuEditModelType_1")->isChecked());
            QCOMPARE(h.window->FindNode("ATIS") != nullptr, c[4] == "1");
        }
    }

    void controlsExist() {
        Harness h;
        QVERIFY(h.Load());
        for (const char* name :
             {"mnuHelpAbout", "tbNew", "tbOpen", "tbSave", "tbRead", "tbProgram", "imgSplitter",
              "tbToolBar"}) {  // the menu entries the other tests trigger are not repeated
            QVERIFY2(h.window->findChild<QObject*>(name) != nullptr, name);
        }
        for (const char* panel : kPanelNames) {
            QVERIFY2(h.window->Panel(panel) != nullptr, panel);
        }
    }

    void nodeDispatchAndTheCurrentNodeRule() {
        Harness h;
        QVERIFY(h.Load());
        std::vector<NodeTarget> shown;
        for (const char* panel : kPanelNames) {
            h.window->SetPanelHandler(panel, [&](const NodeTarget& t) { shown.push_back(t); });
        }
        QVERIFY(h.window->SelectNodeByKey("PW"));
        QCOMPARE(h.Panel(), QString("pictD"));
        QCOMPARE(shown.size(), size_t{1});
        QVERIFY(h.window->SelectNodeByKey("SG7"));
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(shown.back().entry, 7);

        // Clicking the node that is already current does not redraw its panel.
        QVERIFY(h.Show());
        QVERIFY(h.window->SelectNodeByKey("Common"));
        const size_t before = shown.size();
        const QRect rect = h.Tree()->visualItemRect(h.window->FindNode("Common"));
        QTest::mouseClick(h.Tree()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(shown.size(), before);
        // The arrow key moves the selection and shows the next node's panel.
        h.Tree()->setFocus();
        QTest::keyClick(h.Tree(), Qt::Key_Down);
        QCOMPARE(shown.back().key, std::string("DSC"));
    }

    void exitWithChanges() {
        Harness h;
        QVERIFY(h.Load());
        QVERIFY(h.Show());
        h.config.state.DataChanged = true;
        h.prompt.answers = {Answer::Cancel};
        QVERIFY(!h.window->close());
        QCOMPARE(h.Last().text, std::string(kSaveChangesQuestion));
        QCOMPARE(h.Last().defaultButton, Answer::Yes);

        // Yes without a current file opens Save As; cancelling it keeps the window open.
        h.prompt.answers = {Answer::Yes};
        QVERIFY(!h.window->close());
        QVERIFY(h.window->isVisible() && h.prompt.dialogs.at(0).save);

        // Yes with a name saves, then closes.
        const std::string path = (h.Folder() / "exit.dat").string();
        h.prompt.answers = {Answer::Yes};
        h.prompt.fileNames = {path};
        h.Action("mnuFileExit")->trigger();
        QVERIFY(!h.window->isVisible());
        QVERIFY(std::filesystem::exists(path));

        // No closes without saving.
        Harness h2;
        QVERIFY(h2.Load() && h2.Show());
        h2.config.state.DataChanged = true;
        h2.prompt.answers = {Answer::No};
        QVERIFY(h2.window->close() && h2.prompt.dialogs.empty());
    }

    void refusedPendingEditStopsCommands() {
        Harness h;
        QVERIFY(h.Load());
        bool refuse = true;
        int asked = 0;
        h.window->pendingEdits().Register([&] { return ++asked, !refuse; });
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        for (const char* command : {"mnuFileSave", "mnuFileSaveAs", "mnuFileOpen", "mnuFileNew",
                                    "mnuTransferProgram", "mnuFileSaveAsDefault"}) {
            h.Action(command)->trigger();
        }
        QCOMPARE(asked, 6);
        QVERIFY(h.prompt.dialogs.empty() && h.prompt.messages.empty() && !h.window->NewPending() &&
                modes.empty());

        // Exit: Yes needs the edit committed first.
        QVERIFY(h.Show());
        h.config.state.DataChanged = true;
        h.prompt.answers = {Answer::Yes};
        QVERIFY(!h.window->close());
        QVERIFY(h.prompt.dialogs.empty());
        refuse = false;
        h.config.state.DataChanged = false;
        h.window->SetBusy(true);  // a busy window refuses every command
        QVERIFY(!h.window->RunCommand([] {}));
        h.window->SetBusy(false);
        h.Action("mnuTransferProgram")->trigger();
        QCOMPARE(modes, std::vector<int>{1});
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::MainWindowTest)
#include "main_window_test.moc"
