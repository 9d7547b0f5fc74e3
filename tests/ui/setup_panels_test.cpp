// The setup panels driven like a user: controls found by objectName, message boxes answered by
// a ScriptedPrompt, the clear buttons against the in-process simulated radio on virtual time.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "image/checks.h"
#include "image/codec.h"
#include "link/transfer.h"
#include "sim/sim_radio.h"
#include "ui/main_window.h"
#include "ui/setup_panels.h"
#include "ui/transfer_command.h"
#include "ui/transfer_dialog.h"
#include "window_harness.h"

namespace mrw {

namespace {

constexpr int kMmsiCount = 645;

// The main window, shown, on a folder and a simulated radio that both hold the default image
// of model type 1 in region INTL.
struct Harness : testing::RadioHarness {
    Harness() {
        std::ranges::copy(testing::DefaultImage(0).bytes, radio.memory.begin());
        Load({"/dev/ttyS0", ""});
        InstallSetupPanels(*window, config);
        // Every dialog presses OK once its event loop runs.
        InstallTransferDialog(
            *window, config, [this](const AppState&) { return Port(); },
            [](TransferDialog& dialog) {
                QTimer::singleShot(0, &dialog, [&dialog] {
                    QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
                });
            });
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T>
    T* Find(const QString& name) const {
        T* widget = window->findChild<T*>(name);
        if (widget == nullptr) {
            qWarning("no control %s", qPrintable(name));
        }
        return widget;
    }
    // Shows a setup node with its panel, as a click on the tree does.
    void Show(const char* key) {
        window->SelectNodeByKey(key);
        config.state.DataChanged = false;
    }
    void Type(const QString& box, const QString& text) {
        QLineEdit* edit = Find<QLineEdit>(box);
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, text);
    }
    // Picks the item with this text as the user does with the keyboard.
    void Pick(const QString& list, const QString& text) {
        QComboBox* combo = Find<QComboBox>(list);
        combo->setFocus(Qt::TabFocusReason);
        const int target = combo->findText(text);
        QVERIFY2(target >= 0, qPrintable(text));
        while (combo->currentIndex() != target) {
            QTest::keyClick(combo, combo->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        }
    }
    QStringList Items(const QString& list) const {
        QStringList items;
        QComboBox* combo = Find<QComboBox>(list);
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        return items;
    }
};

}  // namespace

class SetupPanelsTest : public QObject {
    Q_OBJECT
private slots:
    void mmsiIsStoredWhenTheFocusMovesOnAndRefusedWhenShort() {
        Harness h;
        h.Show("DSC");
        QCOMPARE(h.Hint(), QString("[Up]/[Down]/[Left]/[Right]:Change of a Selection item."));
        h.Type("txtUserMMSI", "23200x1234");  // the letter is not taken
        QCOMPARE(h.Hint(), QString("Numeric Only. Indispensable 9 figures."));
        QTest::keyClick(h.Find<QLineEdit>("txtUserMMSI"), Qt::Key_Tab);
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2320012340"));
        QVERIFY(h.config.state.DataChanged);
        QVERIFY(h.window->windowTitle().endsWith(" *"));

        h.Type("txtUserMMSI", "23200123");
        QTest::keyClick(h.Find<QLineEdit>("txtUserMMSI"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(h.prompt.messages[0].text, std::string("Data Error!!"));
        QCOMPARE(h.prompt.messages[0].title, std::string("User MMSI"));
        QCOMPARE(QApplication::focusWidget(), h.Find<QLineEdit>("txtUserMMSI"));
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2320012340"));
        // A command asks the focused box first, which refuses again.
        QVERIFY(!h.window->CommitPendingEdit());
        QCOMPARE(h.prompt.messages.size(), size_t{2});

        // Leaving for the tree puts the stored value back.
        h.window->findChild<QTreeWidget*>("tvTreeView")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(h.Find<QLineEdit>("txtUserMMSI")->text(), QString("232001234"));
        QCOMPARE(h.prompt.messages.size(), size_t{2});
    }

    void showingPanelsChangesNothingEvenForValuesNoListOffers() {
        Harness h;
        DataModel& m = h.config.model;
        m.Common.ResumeTime = 7;
        m.Common.Weater = 1;
        m.AutoPos.Records[1].Interval = "0";
        m.AutoPos.Records[1].Channel = "1000";
        const DataModel before = m;
        h.config.state.DataChanged = false;
        for (const char* key : {"Usable", "Common", "DSC", "ATIS"}) {
            h.window->SelectNodeByKey(key);
            QVERIFY(h.Find<QStackedWidget>("panelArea")->currentWidget()->isEnabled());
        }
        h.Find<QTabWidget>("tbsDSC")->setCurrentIndex(4);
        QVERIFY(m == before);
        QVERIFY(!h.config.state.DataChanged);

        h.Show("Common");
        QCOMPARE(h.Find<QComboBox>("cmbCommonResume")->currentText(), QString("value 7"));
        QCOMPARE(h.Find<QComboBox>("cmbCommonWeater")->currentText(), QString("value 1"));
        h.Pick("cmbCommonResume", "2Sec");
        QCOMPARE(m.Common.ResumeTime, int16_t{2});
        h.Pick("cmbCommonScan", "Off");
        QVERIFY(!m.Common.Scan);
        QVERIFY(!h.Find<QComboBox>("cmbCommonResume")->isEnabled());
        QVERIFY(!h.Find<QWidget>("linScan")->isEnabled());
        QVERIFY(h.config.state.DataChanged);
    }

    void groupsSwitchedAndRenamedRebuildTheTree() {
        Harness h;
        DataModel& m = h.config.model;
        m.Groups[0].Usable = m.Groups[1].Usable = m.Groups[3].Usable = true;
        m.Groups[3].ExpChGroup = {true, true, true};
        h.window->BuildTree();
        h.Show("Usable");
        QVERIFY(h.window->FindNode("PI") != nullptr);
        QVERIFY(h.Find<QCheckBox>("chkEXP_1")->isChecked());

        QTest::mouseClick(h.Find<QCheckBox>("chkUsable_1"), Qt::LeftButton);
        QVERIFY(!m.Groups[1].Usable);
        QVERIFY(h.window->FindNode("PI") == nullptr);
        QVERIFY(!m.Groups[3].ExpChGroup[1]);
        QVERIFY(!h.Find<QCheckBox>("chkEXP_1")->isChecked());
        QVERIFY(!h.Find<QComboBox>("cmbUsablePri_1")->isEnabled());

        h.Type("txtUsable_3", "SHIPS");
        QCOMPARE(h.Find<QLineEdit>("txtUsable_3")->text(), QString("SHIP"));
        QTest::keyClick(h.Find<QLineEdit>("txtUsable_3"), Qt::Key_Return);
        QCOMPARE(m.Groups[3].StatusName, std::string("SHIP"));
        QCOMPARE(h.window->FindNode("EXPCHANNEL")->text(0), QString("EXP Channel(SHIP)"));
        h.Type("txtUsable_0", "ABCD");
        QTest::keyClick(h.Find<QLineEdit>("txtUsable_0"), Qt::Key_Tab);
        QCOMPARE(h.Find<QCheckBox>("chkEXP_0")->text(), QString("Group1[ABCD]"));
    }

    void autoPositionFrameFollowsTheUsersChoices() {
        Harness h;
        DataModel& m = h.config.model;
        m.Groups[1].Usable = true;
        m.Groups[1].StatusName = "INTL";
        m.CHINT.resize(2);
        m.CHINT[0] = {.Position = 16, .Enable = true, .StatusNo = 127};
        m.CHINT[1] = {.Position = 72, .Enable = true, .StatusNo = 127};
        m.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
        m.CHMMSID[1] = {true, "PILOT", "2320056780"};
        m.AutoPos.Records[0] = {.Enable = true, .Channel = "16", .Interval = "1", .RcEnable = true};
        h.Show("DSC");
        h.Find<QTabWidget>("tbsDSC")->setCurrentIndex(4);

        h.Pick("cmbUsableDscAutoPosRequestMarine_0", "Group2 INTL");
        QCOMPARE(m.AutoPos.Records[0].MarineEnable, int16_t{2});
        QCOMPARE(h.Items("cmbUsableDscAutoPosRequestChannel_0"), (QStringList{"16", "72"}));
        h.Pick("cmbUsableDscAutoPosRequestChannel_0", "72");
        QCOMPARE(m.AutoPos.Records[0].Channel, std::string("72"));
        h.Pick("cmbUsableDscAutoPosRequestSCDirName_0", "PILOT");
        QCOMPARE(m.AutoPos.Records[0].LastAddress, 1);
        QCOMPARE(h.Find<QLineEdit>("txtAutoPosMMSI_0")->text(), QString("232005678"));
        h.Type("txtAutoPosMMSI_0", "232001234");
        QCOMPARE(h.Find<QComboBox>("cmbUsableDscAutoPosMMSI_0")->currentIndex(), 0);

        QTest::mouseClick(h.Find<QCheckBox>("chkUsableDscAutoPosRequestRemote_0"), Qt::LeftButton);
        QVERIFY(!m.AutoPos.Records[0].RcEnable);
        QCOMPARE(m.AutoPos.Records[0].Mmsi, std::string("2320012340"));  // committed on leaving
        QVERIFY(!h.Find<QLineEdit>("txtAutoPosMMSI_0")->isEnabled());
    }

    void clearButtonsRunTheirModes() {
        Harness h;
        h.config.image.bytes[kMmsiCount] = 4;
        h.Show("DSC");
        QTest::mouseClick(h.Find<QPushButton>("cmdFClear"), Qt::LeftButton);
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(int{h.radio.memory[640]}, 0xFF);
        QCOMPARE(h.Find<QLineEdit>("txtFCount")->text(), QString("4"));

        // Each log button clears what the caption beside it names.
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        h.Find<QTabWidget>("tbsDSC")->setCurrentIndex(3);
        const QStringList besides = {
            "Individual Directory", "Group Directory", "Waypoint Directory", "Distress Log",
            "DSC TX Log",           "DSC Log",         "ALL Clear"};
        for (int k = 0; k < 7; ++k) {
            QPushButton* button = h.Find<QPushButton>(QString("cmdFclearLog_%1").arg(k));
            QString beside;
            for (const QLabel* label : button->parentWidget()->findChildren<QLabel*>()) {
                const int y = label->geometry().center().y();
                if (y >= button->geometry().top() && y <= button->geometry().bottom()) {
                    beside = label->text();
                }
            }
            QCOMPARE(beside, besides[k]);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(modes, (std::vector<int>{5, 6, 7, 4, 8, 3, 9}));
    }

    void everyControlFitsAtTheMinimumWindowSize() {
        Harness h;
        h.window->resize(h.window->minimumSize());
        struct View {
            const char* key;
            int outerTab;  // of tbsDSC
            int userTab;   // of tbsDSC_USER
        };
        const View views[] = {{"Usable", 0, 0}, {"Common", 0, 0}, {"ATIS", 0, 0}, {"DSC", 0, 0},
                              {"DSC", 0, 1},    {"DSC", 0, 2},    {"DSC", 0, 3},  {"DSC", 1, 0},
                              {"DSC", 2, 0},    {"DSC", 3, 0},    {"DSC", 4, 0}};
        for (const View& v : views) {
            h.window->SelectNodeByKey(v.key);
            h.Find<QTabWidget>("tbsDSC")->setCurrentIndex(v.outerTab);
            h.Find<QTabWidget>("tbsDSC_USER")->setCurrentIndex(v.userTab);
            QApplication::processEvents();
            QWidget* panel = h.window->findChild<QStackedWidget*>("panelArea")->currentWidget();
            for (QWidget* w : panel->findChildren<QWidget*>()) {
                if (!w->isVisible() || w->objectName().startsWith("qt_")) {
                    continue;
                }
                // A size the panel sets itself counts instead of the widget's own; a caption or
                // a list shows its whole text.
                const bool text =
                    qobject_cast<QComboBox*>(w) != nullptr ||
                    qobject_cast<QAbstractButton*>(w) != nullptr ||
                    (qobject_cast<QLabel*>(w) != nullptr && !qobject_cast<QLabel*>(w)->wordWrap());
                const QSize hint = text ? w->sizeHint() : w->minimumSizeHint();
                const QSize least(w->minimumWidth() > 0 ? w->minimumWidth() : hint.width(),
                                  w->minimumHeight() > 0 ? w->minimumHeight() : hint.height());
                const QRect inPanel(w->mapTo(panel, QPoint(0, 0)), w->size());
                const QString what = QString("%1 %2 on %3 %4/%5")
                                         .arg(w->objectName(), w->metaObject()->className(), v.key)
                                         .arg(v.outerTab)
                                         .arg(v.userTab);
                QVERIFY2(panel->rect().contains(inPanel), qPrintable(what));
                QVERIFY2(w->height() >= least.height() && w->width() >= least.width(),
                         qPrintable(what));
            }
        }
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::SetupPanelsTest)
#include "setup_panels_test.moc"
