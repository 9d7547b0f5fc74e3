// The channel list and channel panel driven as a user drives them: nodes, grid rows, buttons
// and boxes found by objectName, keys typed, message boxes answered by a ScriptedPrompt.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWheelEvent>
#include <QtTest>
#include <functional>

#include "ui/about_box.h"
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
        h.ClickRow(3);
        h.Click("cmdBNew");
        QCOMPARE(h.Panel(), QString("pictC"));
        QTest::keyClicks(h.Find<QComboBox>("cmbBaseChNo"), "72");
        QCOMPARE(h.Box("txtCRF")->text(), QString("161.225"));  // DUPLEX: F3 and F1
        QCOMPARE(h.Box("txtCTF")->text(), QString("156.625"));
        h.Type("txtCTag", "Ship#2 (ok)");
        QTest::mouseClick(h.Find<QCheckBox>("chkCTXEnable"), Qt::LeftButton);
        h.Click("cmdSave");

        QCOMPARE(h.Panel(), QString("pictB"));
        QCOMPARE(h.config.model.CHUSA.size(), size_t{6});
        const ChannelRecord& r = h.config.model.CHUSA[4];
        QVERIFY(r.Position == 72 && r.Enable && !r.TxEnable && r.ChTag == "Ship2 (ok)");
        QCOMPARE(h.Row(4), (QStringList{"72", "161.225", "---.---", "--", "---", "--", "DUP", "---",
                                        "\u2610", "Ship2 (ok)"}));
        QVERIFY(h.window->windowTitle().endsWith(" *"));

        h.prompt.answers = {Answer::Yes};
        h.Click("cmdBDELETE");
        QCOMPARE(h.prompt.messages.back().text, std::string("Are you sure ?"));
        QCOMPARE(h.config.model.CHUSA.size(), size_t{5});
        QCOMPARE(h.Row(4).last(), QString("E"));
    }

    // Undo and Redo reach every editor: the change comes back where it was made, and the
    // changed mark follows the saved state.
    // A refused entry keeps the focus and says why, whatever the focus moves to: another box,
    // or the tree, whose node stays chosen.
    void refusedEntriesKeepTheFocusAndSayWhy() {
        Harness h;
        QVERIFY(h.Start([](DataModel&) {}));
        QVERIFY(h.window->SelectNodeByKey("PR"));
        h.Click("cmdBNew");
        h.Type("txtCRF", "136.975");
        auto* tree = h.Find<QTreeWidget>("tvTreeView");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(h.window->FindNode("Common")).center());
        QTRY_COMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(
            h.prompt.messages[0].text,
            std::string("Data Error!!\nThe frequency must lie between 137.000 and 174.000 MHz."));
        QCOMPARE(QApplication::focusWidget(), h.Box("txtCRF"));
        QCOMPARE(h.Panel(), QString("pictC"));
        QCOMPARE(tree->currentItem(), h.window->FindNode("PR"));

        h.Type("txtCRF", "156.05");
        QTest::keyClick(h.Box("txtCRF"), Qt::Key_Tab);
        QCOMPARE(h.Box("txtCRF")->text(), QString("156.0500"));
        h.Type("txtCNN", "A");
        QTest::keyClick(h.Box("txtCNN"), Qt::Key_Backspace);
        QTest::keyClick(h.Box("txtCNN"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.messages.size(), size_t{2});
        QCOMPARE(QApplication::focusWidget(), h.Box("txtCNN"));
    }

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

        // A text box with nothing of its own to undo leaves Ctrl+Z to the Edit menu.
        h.Box("txtGPosi")->setFocus();
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Find<QLineEdit>("txtGPosi")->text(), QString("HARBOUR"));
        QTest::keyClick(h.window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(h.Panel(), QString("pictCommon"));
        QCOMPARE(h.config.model.Common.ResumeTime, int16_t{5});
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

        // A pending entry that is refused stops Undo.
        QVERIFY(h.window->SelectNodeByKey("PR"));
        h.Click("cmdBNew");
        h.Type("txtCRF", "156.0375");
        const size_t shown = h.prompt.messages.size();
        undo->trigger();
        QCOMPARE(h.prompt.messages.size(), shown + 1);
        QCOMPARE(h.prompt.messages.back().text,
                 std::string("Data Error!!\nThe frequency must lie on the 25 kHz channel grid."));
        QCOMPARE(h.config.model.Common.ResumeTime, picked);
        QCOMPARE(undo->text(), QString("&Undo Resume Time"));
    }
    // An entry left open with changes is never dropped by a click elsewhere: the window asks
    // first (Yes stores as SAVE does, No drops it, Cancel stays). Esc is CANCEL.
    void anOpenEntryAsksBeforeAnythingReplacesIt() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            m.CHUSA = {Channel(6, "A"), Channel(8, "B"), Channel(9, "C")};
        }));
        auto* tree = h.Find<QTreeWidget>("tvTreeView");
        const auto clickNode = [&](const char* key) {
            const QRect rect = tree->visualItemRect(h.window->FindNode(key));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
        };
        const auto editName = [&](const QString& name) {
            clickNode("PU");
            h.ClickRow(2);
            h.Click("cmdBEdit");
            h.Type("txtCTag", name);
        };
        const DataModel before = h.config.model;
        editName("HARBOUR");
        h.prompt.answers = {Answer::Cancel};
        clickNode("Common");
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Save the changes to channel 09?"});
        QCOMPARE(h.Panel(), QString("pictC"));
        QCOMPARE(tree->currentItem(), h.window->FindNode("PU"));
        h.prompt.answers = {Answer::No};
        clickNode("Common");
        QCOMPARE(h.Panel(), QString("pictCommon"));
        QVERIFY(h.config.model == before);

        editName("HARBOUR");
        h.prompt.answers = {Answer::Yes};
        clickNode("Common");
        QCOMPARE(h.Panel(), QString("pictCommon"));
        QCOMPARE(h.config.model.CHUSA[2].ChTag, std::string("HARBOUR"));

        editName("PILOT");
        QTest::keyClick(h.Box("txtCTag"), Qt::Key_Escape);
        QCOMPARE(h.Panel(), QString("pictB"));
        QCOMPARE(h.config.model.CHUSA[2].ChTag, std::string("HARBOUR"));

        // A command asks too; a Yes that SAVE refuses keeps the entry open and stops it.
        h.prompt.messages.clear();
        clickNode("PR");
        h.Click("cmdBNew");
        h.Type("txtCNN", "A1");
        h.prompt.answers = {Answer::Yes};
        QTest::keyClick(h.window.get(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(h.prompt.Texts().front(), std::string("Save the changes to channel RG01?"));
        QVERIFY(!h.window->NewPending());
        QCOMPARE(h.Panel(), QString("pictC"));
        QVERIFY(h.config.model.CHRG.empty());
    }

    // The keys every desktop program has reach their commands: the file keys, F1 with the
    // panel's topic, Insert and Delete on the channel list.
    void desktopKeysRunTheirCommands() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) { m.CHUSA = {Channel(6, "A"), Channel(8, "B")}; }));
        std::vector<int> topics;
        SetHelpViewer([&](int topic) { topics.push_back(topic); });
        QWidget* w = h.window.get();
        QTest::keyClick(w, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(h.prompt.dialogs.at(0).save);
        QTest::keyClick(w, Qt::Key_F1);
        QVERIFY(h.window->SelectNodeByKey("PU"));
        h.ClickRow(0);
        QTest::keyClick(h.Grid(), Qt::Key_F1);
        QCOMPARE(topics, (std::vector<int>{1001, 1002}));
        SetHelpViewer({});

        h.prompt.answers = {Answer::Yes};
        QTest::keyClick(h.Grid(), Qt::Key_Delete);
        QCOMPARE(h.config.model.CHUSA.size(), size_t{1});
        QTest::keyClick(h.Grid(), Qt::Key_Insert);
        QCOMPARE(h.Panel(), QString("pictC"));
        h.prompt.answers = {Answer::No, Answer::No};  // the deleted channel is not saved
        QTest::keyClick(w, Qt::Key_N, Qt::ControlModifier);
        QVERIFY(h.window->NewPending());
        QTest::keyClick(w, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(!h.window->isVisible());
    }

    // A first start shows every column of the channel grid and the tree's longest caption
    // whole, within the screen; the wheel moves the grid one row a notch.
    void firstStartShowsTheWholeGridAndTheWheelMovesARowANotch() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            for (int k = 1; k <= 60; ++k) {
                m.CHUSA.push_back(Channel(k, "SHIP MOVEMENT"));
            }
            m.CHMMSID[79] = {true, "HARBOUR", "2111234500"};
        }));
        QVERIFY(h.window->SelectNodeByKey("PU"));
        QVERIFY(h.window->screen()->availableGeometry().contains(h.window->frameGeometry()));
        QCOMPARE(h.Grid()->horizontalScrollBar()->maximum(), 0);
        auto* tree = h.Find<QTreeWidget>("tvTreeView");
        tree->expandAll();
        const QModelIndex longest = tree->indexFromItem(h.window->FindNode("SM80"));
        QVERIFY(tree->columnWidth(0) >= tree->sizeHintForIndex(longest).width() +
                                            3 * tree->indentation());  // three levels deep

        QScrollBar* rows = h.Grid()->verticalScrollBar();
        const int top = rows->value();
        const QPointF at = h.Grid()->viewport()->rect().center();
        QWheelEvent threeNotches(at, h.Grid()->viewport()->mapToGlobal(at), {}, {0, -360},
                                 Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(h.Grid()->viewport(), &threeNotches);
        QCOMPARE(rows->value(), top + 1);
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::ChannelEditorTest)
#include "channel_editor_test.moc"
