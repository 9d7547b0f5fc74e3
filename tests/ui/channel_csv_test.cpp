// File > Import Channels from CSV… and Export Channels to CSV… driven as a user drives them:
// entries found by objectName, file dialogs and boxes answered by a ScriptedPrompt.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>
#include <memory>

#include "core/config.h"
#include "files/csv_channels.h"
#include "image/checks.h"
#include "platform/qt_prompt.h"
#include "test_files.h"
#include "ui/main_window.h"

namespace mrw {

namespace {

// One program folder with the default image of model type 1 as its only region, and the
// window on it.
struct Harness {
    QTemporaryDir dir;
    std::filesystem::path folder;
    Config config;
    ScriptedPrompt prompt;
    VirtualClock clock;
    MemorySettingsStore settings;
    std::unique_ptr<MainWindow> window;

    Harness() {
        folder = dir.path().toStdString();
        config.services = {&clock, &prompt, &settings, nullptr, folder};
        std::ofstream(folder / "global.ini") << "[model1]\nuse=1\natis=False\n";
        Image image;
        DataModel model;
        NewImage(image, model, 1);
        std::ofstream(folder / "INTL_08FD.ini", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.bytes.data()), kImageSize);
        window = std::make_unique<MainWindow>(config);
        window->SetPortLister([] {
            return std::vector<SerialDevice>{{"/dev/ttyS0", "Serial (COM1)"}};
        });
    }
    bool Start() {
        if (!window->Load()) {
            return false;
        }
        config.model.Groups = {{{.Usable = true, .StatusName = "USA"},
                                {.Usable = true},
                                {.Usable = true},
                                {.Usable = true}}};
        config.model.CHUSA = {Channel(16, "DISTRESS"), Channel(9, "CALLING")};
        config.model.CHUSA[0].ScanMemory = true;
        window->RebuildViews();
        config.state.DataChanged = false;
        window->UpdateWindowCaption();
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    static ChannelRecord Channel(int position, const char* name) {
        ChannelRecord r;
        r.Position = static_cast<int16_t>(position);
        r.Enable = r.TxEnable = true;
        r.StatusNo = 127;
        r.ChTag = name;
        return r;
    }
    QAction* Entry(const char* name) const { return window->findChild<QAction*>(name); }
    bool Enabled(const char* name) const { return Entry(name)->isEnabled(); }
    QTableWidget* Grid() const { return window->findChild<QTableWidget*>("MSFlexGrid1"); }
    std::string Write(const char* name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
        return (folder / name).string();
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
        QCOMPARE(h.Entry("mnuFileImportCsv")->text(),
                 QString::fromUtf8("&Import Channels from CSV…"));
        QCOMPARE(h.Entry("mnuFileExportCsv")->text(),
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
        h.Entry("mnuFileImportCsv")->setEnabled(true);
        h.Entry("mnuFileImportCsv")->trigger();
        QVERIFY(h.prompt.dialogs.empty());
    }

    void exportWritesTheTableShown() {
        Harness h;
        QVERIFY(h.Start());
        QVERIFY(h.window->SelectNodeByKey("PU"));
        const std::string path = (h.folder / "group1.csv").string();
        h.prompt.fileNames.push_back(path);
        h.Entry("mnuFileExportCsv")->trigger();
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
        h.Entry("mnuFileImportCsv")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{1});
        const MessageRequest& box = h.prompt.messages[0];
        QCOMPARE(box.buttons, Buttons::OkCancel);
        QCOMPARE(box.okText, std::string("Import"));
        QCOMPARE(box.title, h.config.state.TitleText);
        QCOMPARE(box.text,
                 std::string("3 channels from the file will replace the 2 channels of "
                             "Group1(USA).\n1 row of the file is skipped.\n\n"
                             "line 4: channel 24, TX_SIMP (receive 157.200, transmit 157.200 "
                             "MHz): the transmit frequency 152.600000 MHz was not used\n"
                             "line 5: 462.562500 MHz is no channel of the catalogue; skipped"));
        QCOMPARE(box.details,
                 std::string("line 4: channel 24, TX_SIMP (receive 157.200, transmit 157.200 "
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
        h.Entry("mnuFileImportCsv")->trigger();
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
        h.Entry("mnuFileImportCsv")->trigger();
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

        h.prompt.fileNames.push_back((h.folder / "absent.csv").string());
        h.Entry("mnuFileImportCsv")->trigger();
        QCOMPARE(h.prompt.messages.size(), size_t{2});
        QVERIFY(h.prompt.messages[1].text.rfind("FileRead Error!!\n", 0) == 0);
        QCOMPARE(h.prompt.messages[1].icon, Icon::Critical);
        QVERIFY(!h.config.state.DataChanged);
    }

    void theQtBoxNamesItsActionAndShowsTheNotesOnRequest() {
        QtPrompt prompt;
        QString okText;
        QString details;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            okText = box->button(QMessageBox::Ok)->text();
            details = box->detailedText();
            box->button(QMessageBox::Cancel)->click();
        });
        MessageRequest request{"3 channels", "T", Icon::Exclamation, Buttons::OkCancel, Answer::Ok};
        request.okText = "Import";
        request.details = "line 4: a note\n";
        QCOMPARE(prompt.Message(request), Answer::Cancel);
        QCOMPARE(okText, QString("Import"));
        QCOMPARE(details, QString("line 4: a note\n"));
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::ChannelCsvTest)
#include "channel_csv_test.moc"
