// File > Import Channels from CSV… and Export Channels to CSV… driven as a user drives them:
// entries found by objectName, file dialogs and boxes answered by a ScriptedPrompt.
#include <QAction>
#include <QMenu>
#include <QTableWidget>
#include <QtTest>
#include <fstream>
#include <memory>

#include "files/csv_channels.h"
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
    bool Enabled(const char* name) const { return Action(name)->isEnabled(); }
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
    void entriesFollowSaveAsDefaultAndNeedAChannelTable() {
        Harness h;
        QVERIFY(h.Start());
        QStringList names;
        for (QAction* action : h.window->findChild<QMenu*>("mnuFile")->actions()) {
            names << (action->isSeparator() ? "-" : action->objectName());
        }
        const qsizetype at = names.indexOf("mnuFileSaveAsDefault");
        QCOMPARE(names.mid(at, 5), (QStringList{"mnuFileSaveAsDefault", "-", "mnuFileImportCsv",
                                                "mnuFileExportCsv", "-"}));
        QCOMPARE(h.Action("mnuFileImportCsv")->text(),
                 QString::fromUtf8("&Import Channels from CSV…"));
        QCOMPARE(h.Action("mnuFileExportCsv")->text(),
                 QString::fromUtf8("&Export Channels to CSV…"));

        const std::pair<const char*, bool> nodes[] = {
            {"General", false}, {"PU", true}, {"PW", false}, {"PR", true},
            {"Common", false},  {"PI", true}, {"SM", false}, {"EXPCHANNEL", true}};
        for (const auto& [key, enabled] : nodes) {
            QVERIFY2(h.window->SelectNodeByKey(key), key);
            QVERIFY2(h.Enabled("mnuFileImportCsv") == enabled, key);
            QVERIFY2(h.Enabled("mnuFileExportCsv") == enabled, key);
        }
        // Started anyway (a shortcut, a stale menu), they do nothing without a channel table.
        QVERIFY(h.window->SelectNodeByKey("General"));
        h.Action("mnuFileImportCsv")->setEnabled(true);
        h.Action("mnuFileImportCsv")->trigger();
        QVERIFY(h.prompt.dialogs.empty());
    }

    void exportWritesTheTableShown() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PU"));
        const std::string path = (h.Folder() / "group1.csv").string();
        h.prompt.fileNames.push_back(path);
        h.Action("mnuFileExportCsv")->trigger();
        QCOMPARE(h.prompt.dialogs.size(), size_t{1});
        QVERIFY(h.prompt.dialogs[0].save);
        QCOMPARE(h.prompt.dialogs[0].initialName, std::string("CHUSA.csv"));
        QCOMPARE(h.prompt.dialogs[0].defaultSuffix, std::string("csv"));
        const std::string text = testing::ReadFile(path);
        QVERIFY(text.rfind("Location,Name,Frequency,Duplex,Offset,Tone,", 0) == 0);
        QVERIFY(text.find("\r\n1,DISTRESS,156.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,"
                          "FM,25.00,,25W,16,,,,,16,0,1,0,0,127,0,0,,,,\r\n"
                          "2,CALLING,156.450000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,"
                          "25.00,S,25W,09,,,,,09,0,1,0,0,127,0,0,,,,\r\n") != std::string::npos);
        QCOMPARE(text, ChannelTableCsv(h.config.model, TableKind::USA));
        QVERIFY(!h.config.state.DataChanged);
    }

    void importAsksFirstAndCancelChangesNothing() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PU"));
        const ChannelTable before = h.config.model.CHUSA;
        h.prompt.fileNames.push_back(h.Write("list.csv", kList));
        h.prompt.answers.push_back(Answer::Cancel);
        h.Action("mnuFileImportCsv")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{1});
        const MessageRequest& box = h.prompt.messages[0];
        QCOMPARE(box.buttons, Buttons::OkCancel);
        QCOMPARE(box.okText, std::string("Import"));
        QCOMPARE(box.title, h.config.state.TitleText);
        QCOMPARE(box.text,
                 std::string("3 channels from the file will replace the 2 channels of "
                             "Group1(USA).\n1 row of the file is skipped.\n\n"
                             "file: 3 rows without MRW columns: label and inter-ship flag "
                             "from defaults\n"
                             "line 4: channel 24, TX_SIMP (receive 157.200, transmit 157.200 "
                             "MHz): the transmit frequency 152.600000 MHz was not used\n"
                             "line 5: 462.562500 MHz is no channel of the catalogue; skipped"));
        QCOMPARE(box.details,
                 std::string("file: 3 rows without MRW columns: label and inter-ship flag from "
                             "defaults\n"
                             "line 4: channel 24, TX_SIMP (receive 157.200, transmit 157.200 "
                             "MHz): the transmit frequency 152.600000 MHz was not used\n"
                             "line 5: 462.562500 MHz is no channel of the catalogue; skipped\n"));
        QCOMPARE(h.config.model.CHUSA, before);
        QVERIFY(!h.config.state.DataChanged);
        QCOMPARE(h.Grid()->rowCount(), 2);
    }

    void importReplacesTheTableAndShowsTheGridAgain() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PU"));
        h.prompt.fileNames.push_back(h.Write("list.csv", kList));
        h.prompt.answers.push_back(Answer::Ok);
        h.Action("mnuFileImportCsv")->trigger();
        QCOMPARE(h.config.model.CHUSA.size(), size_t{3});
        QCOMPARE(h.config.model.CHUSA[1].ChTag, std::string("SEA 13"));
        QVERIFY(h.config.model.CHUSA[1].LowPower);
        QVERIFY(!h.config.model.CHUSA[1].ScanMemory);
        QVERIFY(h.config.state.DataChanged);
        QCOMPARE(h.Grid()->rowCount(), 3);
        QCOMPARE(h.Grid()->item(0, 0)->text(), QString("06"));
        QCOMPARE(h.Grid()->item(2, 0)->text(), QString("24"));
        QCOMPARE(h.window->findChild<QWidget*>("pictB")->isEnabled(), true);
        QVERIFY(h.config.model.CHINT.empty());
    }

    void aRefusedFileChangesNothingAndSaysWhy() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PR"));
        h.config.model.CHRG = {};
        h.prompt.fileNames.push_back(
            h.Write("bad.csv", "Name,Frequency\nLOW,136.5\nOFFGRID,157.01\n"));
        h.Action("mnuFileImportCsv")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{1});
        QCOMPARE(h.prompt.messages[0].buttons, Buttons::Ok);
        QCOMPARE(h.prompt.messages[0].text,
                 std::string("Nothing was imported from bad.csv.\n"
                             "None of its 2 rows could be taken.\n\n"
                             "line 2: receive frequency 136.500000 MHz lies outside 137 to 174 "
                             "MHz; skipped\n"
                             "line 3: receive frequency 157.010000 MHz is not on the 25 kHz "
                             "grid; skipped"));
        QVERIFY(h.config.model.CHRG.empty());
        QVERIFY(!h.config.state.DataChanged);

        h.prompt.fileNames.push_back((h.Folder() / "absent.csv").string());
        h.Action("mnuFileImportCsv")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{2});
        QVERIFY(h.prompt.messages[1].text.rfind("FileRead Error!!\n", 0) == 0);
        QCOMPARE(h.prompt.messages[1].icon, Icon::Critical);
        QVERIFY(!h.config.state.DataChanged);
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::ChannelCsvTest)
#include "channel_csv_test.moc"
