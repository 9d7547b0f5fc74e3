// The channel list and channel panel driven as a user drives them: nodes, grid rows, buttons
// and boxes found by objectName, keys typed, message boxes answered by a ScriptedPrompt.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

#include "ui/main_window.h"
#include "window_harness.h"

namespace mrw {

namespace {

// The window on a folder with the default image of model type 1, its four groups usable.
struct Harness : testing::WindowHarness {
    bool Start(const std::function<void(DataModel&)>& setUp) {
        return testing::WindowHarness::Start([&](DataModel& m) {
            m.Groups = {{{.Usable = true, .StatusName = "INTL"},
                         {.Usable = true},
                         {.Usable = true},
                         {.Usable = true}}};
            setUp(m);
        });
    }
    QTableWidget* Grid() const { return Find<QTableWidget>("MSFlexGrid1"); }
    QLineEdit* Box(const char* name) const { return Find<QLineEdit>(name); }
    QStringList Row(int row) const { return Cells(Grid(), row); }
    void Click(const char* name) const {
        QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton);
    }
    void ClickRow(int row) const {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                          Grid()->visualItemRect(Grid()->item(row, 1)).center());
    }
    void Type(const char* box, const QString& text) const {
        QTest::mouseClick(Box(box), Qt::LeftButton);
        QTest::keyClick(Box(box), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Box(box), text);
    }
};

using testing::Channel;

}  // namespace

class ChannelEditorTest : public QObject {
    Q_OBJECT
private slots:
    void newChannelAfterTheFourthRowLandsInTheModelAndTheGrid() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            m.CHUSA = {Channel(6, "A"), Channel(8, "B"), Channel(9, "C"), Channel(16, "D"),
                       Channel(70, "E")};
        }));
        QVERIFY(h.window->SelectNodeByKey("PU"));
        QCOMPARE(h.window->FindNode("PU")->text(0), QString("Group1(INTL)"));
        QCOMPARE(h.Row(3), (QStringList{"16", "156.800", "156.800", "TX", "---", "--", "TX_SIMP",
                                        "---", "\u2610", "D"}));
        h.ClickRow(3);
        h.Click("cmdBNew");
        QCOMPARE(h.Panel(), QString("pictC"));
        QCOMPARE(h.Hint(), QString("[Up]/[Down]:Change of a Selection item."));
        QTest::keyClicks(h.Find<QComboBox>("cmbBaseChNo"), "72");
        QCOMPARE(h.Box("txtCRF")->text(), QString("161.225"));  // DUPLEX: F3 and F1
        QCOMPARE(h.Box("txtCTF")->text(), QString("156.625"));
        h.Type("txtCTag", "Ship#2 (ok)");
        QCOMPARE(h.Hint(), QString("A maximum of 16 characters"));
        QTest::mouseClick(h.Find<QCheckBox>("chkCTXEnable"), Qt::LeftButton);
        QVERIFY(!h.Find<QCheckBox>("chkCTXOnly")->isEnabled());
        QVERIFY(!h.Find<QCheckBox>("chkCTXPower")->isEnabled());
        h.Click("cmdSave");

        QCOMPARE(h.Panel(), QString("pictB"));
        QCOMPARE(h.config.model.CHUSA.size(), size_t{6});
        const ChannelRecord& r = h.config.model.CHUSA[4];
        QCOMPARE(r.Position, 72);
        QCOMPARE(r.Duplex, 2);
        QCOMPARE(r.StatusNo, 127);
        QCOMPARE(r.ChTag, std::string("Ship2 (ok)"));
        QVERIFY(r.Enable && !r.TxEnable && !r.LowPower);
        QCOMPARE(h.Row(4), (QStringList{"72", "161.225", "---.---", "--", "---", "--", "DUP", "---",
                                        "\u2610", "Ship2 (ok)"}));
        QCOMPARE(h.Grid()->selectionModel()->selectedRows().first().row(), 4);
        QVERIFY(h.window->windowTitle().endsWith(" *"));

        h.prompt.answers = {Answer::Yes};
        h.Click("cmdBDELETE");
        QCOMPARE(h.prompt.messages.back().text, std::string("Are you sure ?"));
        QCOMPARE(h.config.model.CHUSA.size(), size_t{5});
        QCOMPARE(h.Row(4).last(), QString("E"));
    }

    void anInvalidRgFrequencyKeepsTheFocusAndStopsFileSave() {
        Harness h;
        QVERIFY(h.Start([](DataModel&) {}));
        QVERIFY(h.window->SelectNodeByKey("PR"));
        h.Click("cmdBNew");
        QCOMPARE(h.Hint(), QString("Indispensable 2 figures."));
        QTest::keyClicks(h.Box("txtCNN"), "A-B9");
        QCOMPARE(h.Box("txtCNN")->text(), QString("AB"));
        h.Type("txtCRF", "156.0375");
        QCOMPARE(h.Hint(), QString("Rx frequency"));

        h.window->findChild<QAction*>("mnuFileSave")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{1});
        QVERIFY(h.prompt.dialogs.empty());  // the save stopped before its dialog

        QTest::keyClick(h.Box("txtCRF"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.messages.size(), size_t{2});
        for (const MessageRequest& m : h.prompt.messages) {
            QCOMPARE(m.text, std::string("Data Error!!"));
            QCOMPARE(m.title, std::string("Rx frequency"));
        }
        QCOMPARE(QApplication::focusWidget(), h.Box("txtCRF"));
        QCOMPARE(h.Box("txtCRF")->text(), QString("156.0375"));

        h.Type("txtCRF", "156.05");
        QTest::keyClick(h.Box("txtCRF"), Qt::Key_Tab);
        QCOMPARE(h.Box("txtCRF")->text(), QString("156.0500"));
        QCOMPARE(QApplication::focusWidget(), h.Box("txtCTF"));
        h.Click("cmdSave");  // no transmit frequency yet
        QCOMPARE(h.prompt.messages.back().text,
                 std::string("Data Error!!\nPlease input correct data."));
        QVERIFY(h.config.model.CHRG.empty());

        h.Type("txtCTF", "160.65");
        h.Click("cmdSave");
        QCOMPARE(h.config.model.CHRG.size(), size_t{1});
        QCOMPARE(h.config.model.CHRG[0].Txfreq, 160.65);
        QCOMPARE(h.Row(0), (QStringList{"RG01", "\u2610", "\u2610", "\u2610", "AB", "156.0500",
                                        "160.6500", "---", "--", "---", ""}));

        // An EXP channel's frequencies are checked by SAVE only.
        QVERIFY(h.window->SelectNodeByKey("EXPCHANNEL"));
        h.Click("cmdBNew");
        h.Type("txtCRF", "200");
        QTest::keyClick(h.Box("txtCRF"), Qt::Key_Tab);
        QCOMPARE(h.Box("txtCRF")->text(), QString("200.0000"));
        QCOMPARE(QApplication::focusWidget(), h.Box("txtCTF"));
        QCOMPARE(h.prompt.messages.size(), size_t{3});  // none added
    }

    void aLowerCaseDisplayIsShownAndStoredAsTheRadioKeepsIt() {
        Harness h;
        QVERIFY(h.Start([](DataModel&) {}));
        QVERIFY(h.window->SelectNodeByKey("PR"));
        h.Click("cmdBNew");
        QTest::keyClicks(h.Box("txtCNN"), "a1");
        QCOMPARE(h.Box("txtCNN")->text(), QString("A1"));
        h.Type("txtCRF", "156.05");
        h.Type("txtCTF", "160.65");
        h.Click("cmdSave");
        QCOMPARE(h.config.model.CHRG.size(), size_t{1});
        QCOMPARE(h.config.model.CHRG[0].CHDisplayL, std::string("A1"));
        QCOMPARE(h.Row(0)[4], QString("A1"));
    }

    void editingShowsAndKeepsValuesNoListOffers() {
        Harness h;
        ChannelRecord odd = Channel(105, "ODD");
        odd.Duplex = 9;
        odd.StatusIcon = 4;
        odd.Scramble = 5;
        odd.ScrambleOn = true;
        QVERIFY(h.Start([&](DataModel& m) { m.CHCAN = {odd}; }));
        QVERIFY(h.window->SelectNodeByKey("PC"));
        h.ClickRow(0);  // a double click is a click, then the second press
        QTest::mouseDClick(h.Grid()->viewport(), Qt::LeftButton, {},
                           h.Grid()->visualItemRect(h.Grid()->item(0, 1)).center());
        QCOMPARE(h.Panel(), QString("pictC"));
        QCOMPARE(h.Find<QComboBox>("cmbBaseChNo")->currentText(), QString("105"));
        QCOMPARE(h.Find<QComboBox>("cmbCDUP")->currentText(), QString("value 9"));
        QCOMPARE(h.Find<QComboBox>("cmbStatusIcon")->currentText(), QString("value 4"));
        QVERIFY(!h.config.state.DataChanged);  // showing a channel changes nothing
        QCOMPARE(h.config.model.CHCAN[0], odd);

        h.Click("cmdSave");
        QCOMPARE(h.config.model.CHCAN[0], odd);
        QVERIFY(h.config.state.DataChanged);
    }

    // Undo and Redo reach every editor: the change comes back where it was made, and the
    // changed mark follows the saved state.
    void ctrlZTakesBackEachChangeWhereItWasMadeAndCtrlYMakesItAgain() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            m.CHUSA = {Channel(6, "A"), Channel(16, "B")};
            m.Common.Scan = true;
            m.Common.ResumeTime = 5;
            m.CHMMSID[0] = {true, "HARBOUR", "2111234500"};
            m.CHMMSID[1] = {true, "PILOT", "2591234500"};
        }));
        const DataModel loaded = h.config.model;
        QAction* undo = h.Find<QAction>("mnuEditUndo");
        QAction* redo = h.Find<QAction>("mnuEditRedo");
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());

        QVERIFY(h.window->SelectNodeByKey("PU"));
        h.ClickRow(1);
        h.Click("cmdBEdit");
        h.Type("txtCTag", "CALLING");
        h.Click("cmdSave");
        QVERIFY(h.window->SelectNodeByKey("Common"));
        auto* resume = h.Find<QComboBox>("cmbCommonResume");
        resume->setFocus();
        QTest::keyClick(resume, Qt::Key_Home);
        const int16_t picked = h.config.model.Common.ResumeTime;
        QVERIFY(picked != 5);
        QVERIFY(h.window->SelectNodeByKey("SM1"));
        h.prompt.answers = {Answer::Yes};
        QTest::mouseClick(h.Find<QCheckBox>("chkGDelete"), Qt::LeftButton);
        QCOMPARE(h.config.model.CHMMSID[0].TagName, std::string("PILOT"));
        QCOMPARE(undo->text(), QString("&Undo Delete Memory ID 1"));
        QCOMPARE(h.Find<QAction>("tbUndo")->toolTip(), QString("Undo Delete Memory ID 1"));

        // A text box with nothing of its own to undo leaves Ctrl+Z to the Edit menu.
        h.Box("txtGPosi")->setFocus();
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Find<QLineEdit>("txtGPosi")->text(), QString("HARBOUR"));
        QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("PILOT"));
        QTest::keyClick(h.window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.Panel(), QString("pictCommon"));
        QCOMPARE(h.config.model.Common.ResumeTime, int16_t{5});
        QCOMPARE(undo->text(), QString("&Undo Edit channel 16"));
        QVERIFY(h.window->windowTitle().endsWith(" *"));
        undo->trigger();
        QCOMPARE(h.Panel(), QString("pictB"));
        QCOMPARE(h.Row(1).last(), QString("B"));
        QVERIFY(h.config.model == loaded);
        QVERIFY(!h.window->windowTitle().endsWith(" *"));
        QVERIFY(!undo->isEnabled());

        QTest::keyClick(h.window.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(h.Row(1).last(), QString("CALLING"));
        QTest::keyClick(h.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(h.config.model.Common.ResumeTime, picked);
        QCOMPARE(redo->text(), QString("&Redo Delete Memory ID 1"));

        // Saved here: undoing to this point later leaves the configuration unchanged.
        h.prompt.fileNames = {(h.dir.path() + "/boat.dat").toStdString()};
        h.Find<QAction>("mnuFileSave")->trigger();
        QVERIFY(!h.config.state.DataChanged);
        redo->trigger();
        QVERIFY(h.config.state.DataChanged);
        undo->trigger();
        QVERIFY(!h.config.state.DataChanged);

        // A pending entry that is refused stops Undo.
        QVERIFY(h.window->SelectNodeByKey("PR"));
        h.Click("cmdBNew");
        h.Type("txtCRF", "156.0375");
        const size_t shown = h.prompt.messages.size();
        undo->trigger();
        QCOMPARE(h.prompt.messages.size(), shown + 1);
        QCOMPARE(h.prompt.messages.back().text, std::string("Data Error!!"));
        QCOMPARE(h.config.model.Common.ResumeTime, picked);
        QCOMPARE(undo->text(), QString("&Undo Resume Time"));
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::ChannelEditorTest)
#include "channel_editor_test.moc"
