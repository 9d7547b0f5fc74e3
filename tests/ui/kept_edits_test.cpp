// What the window keeps of the user's work: an entry still being typed is checked before
// Exit, New or Open asks about saving, and New offers to save it. Widgets found by objectName,
// message boxes answered by a ScriptedPrompt that, as a real message box does, takes the activation
// away from the main window.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>

#include "test_files.h"
#include "ui/main_window.h"
#include "ui/setup_panels.h"
#include "window_harness.h"

namespace mrw {

namespace {

using testing::ReadFile;

// The window with its setup panels and a user MMSI, saved as "boat.dat".
struct Harness : testing::WindowHarness {
    QWidget messageBox;  // stands in for the message boxes the prompt answers

    bool Begin() {
        if (!Load()) {
            return false;
        }
        InstallSetupPanels(*window, config);
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
};

}  // namespace

class KeptEditsTest : public QObject {
    Q_OBJECT
private slots:
    void anInvalidEntryBeingTypedStopsExitNewAndOpenBeforeAnythingIsSaved() {
        const std::pair<const char*, std::function<void(Harness&)>> commands[] = {
            {"Exit", [](Harness& h) { h.Action("mnuFileExit")->trigger(); }},
            {"New", [](Harness& h) { h.Action("mnuFileNew")->trigger(); }},
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
            const std::string saved = ReadFile(h.Path());
            h.TypeUserMmsi("123");  // no Tab
            h.prompt.answers = {Answer::Yes};
            h.prompt.fileNames = {h.Path().string()};
            run(h);
            QCOMPARE(h.prompt.Texts(),
                     std::vector<std::string>{"Data Error!!\nAn MMSI has 9 digits."});
            QVERIFY(h.window->isVisible());
            QVERIFY(!h.window->NewPending());
            QVERIFY(h.prompt.dialogs.empty());
            QCOMPARE(ReadFile(h.Path()), saved);
            QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2321234560"));
            QCOMPARE(h.Find<QLineEdit>("txtUserMMSI")->text(), QString("123"));
        }
    }

    void newOffersToSaveWithTheEntryBeingTyped() {
        Harness h;
        QVERIFY(h.Begin());
        h.TypeUserMmsi("211234567");          // valid, no Tab
        h.prompt.answers = {Answer::Cancel};  // nothing saved, nothing discarded
        h.Action("mnuFileNew")->trigger();
        QVERIFY(!h.window->NewPending());
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2112345670"));
        h.prompt.answers = {Answer::Yes};
        h.Action("mnuFileNew")->trigger();
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>(2, kSaveChangesQuestion));
        const std::string text = ReadFile(h.Path());
        QVERIFY2(text.find("User MMSI=#2112345670") != std::string::npos, text.c_str());
        QTRY_VERIFY_WITH_TIMEOUT(!h.window->NewPending(), 5000);
        QVERIFY(h.config.model.DscBasic.UserMmsi != "2112345670");
        QVERIFY(h.config.state.CurrentFileName.empty());
        QVERIFY(!h.config.state.DataChanged);
        QVERIFY(!h.Action("mnuEditUndo")->isEnabled());  // nothing of the old one to undo
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::KeptEditsTest)
#include "kept_edits_test.moc"
