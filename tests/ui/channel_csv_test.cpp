// File > Import Channels from CSV… and Export Channels to CSV… driven as a user drives them:
// entries found by objectName, file dialogs and boxes answered by a ScriptedPrompt.
#include <QAction>
#include <QTableWidget>
#include <QtTest>
#include <fstream>
#include <memory>

#include "test_files.h"
#include "ui/main_window.h"
#include "window_harness.h"

namespace mrw {

namespace {

// The window on a folder with the default image of model type 1, two channels in Group1(USA).
struct Harness : testing::WindowHarness {
    bool Start() {
        return testing::WindowHarness::Start([](DataModel& m) {
            m.Groups = {{{.Usable = true, .StatusName = "USA"},
                         {.Usable = true},
                         {.Usable = true},
                         {.Usable = true}}};
            m.CHUSA = {testing::Channel(16, "DISTRESS"), testing::Channel(9, "CALLING")};
            m.CHUSA[0].ScanMemory = true;
        });
    }
    QTableWidget* Grid() const { return Find<QTableWidget>("MSFlexGrid1"); }
    std::string Write(const char* name, const std::string& text) const {
        std::ofstream(Folder() / name, std::ios::binary) << text;
        return (Folder() / name).string();
    }
};

constexpr const char* kList =
    "Location,Name,Frequency,Duplex,Offset,Skip,Power,Comment\r\n"
    "1,SEA 06,156.300000,,0.000000,,25W,Safety\r\n"
    "2,SEA 13,156.650000,,0.000000,S,1W,\"Bridge, 1 W\"\r\n"
    "3,SEA 24,157.200000,-,4.600000,S,25W,Marine operator\r\n"
    "4,GMRS 1,462.562500,,0.000000,,5W,not marine\r\n";

}  // namespace

class ChannelCsvTest : public QObject {
    Q_OBJECT
private slots:
    void exportWritesTheTableShown() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PU"));
        const std::string path = (h.Folder() / "group1.csv").string();
        h.prompt.fileNames.push_back(path);
        h.Action("mnuFileExportCsv")->trigger();
        const std::string text = testing::ReadFile(path);
        QVERIFY(text.rfind("Location,Name,Frequency,Duplex,Offset,Tone,", 0) == 0);
        const size_t second = text.find("\r\n2,CALLING,156.450000,");
        QVERIFY(second != std::string::npos && text.find("\r\n1,DISTRESS,156.800000,") < second);
    }

    // The import asks first, naming what it skips; Cancel changes nothing, Import replaces the
    // table shown.
    void importAsksThenReplacesTheTableShown() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PU"));
        const ChannelTable before = h.config.model.CHUSA;
        const std::string file = h.Write("list.csv", kList);
        h.prompt.fileNames = {file, file};
        h.prompt.answers = {Answer::Cancel, Answer::Ok};
        h.Action("mnuFileImportCsv")->trigger();
        const MessageRequest& box = h.prompt.messages.at(0);
        QCOMPARE(box.buttons, Buttons::OkCancel);
        QCOMPARE(box.okText, std::string("Import"));
        QVERIFY(
            box.text.starts_with("3 channels from the file will replace the 2 channels of "
                                 "Group1(USA).\n1 row of the file is skipped.\n"));
        QCOMPARE(h.config.model.CHUSA, before);
        QVERIFY(!h.config.state.DataChanged);

        h.Action("mnuFileImportCsv")->trigger();
        QCOMPARE(h.config.model.CHUSA.size(), size_t{3});
        QCOMPARE(h.config.model.CHUSA[1].ChTag, std::string("SEA 13"));
        QVERIFY(h.config.state.DataChanged);
        QCOMPARE(h.Grid()->rowCount(), 3);
        QCOMPARE(h.Grid()->item(2, 0)->text(), QString("24"));
        QVERIFY(h.config.model.CHINT.empty());
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::ChannelCsvTest)
#include "channel_csv_test.moc"
