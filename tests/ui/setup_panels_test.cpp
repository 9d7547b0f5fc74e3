// The setup panels driven like a user: controls found by objectName, message boxes answered by
// a ScriptedPrompt, the clear buttons against the in-process simulated radio on virtual time.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

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
        Load({"/dev/ttyS0", ""});
        std::ranges::copy(config.image.bytes, radio.memory.begin());
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
};

}  // namespace

class SetupPanelsTest : public QObject {
    Q_OBJECT
private slots:
    void mmsiIsStoredWhenTheFocusMovesOnAndRefusedWhenShort() {
        Harness h;
        h.Show("DSC");
        h.Type("txtUserMMSI", "23200x1234");  // the letter is not taken
        QTest::keyClick(h.Find<QLineEdit>("txtUserMMSI"), Qt::Key_Tab);
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2320012340"));

        h.Type("txtUserMMSI", "23200123");
        QTest::keyClick(h.Find<QLineEdit>("txtUserMMSI"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Data Error!!\nAn MMSI has 9 digits."});
        QCOMPARE(QApplication::focusWidget(), h.Find<QLineEdit>("txtUserMMSI"));
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2320012340"));
        // A command asks the focused box first, which refuses again.
        QVERIFY(!h.window->CommitPendingEdit());
        QCOMPARE(h.prompt.messages.size(), size_t{2});
        // A click on the tree is refused the same way: the box keeps the focus, the panel
        // stays and the entry is neither stored nor replaced.
        auto* tree = h.Find<QTreeWidget>("tvTreeView");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(h.window->FindNode("Common")).center());
        QTRY_COMPARE(h.prompt.messages.size(), size_t{3});
        QCOMPARE(h.prompt.messages.back().title, std::string("User MMSI"));
        QCOMPARE(QApplication::focusWidget(), h.Find<QLineEdit>("txtUserMMSI"));
        QCOMPARE(h.Find<QStackedWidget>("panelArea")->currentWidget()->objectName(),
                 QString("pictDSC"));
        QCOMPARE(h.Find<QLineEdit>("txtUserMMSI")->text(), QString("23200123"));
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string("2320012340"));
        // And so is a click on another page of the panel, which keeps its page.
        QTabBar* tabs = h.Find<QTabWidget>("tbsDSC")->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
        QCOMPARE(h.prompt.messages.size(), size_t{4});
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), h.Find<QLineEdit>("txtUserMMSI"));
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
        h.Pick("cmbCommonScan", "Off");
        QVERIFY(!m.Common.Scan);
        QVERIFY(!h.Find<QComboBox>("cmbCommonResume")->isEnabled());
        QVERIFY(h.config.state.DataChanged);
    }

    void clearButtonsRunTheirModes() {
        Harness h;
        h.config.image.bytes[kMmsiCount] = 4;
        h.Show("DSC");
        QTest::mouseClick(h.Find<QPushButton>("cmdFClear"), Qt::LeftButton);
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Complete!!"});
        QCOMPARE(int{h.radio.memory[640]}, 0xFF);
        QCOMPARE(h.Find<QLineEdit>("txtFCount")->text(), QString("4"));

        // Each log button clears its own part of the radio.
        std::vector<int> modes;
        h.window->SetTransferDialog([&](int mode) { modes.push_back(mode); });
        h.Find<QTabWidget>("tbsDSC")->setCurrentIndex(3);
        for (int k = 0; k < 7; ++k) {
            QTest::mouseClick(h.Find<QPushButton>(QString("cmdFclearLog_%1").arg(k)),
                              Qt::LeftButton);
        }
        QCOMPARE(modes, (std::vector<int>{5, 6, 7, 4, 8, 3, 9}));
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::SetupPanelsTest)
#include "setup_panels_test.moc"
