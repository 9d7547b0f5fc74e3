// What the window keeps of the user's work: an entry still being typed is checked before
// Exit, New or Open asks about saving, New offers to save, and deleting a group's priority
// channel says so. Widgets found by objectName, message boxes answered by a ScriptedPrompt
// that, as a real message box does, takes the activation away from the main window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "ui/main_window.h"
#include "ui/setup_panels.h"
#include "window_harness.h"

namespace mrw {

namespace {

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ChannelRecord Channel(int position) {
    return testing::Channel(position, "");
}

// The window with its setup panels, Group1 holding channels 12, 14, 16, 22 and 72 with
// channel 16 its priority channel, saved as "boat.dat".
struct Harness : testing::WindowHarness {
    QWidget messageBox;  // stands in for the message boxes the prompt answers

    bool Begin() {
        if (!Load()) {
            return false;
        }
        InstallSetupPanels(*window, config);
        config.model.Groups[0].Usable = true;
        config.model.CHUSA = {Channel(12), Channel(14), Channel(16), Channel(22), Channel(72)};
        config.model.Groups[0].PriorityCH = 3;
        config.model.DscBasic.UserMmsi = "2321234560";
        window->RebuildViews();
        config.state.CurrentFileName = Path().string();
        config.state.DataChanged = true;
        window->findChild<QAction*>("mnuFileSave")->trigger();
        if (config.state.DataChanged || !std::filesystem::exists(Path())) {
            return false;
        }
        messageBox.setObjectName("standInMessageBox");
        prompt.onMessage = [this](const MessageRequest&) { Activate(&messageBox); };
        return Activate(window.get());
    }
    static bool Activate(QWidget* w) {
        w->show();
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }
    std::filesystem::path Path() const { return Folder() / "boat.dat"; }
    void TypeUserMmsi(const QString& digits) {
        window->SelectNodeByKey("DSC");
        QLineEdit* box = Find<QLineEdit>("txtUserMMSI");
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box, digits);
    }
    QTableWidget* Grid() const { return Find<QTableWidget>("MSFlexGrid1"); }
    void ClickRow(int row) const {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                          Grid()->visualItemRect(Grid()->item(row, 1)).center());
    }
    QString PriorityShown() {
        window->SelectNodeByKey("Usable");
        return Find<QComboBox>("cmbUsablePri_0")->currentText();
    }
};

}  // namespace

class KeptEditsTest : public QObject {
    Q_OBJECT
private slots:
    void anInvalidEntryBeingTypedStopsExitNewAndOpenBeforeAnythingIsSaved() {
        const std::pair<const char*, std::function<void(Harness&)>> commands[] = {
            {"Exit", [](Harness& h) { h.Action("mnuFileExit")->trigger(); }},
            {"New", [](Harness& h) { h.Action("mnuFileNew")->trigger(); }},
            {"New button", [](Harness& h) { h.Action("tbNew")->trigger(); }},
            {"Open", [](Harness& h) { h.Action("mnuFileOpen")->trigger(); }},
            {"closed while another window is active",
             [](Harness& h) {
                 QVERIFY(Harness::Activate(&h.messageBox));
                 QVERIFY(!h.window->close());
             }},
        };
        for (const auto& [what, run] : commands) {
            qInfo("%s", what);
            Harness h;
            QVERIFY(h.Begin());
            const std::string saved = FileText(h.Path());
            h.TypeUserMmsi("123");  // no Tab
            h.prompt.answers = {Answer::Yes};
            h.prompt.fileNames = {h.Path().string()};
            run(h);
            QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Data Error!!"});
            QCOMPARE(h.prompt.messages[0].title, std::string("User MMSI"));
            QVERIFY(h.window->isVisible());
            QVERIFY(!h.window->NewPending());
            QVERIFY(h.prompt.dialogs.empty());
            QCOMPARE(FileText(h.Path()), saved);
            QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2321234560"));
            QCOMPARE(h.Find<QLineEdit>("txtUserMMSI")->text(), QString("123"));
        }
    }

    void newOffersToSaveWithTheEntryBeingTyped() {
        Harness h;
        QVERIFY(h.Begin());
        h.TypeUserMmsi("211234567");  // valid, no Tab
        h.prompt.answers = {Answer::Yes};
        h.Action("mnuFileNew")->trigger();
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{kSaveChangesQuestion});
        QCOMPARE(h.prompt.messages[0].buttons, Buttons::YesNoCancel);
        const std::string text = FileText(h.Path());
        QVERIFY2(text.find("User MMSI=#2112345670") != std::string::npos, text.c_str());
        QVERIFY(h.window->NewPending());
        QTRY_VERIFY_WITH_TIMEOUT(!h.window->NewPending(), 5000);
        QVERIFY(h.config.model.DscBasic.UserMmsi != "2112345670");
        QVERIFY(h.config.state.CurrentFileName.empty());
        QVERIFY(!h.config.state.DataChanged);
    }

    void deletingChannelsKeepsThePriorityChannelAndSaysWhenItGoes() {
        Harness h;
        QVERIFY(h.Begin());
        QCOMPARE(h.PriorityShown(), QString("16"));

        // Row 01 goes: channel 16 stays the priority channel.
        QVERIFY(h.window->SelectNodeByKey("PU"));
        h.ClickRow(0);
        h.prompt.answers = {Answer::Yes};
        QTest::mouseClick(h.Find<QPushButton>("cmdBDELETE"), Qt::LeftButton);
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Are you sure ?"});
        QCOMPARE(h.config.model.CHUSA.size(), size_t{4});
        QCOMPARE(h.PriorityShown(), QString("16"));

        // Channel 16 itself: the question says so, and Group1 has none after it.
        QVERIFY(Harness::Activate(h.window.get()));
        QVERIFY(h.window->SelectNodeByKey("PU"));
        h.ClickRow(1);
        h.prompt.answers = {Answer::Yes};
        QTest::mouseClick(h.Find<QPushButton>("cmdBDELETE"), Qt::LeftButton);
        QCOMPARE(h.prompt.messages.back().text,
                 std::string("Are you sure ?\nChannel 16 is the priority channel of Group1; "
                             "Group1 will have no priority channel."));
        QCOMPARE(h.prompt.messages.back().icon, Icon::Critical);
        QCOMPARE(h.Cells(h.Grid(), 1).first(), QString("22"));
        QCOMPARE(h.PriorityShown(), QString());

        // Undo brings back both.
        QVERIFY(Harness::Activate(h.window.get()));
        h.Action("mnuEditUndo")->trigger();
        QCOMPARE(h.config.model.CHUSA.size(), size_t{4});
        QCOMPARE(h.PriorityShown(), QString("16"));
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::KeptEditsTest)
#include "kept_edits_test.moc"
