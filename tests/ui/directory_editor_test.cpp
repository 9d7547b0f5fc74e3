// The directory list, the entry panel and the weather panel driven as a user drives them:
// nodes, grid rows, boxes and keys found by objectName, message boxes answered by a
// ScriptedPrompt; and the window-wide Enter key.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "ui/main_window.h"
#include "ui/mmsi_info_label.h"
#include "window_harness.h"

namespace mrw {

namespace {

// The window on a folder with the default image of model type 1.
struct Harness : testing::WindowHarness {
    QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(name); }
    QCheckBox* Check(const QString& name) const { return Find<QCheckBox>(name); }
    QTableWidget* Grid() const { return Find<QTableWidget>("MSFlexGrid2"); }
    QString Info() const { return Find<QLabel>("lblGMMSIInfo")->text(); }
    QString Caption(const char* key) const { return window->FindNode(key)->text(0); }
    QStringList Row(int row) const { return Cells(Grid(), row); }
    void Click(QWidget* widget) const { QTest::mouseClick(widget, Qt::LeftButton); }
    void ClickNode(const char* key) const {
        auto* tree = Find<QTreeWidget>("tvTreeView");
        QTreeWidgetItem* node = window->FindNode(key);
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(node).center());
    }
    void Type(const QString& box, const QString& text) const {
        Click(Box(box));
        QCoreApplication::processEvents();  // a user types a moment after the click
        QTest::keyClick(Box(box), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Box(box), text);
    }
    // Fills slot n of the directory shown as a user does: Enable, name, Tab, MMSI, Tab.
    void Add(const char* key, const QString& name, const QString& mmsi) const {
        QVERIFY(window->SelectNodeByKey(key));
        Click(Check("chkGEnable"));
        QCOMPARE(QApplication::focusWidget(), Box("txtGPosi"));
        QTest::keyClicks(Box("txtGPosi"), name);
        QTest::keyClick(Box("txtGPosi"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Box("txtGMMSI"));
        QTest::keyClicks(Box("txtGMMSI"), mmsi);
        QTest::keyClick(Box("txtGMMSI"), Qt::Key_Tab);
    }
};

}  // namespace

class DirectoryEditorTest : public QObject {
    Q_OBJECT
private slots:
    void threeEntriesAddedTheSecondDeletedEachMmsiDescribedAsTyped() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("SM1"));
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Find<QLabel>("lblTag")->text(), QString("Station Name"));
        QVERIFY(h.Check("chkGEnable")->isEnabled());
        QVERIFY(!h.Box("txtGPosi")->isEnabled());
        QVERIFY(!h.Find<QLabel>("lblGroup")->isVisibleTo(h.Find("pictG")));

        h.Add("SM1", "HARBOUR", "211123450");
        QCOMPARE(h.Info(), QString("Ship, Germany (Federal Republic of)"));
        QCOMPARE(h.config.model.CHMMSID[0], (DirectoryRecord{true, "HARBOUR", "2111234500"}));
        QCOMPARE(h.Caption("SM1"), QString("Memory ID1[Enable]"));
        QVERIFY(h.window->windowTitle().endsWith(" *"));

        // The MMSI line follows the box as it is typed; a letter changes nothing.
        QVERIFY(h.window->SelectNodeByKey("SM2"));
        h.Click(h.Check("chkGEnable"));
        QTest::keyClicks(h.Box("txtGPosi"), "MARINA");
        h.Type("txtGMMSI", "23212345");
        QVERIFY(h.Info().isEmpty());  // eight digits say nothing yet
        QTest::keyClicks(h.Box("txtGMMSI"), "x");
        QCOMPARE(h.Box("txtGMMSI")->text(), QString("23212345"));
        QTest::keyClicks(h.Box("txtGMMSI"), "0");
        QCOMPARE(h.Info(), QString("Ship, United Kingdom of Great Britain and Northern Ireland"));
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Tab);
        h.Add("SM3", "PILOT", "259123450");
        QCOMPARE(h.Info(), QString("Ship, Norway"));
        QVERIFY(h.prompt.messages.empty());

        QVERIFY(h.window->SelectNodeByKey("SM"));
        QCOMPARE(h.Panel(), QString("pictE"));
        QCOMPARE(h.Grid()->rowCount(), 80);
        QCOMPARE(h.Row(1), (QStringList{"2", "MARINA", "232123450",
                                        "Ship, United Kingdom of Great Britain and Northern "
                                        "Ireland"}));
        QCOMPARE(h.Row(3), (QStringList{"4", "", "", ""}));
        const QPoint second = h.Grid()->visualItemRect(h.Grid()->item(1, 1)).center();
        QTest::mouseClick(h.Grid()->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(h.Grid()->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Find<QTreeWidget>("tvTreeView")->currentItem()->text(0),
                 QString("Memory ID2[Enable]"));
        QCOMPARE(h.Box("txtGPosi")->text(), QString("MARINA"));

        // A name of spaces keeps the old name.
        h.Type("txtGPosi", "   ");
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Tab);
        QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("MARINA"));

        h.prompt.answers = {Answer::Yes};
        h.Click(h.Check("chkGDelete"));
        QCOMPARE(h.prompt.messages.back().text, std::string("Are you sure ?"));
        QCOMPARE(h.Box("txtGPosi")->text(), QString("PILOT"));  // slot 2 shows what followed
        QVERIFY(!h.Check("chkGDelete")->isChecked());
        QCOMPARE(h.config.model.CHMMSID[1], (DirectoryRecord{true, "PILOT", "2591234500"}));
        QCOMPARE(h.config.model.CHMMSID[2], DirectoryRecord{});
        QCOMPARE(h.Caption("SM3"), QString("Memory ID3"));
    }

    void aWrongLengthIsRefusedVisiblyAndAnEmptyMmsiDeletes() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            m.CHMMSID[0] = {true, "HARBOUR", "2111234500"};
            m.CHMMSID[1] = {true, "MARINA", "2321234500"};
            m.CHGRPID[0] = {true, "CLUB", "0259123400"};
        }));
        QVERIFY(h.window->SelectNodeByKey("SM1"));
        h.Type("txtGMMSI", "21112345");
        QCOMPARE(h.Hint(), QString("Numeric Only. Indispensable 9 figures."));
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Tab);  // towards the tree
        QTRY_COMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(h.prompt.messages[0].text, std::string("Data Error!!"));
        QCOMPARE(h.prompt.messages[0].title, std::string("Individual Directory"));
        QCOMPARE(h.prompt.messages[0].icon, Icon::Exclamation);
        QCOMPARE(QApplication::focusWidget(), h.Box("txtGMMSI"));
        QCOMPARE(h.Box("txtGMMSI")->text(), QString("21112345"));
        QCOMPARE(h.config.model.CHMMSID[0].Mmsid, std::string("2111234500"));

        // A click on another node is not taken while the box refuses.
        h.ClickNode("SM2");
        QTRY_COMPARE(h.prompt.messages.size(), size_t{2});
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Box("txtGPosi")->text(), QString("HARBOUR"));

        h.window->findChild<QAction*>("mnuFileSave")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{3});
        QCOMPARE(h.prompt.messages.back().title, std::string("Individual Directory"));
        QVERIFY(h.prompt.dialogs.empty());  // the save stopped before its dialog

        h.Type("txtGMMSI", "");
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Backspace);
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Tab);
        QCOMPARE(h.prompt.messages.size(), size_t{3});  // deleted without a question
        QCOMPARE(h.config.model.CHMMSID[0], (DirectoryRecord{true, "MARINA", "2321234500"}));
        QCOMPARE(h.Box("txtGPosi")->text(), QString("MARINA"));
        QCOMPARE(h.Caption("SM2"), QString("Memory ID2"));

        // A group slot: "0" before the box, eight digits.
        QVERIFY(h.window->SelectNodeByKey("SG1"));
        QCOMPARE(h.Find<QLabel>("lblTag")->text(), QString("Group Name"));
        QVERIFY(h.Find<QLabel>("lblGroup")->isVisible());
        QCOMPARE(h.Box("txtGMMSI")->text(), QString("25912340"));
        QCOMPARE(h.Info(), QString("Group call, Norway"));
        h.Type("txtGMMSI", "2271234");
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.messages.size(), size_t{4});
        QCOMPARE(h.prompt.messages.back().title, std::string("Group Directory"));
        QTest::keyClicks(h.Box("txtGMMSI"), "5");
        QCOMPARE(h.Box("txtGMMSI")->text(), QString("22712345"));
        QCOMPARE(h.Info(), QString("Group call, France"));
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Tab);
        QCOMPARE(h.config.model.CHGRPID[0].Mmsid, std::string("0227123450"));
        QCOMPARE(h.prompt.messages.size(), size_t{4});
    }

    void enterOpensGridRowsButNeverReachesATextBox() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            m.Groups[0].Usable = true;
            m.CHGRPID[0] = {true, "CLUB", "0259123400"};
        }));
        QVERIFY(h.window->SelectNodeByKey("SG"));
        h.Grid()->setFocus();
        QCOMPARE(h.Hint(), QString("[Double click],[Enter]:Jump the Setting screen."));
        QTest::keyClick(h.Grid(), Qt::Key_Down);
        QTest::keyClick(h.Grid(), Qt::Key_Return);
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Find<QTreeWidget>("tvTreeView")->currentItem()->text(0), QString("Group ID2"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.Check("chkGEnable")));

        QVERIFY(h.window->SelectNodeByKey("SG1"));
        QSignalSpy returns(h.Box("txtGPosi"), &QLineEdit::returnPressed);
        h.Type("txtGPosi", "FLEET");
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Return);
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(returns.count(), 0);
        QCOMPARE(h.Box("txtGPosi")->text(), QString("FLEET"));
        QCOMPARE(h.config.model.CHGRPID[0].TagName, std::string("CLUB"));  // not committed

        // A box with its own Enter handler (KeyDown) still acts on it: txtUsable commits.
        h.ClickNode("Usable");
        QCOMPARE(h.Panel(), QString("pictUsable"));
        h.Type("txtUsable_0", "MAIN");
        QTest::keyClick(h.Box("txtUsable_0"), Qt::Key_Return);
        QCOMPARE(h.config.model.Groups[0].StatusName, std::string("MAIN"));
        QCOMPARE(h.config.model.CHGRPID[0].TagName, std::string("FLEET"));  // left on the way
    }

    void aWeatherChannelRenamedAndTakenOutOfTheScan() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            for (ChannelRecord& r : m.CHWX) {
                r.Enable = r.ScanMemory = false;
            }
            m.CHWX[1] = {.Enable = true, .ScanMemory = true, .ChTag = "NOAA"};
        }));
        QVERIFY(h.window->SelectNodeByKey("PW"));
        QCOMPARE(h.Panel(), QString("pictD"));
        QCOMPARE(h.Find<QLabel>("lblWX_1")->text(), QString("WX02"));
        QVERIFY(!h.Box("txtDTagName_0")->isEnabled());
        QCOMPARE(h.Box("txtDTagName_1")->text(), QString("NOAA"));

        h.Type("txtDTagName_1", "Channel #2");
        QCOMPARE(h.Hint(), QString("A maximum of 16 characters"));
        // "#" is no character a name field holds: the box does not take it.
        QCOMPARE(h.Box("txtDTagName_1")->text(), QString("Channel 2"));
        QCOMPARE(h.config.model.CHWX[1].ChTag, std::string("Channel 2"));
        h.Click(h.Check("chkDScan_1"));
        QVERIFY(!h.config.model.CHWX[1].ScanMemory);
        QCOMPARE(h.Check("chkDScan_1")->text(), QString(">"));
        QCOMPARE(h.Hint(), QString("[Space]:An effective and invalid change."));

        h.Click(h.Check("chkDEnable_0"));
        QVERIFY(h.config.model.CHWX[0].Enable);
        QVERIFY(h.Box("txtDTagName_0")->isEnabled());
        QCOMPARE(h.Check("chkDEnable_0")->text(), QString(">"));
        QCOMPARE(h.Check("chkDScan_1")->text(), QString(" "));  // the marker moved on
        QCOMPARE(h.Hint(), QString("Select[x]Enable/[]Disable."));
        QTest::keyClick(h.Check("chkDEnable_0"), Qt::Key_Tab);
        QCOMPARE(h.Check("chkDEnable_0")->text(), QString(" "));
        QCOMPARE(h.Check("chkDScan_0")->text(), QString(">"));
        QVERIFY(h.window->windowTitle().endsWith(" *"));
    }

    void theSetupPanelsMmsiBoxesSayWhatTheNumberIs() {
        Harness h;
        QVERIFY(h.Start([](DataModel& m) {
            m.AutoPos.Records[1] = {
                .Enable = true, .SelectCall = 1, .RcEnable = true, .Mmsi = "0259123400"};
        }));
        QVERIFY(h.window->SelectNodeByKey("DSC"));
        QCOMPARE(h.Find<QLabel>("lblAutoPosMMSIInfo_1")->text(), QString("Group call, Norway"));
        QLineEdit* user = h.Box("txtUserMMSI");
        user->selectAll();
        QTest::keyClicks(user, "025912340");
        QCOMPARE(h.Find<QLabel>("lblUserMMSIInfo")->text(),
                 QString("A group MMSI cannot be the radio's own number"));
        QCOMPARE(h.config.model.DscBasic.UserMmsi, std::string());  // it only informs
    }

    void theMmsiLineFollowsTheBoxEvenWhenItsSignalsAreBlocked() {
        QWidget panel;
        auto* box = new QLineEdit(&panel);
        auto* info = new MmsiInfoLabel(box, MmsiUse::OwnShip, &panel);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTest::keyClicks(box, "02591234");
        QCOMPARE(info->text(), QString());
        QTest::keyClicks(box, "0");
        QCOMPARE(info->text(), QString("A group MMSI cannot be the radio's own number"));
        QVERIFY(info->IsWarning());
        {
            const QSignalBlocker quiet(box);
            box->setText("227123450");
        }
        QTRY_COMPARE(info->text(), QString("Ship, France"));
        QVERIFY(!info->IsWarning());
        info->SetUse(MmsiUse::Group, "0");
        box->setText("22712345");
        QCOMPARE(info->text(), QString("Group call, France"));
        QCOMPARE(box->text(), QString("22712345"));  // it never changes the box
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::DirectoryEditorTest)
#include "directory_editor_test.moc"
