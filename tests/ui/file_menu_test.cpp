// File > Open Recent, the start-up file argument, dropped files, and the user's own default
// (File > Save As Default, Options > Use Factory Defaults), driven through the window: actions
// found by objectName, message boxes and file dialogs answered by a ScriptedPrompt, settings
// in memory, virtual time.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/startup.h"
#include "files/hex_file.h"
#include "ui/main_window.h"
#include "window_harness.h"

namespace mrw {

namespace {

namespace fs = std::filesystem;

// The tag of individual directory entry 1 lies at image address 18176 + 5.
constexpr size_t kEntry1Tag = 18181;

struct Harness : testing::WindowHarness {
    Harness() : testing::WindowHarness("[model1]\nuse=1\natis=False\n", 0) {
        config.services.userDataFolder = Folder() / "user";
    }
    bool Begin(const char* entry1 = "") {
        // A directory entry is kept in the image only with its MMSI.
        return Start([entry1](DataModel& m) { m.CHMMSID[0] = {true, entry1, "232123456"}; });
    }
    std::string Entry1() const { return config.model.CHMMSID[0].TagName; }
    // Saves the configuration through File > Save As under `name` (in the folder).
    void SaveAs(const std::string& name) {
        prompt.fileNames = {(Folder() / name).string()};
        Action("mnuFileSaveAs")->trigger();
    }
    // Opens File > Open Recent as a user does; the entries shown, as "text|tooltip|enabled".
    QStringList Recent() {
        auto* file = Find<QMenu>("mnuFile");
        file->popup(QPoint());
        Find<QMenu>("mnuFileRecent")->popup(QPoint());
        Find<QMenu>("mnuFileRecent")->hide();
        file->hide();
        QStringList shown;
        for (int i = 0; i < 8; ++i) {
            QAction* entry = Action(QString("mnuFileRecent_%1").arg(i).toUtf8());
            if (entry->isVisible()) {
                shown << entry->text() + "|" + entry->toolTip() + "|" +
                             (entry->isEnabled() ? "on" : "off");
            }
        }
        return shown;
    }
    QString Path(const std::string& name) const {
        return QString::fromStdString((Folder() / name).string());
    }
    void New() {
        Action("mnuFileNew")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!window->NewPending(), 5000);
    }
    QString DefaultLine() const { return Find<QLabel>("lblGeneralDefaults")->text(); }
};

}  // namespace

class FileMenuTest : public QObject {
    Q_OBJECT
private slots:
    void openRecentKeepsTheNewestEightOnceEachAndOpensThem() {
        Harness h;
        QVERIFY(h.Begin());
        fs::create_directory(h.Folder() / "sub");
        for (int i = 1; i <= 9; ++i) {
            h.config.model.CHMMSID[0].TagName = "FILE" + std::to_string(i);
            h.SaveAs("f" + std::to_string(i) + ".dat");
        }
        // The same file named another way is not listed twice: it moves to the front.
        h.SaveAs("sub/../f5.dat");
        QStringList expected;
        for (int i : {5, 9, 8, 7, 6, 4, 3, 2}) {
            const QString name = QString("f%1.dat").arg(i);
            expected << QString("&%1 %2|%3|on")
                            .arg(expected.size() + 1)
                            .arg(name, h.Path(name.toStdString()));
        }
        QCOMPARE(h.Recent(), expected);

        // A file gone missing is greyed, its path in the tooltip.
        fs::remove(h.Folder() / "f3.dat");
        QCOMPARE(h.Recent()[6], "&7 f3.dat|" + h.Path("f3.dat") + " (not found)|off");

        // Choosing an entry opens it as File > Open does, and puts it in front.
        h.Action("mnuFileRecent_3")->trigger();
        QCOMPARE(h.config.state.CurrentFileName, h.Path("f7.dat").toStdString());
        QCOMPARE(h.Entry1(), std::string("FILE7"));
        QVERIFY(h.Recent()[0].startsWith("&1 f7.dat|"));

        // One that vanished since the menu was shown gets Open's message; nothing changes.
        fs::remove(h.Folder() / "f2.dat");
        h.Action("mnuFileRecent_7")->trigger();
        QCOMPARE(h.prompt.Texts().back().substr(0, 16), std::string("FileRead Error!!"));
        QCOMPARE(h.config.state.CurrentFileName, h.Path("f7.dat").toStdString());
        QCOMPARE(h.Entry1(), std::string("FILE7"));

        h.Action("mnuFileRecentClear")->trigger();
        QVERIFY(h.Recent().isEmpty());
        QVERIFY(!h.Find<QMenu>("mnuFileRecent")->isEnabled());
    }

    void aFileNamedOnTheCommandLineOrDroppedOpens() {
        Harness h;
        QVERIFY(h.Begin("BOAT"));
        h.SaveAs("boat.dat");
        QVERIFY(SaveHexFile(h.config, h.Folder() / "boat.hex"));
        h.config.model.CHMMSID[0].TagName = "CHANGED";

        // The old switches still work beside a file.
        const CommandLine line = ParseCommandLine({"/de", h.Path("boat.dat").toStdString()});
        QVERIFY(line.debug && line.baud19200 && line.error.empty());
        QCOMPARE(ParseCommandLine({"a.dat", "b.HEX"}).error.empty(), false);
        h.window->OpenStartupFile(line.file);
        QCOMPARE(h.config.state.CurrentFileName, h.Path("boat.dat").toStdString());
        QCOMPARE(h.Entry1(), std::string("BOAT"));

        h.config.model.CHMMSID[0].TagName = "CHANGED";
        h.window->OpenStartupFile(ParseCommandLine({h.Path("boat.hex").toStdString()}).file);
        QCOMPARE(h.config.state.CurrentFileName, h.Path("boat.hex").toStdString());
        QCOMPARE(h.Entry1(), std::string("BOAT"));

        // A dropped settings file opens; a dropped text file is not taken.
        auto drop = [&](const std::string& name) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(h.Path(name))});
            QWidget* target = h.window->centralWidget();
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(target, &enter);
            if (enter.isAccepted()) {
                QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
                QCoreApplication::sendEvent(target, &dropped);
                QCoreApplication::processEvents();
            }
            return enter.isAccepted();
        };
        std::ofstream(h.Folder() / "notes.txt") << "[MAIN]\n";
        h.config.model.CHMMSID[0].TagName = "CHANGED";
        QVERIFY(!drop("notes.txt"));
        QVERIFY(drop("boat.dat"));
        QCOMPARE(h.config.state.CurrentFileName, h.Path("boat.dat").toStdString());
        QCOMPARE(h.Entry1(), std::string("BOAT"));
    }

    void newStartsFromTheOwnDefaultUntilFactoryDefaultsAreBack() {
        Harness h;
        QVERIFY(h.Begin("DEALER"));
        QCOMPARE(h.DefaultLine(), QString("New starts from: the factory default (INTL)"));
        h.Action("mnuFileSaveAsDefault")->trigger();
        QCOMPARE(h.Find<QLabel>("sbStatusBar_Panel2")->text(), QString("Saved as default"));

        // The raw image form of the region images: 32768 bytes, model code 2301 (08FD) at 128 and
        // at the end, region INTL (0) at 271, the entry's tag where the radio keeps it.
        const fs::path own = h.Folder() / "user" / "defaults" / "INTL_08FD.ini";
        std::ifstream in(own, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        QCOMPARE(bytes.size(), size_t{32768});
        QCOMPARE(bytes.substr(128, 2), std::string("\x08\xFD"));
        QCOMPARE(bytes.substr(32766, 2), std::string("\x08\xFD"));
        QCOMPARE(int{bytes[271]}, 0);
        QCOMPARE(bytes.substr(kEntry1Tag, 7), std::string("DEALER\xFF"));

        h.config.model.CHMMSID[0].TagName = "CHANGED";
        h.New();
        QCOMPARE(h.Entry1(), std::string("DEALER"));
        QVERIFY(h.DefaultLine().startsWith("New starts from: your own default (INTL, saved 20"));

        // Use Factory Defaults asks; Cancel keeps the own default, OK removes it and leaves
        // the configuration as it is; New then gives the factory configuration again.
        QVERIFY(h.Action("mnuOptionsFactoryDefaults")->isEnabled());
        h.prompt.answers = {Answer::Cancel};
        h.Action("mnuOptionsFactoryDefaults")->trigger();
        QVERIFY(h.prompt.Texts().back().starts_with(
            "Remove your own default for the HV2300 INTL, saved 20"));
        QVERIFY(fs::exists(own));
        h.prompt.answers = {Answer::Ok};
        h.Action("mnuOptionsFactoryDefaults")->trigger();
        QVERIFY(!fs::exists(own));
        QCOMPARE(h.Entry1(), std::string("DEALER"));
        QCOMPARE(h.DefaultLine(), QString("New starts from: the factory default (INTL)"));
        QVERIFY(!h.Action("mnuOptionsFactoryDefaults")->isEnabled());
        h.New();
        QCOMPARE(h.Entry1(), std::string());
    }

    void anOwnDefaultThatFailsItsChecksGivesTheFactoryOneAndIsReportedOnce() {
        Harness h;
        QVERIFY(h.Begin());
        const fs::path own = h.Folder() / "user" / "defaults" / "INTL_08FD.ini";
        fs::create_directories(own.parent_path());
        std::ofstream(own) << std::string(100, '\0');
        h.config.model.CHMMSID[0].TagName = "CHANGED";
        const size_t before = h.prompt.messages.size();
        h.New();
        h.New();
        QCOMPARE(h.prompt.messages.size(), before + 1);
        QVERIFY(h.prompt.Texts().back().starts_with(
            "Your own default for the HV2300 INTL cannot be used: it holds 100 bytes instead of "
            "32768.\nThe factory default is used instead."));
        QCOMPARE(h.Entry1(), std::string());
        QCOMPARE(h.DefaultLine(), QString("New starts from: the factory default (INTL)"));
    }
};

}  // namespace mrw

QTEST_MAIN(mrw::FileMenuTest)
#include "file_menu_test.moc"
