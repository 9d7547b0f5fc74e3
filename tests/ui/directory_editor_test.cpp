// The directory list, the entry panel and the weather panel driven as a user drives them:
// nodes, grid rows, boxes and keys found by objectName, message boxes answered by a
// ScriptedPrompt.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "ui/main_window.h"
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
    void entriesAddedTheSecondDeletedEachMmsiDescribedAsTyped() {
        Harness h;
        QVERIFY(h.Start());
        h.Add("SM1", "HARBOUR", "211123450");
        QCOMPARE(h.Info(), QString("Ship, Germany (Federal Republic of)"));
        QCOMPARE(h.config.model.CHMMSID[0], (DirectoryRecord{true, "HARBOUR", "2111234500"}));
        QCOMPARE(h.Caption("SM1"), QString("Memory ID1[Enable]"));
        h.Add("SM2", "MARINA", "232123450");
        h.Add("SM3", "PILOT", "259123450");
        QVERIFY(h.prompt.messages.empty());

        // The list shows them; a double click opens the entry.
        QVERIFY(h.window->SelectNodeByKey("SM"));
        QCOMPARE(h.Panel(), QString("pictE"));
        QCOMPARE(h.Row(2), (QStringList{"3", "PILOT", "259123450", "Ship, Norway"}));
        const QPoint second = h.Grid()->visualItemRect(h.Grid()->item(1, 1)).center();
        QTest::mouseClick(h.Grid()->viewport(), Qt::LeftButton, {}, second);
        QTest::mouseDClick(h.Grid()->viewport(), Qt::LeftButton, {}, second);
        QCOMPARE(h.Panel(), QString("pictG"));
        QCOMPARE(h.Box("txtGPosi")->text(), QString("MARINA"));

        h.prompt.answers = {Answer::Yes};
        h.Click(h.Check("chkGDelete"));
        QCOMPARE(h.prompt.Texts(), std::vector<std::string>{"Are you sure ?"});
        QCOMPARE(h.Box("txtGPosi")->text(), QString("PILOT"));  // slot 2 shows what followed
        QCOMPARE(h.config.model.CHMMSID[1], (DirectoryRecord{true, "PILOT", "2591234500"}));
        QCOMPARE(h.config.model.CHMMSID[2], DirectoryRecord{});
        QCOMPARE(h.Caption("SM3"), QString("Memory ID3"));

        // A wrong length is refused with its message; the box keeps the focus and the text.
        h.Type("txtGMMSI", "25912345");
        QTest::keyClick(h.Box("txtGMMSI"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.Texts().back(), std::string("Data Error!!\nAn MMSI has 9 digits."));
        QCOMPARE(QApplication::focusWidget(), h.Box("txtGMMSI"));
        QCOMPARE(h.Box("txtGMMSI")->text(), QString("25912345"));
        QCOMPARE(h.config.model.CHMMSID[1].Mmsid, std::string("2591234500"));

        // A name erased is refused alike, and the stored name stays.
        h.Type("txtGMMSI", "259123450");
        h.Click(h.Box("txtGPosi"));
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Backspace);
        QTest::keyClick(h.Box("txtGPosi"), Qt::Key_Tab);
        QTRY_COMPARE(h.prompt.Texts().back(),
                     std::string("Data Error!!\nGive the station a name."));
        QCOMPARE(h.prompt.messages.back().title, std::string("Individual Directory"));
        QCOMPARE(QApplication::focusWidget(), h.Box("txtGPosi"));
        QCOMPARE(h.config.model.CHMMSID[1].TagName, std::string("PILOT"));
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
        QVERIFY(!h.Box("txtDTagName_0")->isEnabled());

        h.Type("txtDTagName_1", "Channel #2");
        // "#" is no character a name field holds: the box does not take it.
        QCOMPARE(h.Box("txtDTagName_1")->text(), QString("Channel 2"));
        QCOMPARE(h.config.model.CHWX[1].ChTag, std::string("Channel 2"));
        h.Click(h.Check("chkDScan_1"));
        QVERIFY(!h.config.model.CHWX[1].ScanMemory);

        h.Click(h.Check("chkDEnable_0"));
        QVERIFY(h.config.model.CHWX[0].Enable);
        QVERIFY(h.Box("txtDTagName_0")->isEnabled());
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::DirectoryEditorTest)
#include "directory_editor_test.moc"
