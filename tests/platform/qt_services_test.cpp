// The Qt services: message boxes and file dialogs as the prompt service asks for them, the
// event-pumping clock and the INI settings store.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "core/native_folders.h"
#include "files/ini_settings.h"
#include "platform/qt_clock.h"
#include "platform/qt_folders.h"
#include "platform/qt_prompt.h"
#include "platform/qt_settings.h"

namespace mrw {

class QtServicesTest : public QObject {
    Q_OBJECT
private slots:
    // First: QSettings takes its folders once per process, and a file dialog asks for them.
    void foldersWithoutQtAreWhereQtPutsThem();
    void messageBoxAndTextInputShowWhatWasAsked();
    void fileDialogsTakeTheFiltersAndTheSuffix();
    void clockAndSettings();
    void iniStoreAndQSettingsReadEachOthersFiles();
    void pathsKeepNamesBeyondAscii();
};

namespace {
// Runs `check` on the next modal window once it is up.
void OnNextModal(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check = std::move(check)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            OnNextModal(check);
            return;
        }
        check(modal);
    });
}
}  // namespace

void QtServicesTest::messageBoxAndTextInputShowWhatWasAsked() {
    QtPrompt prompt;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString seen;
    bool hourglass = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    OnNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box != nullptr);
        hourglass = QGuiApplication::overrideCursor() != nullptr;
        icon = box->icon();
        seen = box->windowTitle() + "|" + box->text() + "|" + box->defaultButton()->text() + "|" +
               box->button(QMessageBox::Ok)->text() + "|" + box->detailedText();
        box->button(QMessageBox::Cancel)->click();
    });
    MessageRequest request{"3 channels", "T", Icon::Exclamation, Buttons::OkCancel, Answer::Ok};
    request.okText = "Import";
    request.details = "line 4: a note\n";
    QCOMPARE(prompt.Message(request), Answer::Cancel);
    QVERIFY(!hourglass);  // a box never shows it; the work goes on under it
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);
    QGuiApplication::restoreOverrideCursor();
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(seen, QString("T|3 channels|Import|Import|line 4: a note\n"));

    // Closing a Yes/No/Cancel box cancels.
    OnNextModal([](QWidget* w) { w->close(); });
    QCOMPARE(prompt.Message({"Save?", "T", Icon::Critical, Buttons::YesNoCancel, Answer::Yes}),
             Answer::Cancel);

    // A text input gives the typed line, trimmed; empty when cancelled.
    OnNextModal([](QWidget* w) {
        auto* dialog = qobject_cast<QInputDialog*>(w);
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->textValue(), QString("/dev/ttyUSB0"));
        dialog->setTextValue("  /dev/pts/7 ");
        dialog->accept();
    });
    QCOMPARE(prompt.TextInput({"Device", "Serial device:", "/dev/ttyUSB0"}),
             std::string("/dev/pts/7"));
    OnNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QCOMPARE(prompt.TextInput({"Device", "Serial device:", "x"}), std::string());
}

void QtServicesTest::fileDialogsTakeTheFiltersAndTheSuffix() {
    QtPrompt prompt;
    QTemporaryDir dir;
    FileDialogRequest request;
    request.save = true;
    request.filter = "Text files(*.txt)|*.txt|All files(*.*)|*.*";
    request.folder = dir.path().toStdString();
    request.defaultSuffix = "txt";
    request.overwritePrompt = true;
    // Each row: the name typed without choosing a folder, the filter chosen (0: text, 1: all;
    // -1 cancels), the path given back.
    for (auto [name, filter, path] : {std::tuple{"report", 0, "report.txt"},
                                      {"report", 1, "report"},
                                      {"report.log", 0, "report.log"},
                                      {"report", -1, ""}}) {
        OnNextModal([name, filter](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog != nullptr && !dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->nameFilters().join(";;"),
                     QString("Text files(*.txt) (*.txt);;All files(*.*) (*)"));
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            QVERIFY(types != nullptr && types->currentIndex() == 0);
            for (int i = 0; i < filter; ++i) {
                QTest::keyClick(types, Qt::Key_Down);
            }
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, filter < 0 ? "reject" : "accept");
        });
        QCOMPARE(prompt.FileDialog(request), *path ? dir.filePath(path).toStdString() : "");
    }
}

// The clock keeps events running while it sleeps; settings survive the store.
void QtServicesTest::clockAndSettings() {
    QtClock clock;
    int ran = 0;
    QTimer::singleShot(0, [&] { ++ran; });
    clock.Sleep(20);
    QTimer::singleShot(0, [&] { ++ran; });
    clock.PumpEvents();
    QCOMPARE(ran, 2);
    QTemporaryDir dir;
    const QString file = dir.filePath("MRW.ini");
    {
        QtSettingsStore store(file);
        QCOMPARE(store.Get("Settings", "lastmodel", "1"), std::string("1"));
        store.Set("Settings", "lastmodel", "2");
        store.Set("ComPath", "ComNum", "12");
    }
    QtSettingsStore again(file);
    QCOMPARE(again.Get("Settings", "lastmodel", "1"), std::string("2"));
    QCOMPARE(again.Get("ComPath", "ComNum"), std::string("12"));
    QCOMPARE(again.Get("Settings", "hexvisible", "False"), std::string("False"));
}

// mrw-cli keeps the desktop program's settings without Qt: each reads exactly what the other
// wrote, and neither loses the keys of the other.
void QtServicesTest::iniStoreAndQSettingsReadEachOthersFiles() {
    const QStringList values = {"/dev/pts/3",
                                "C:\\Users\\x",
                                "a, b,c",
                                "say \"hi\"; x=1",
                                "  leading and trailing  ",
                                "\tTab\nline\\end\\",
                                "@at",
                                QString::fromUtf8("K\u00f8benhavn \u20ac \U0001F6A2 caf\u00e9"),
                                QString()};
    QTemporaryDir dir;
    const QString qtFile = dir.filePath("qt.ini");
    {
        QSettings qt(qtFile, QSettings::IniFormat);
        qt.setValue("Window/geometry", QByteArray("\x01\x02"));
        for (int i = 0; i < values.size(); ++i) {
            qt.setValue(QString("ComPorts/Port%1").arg(i), values[i]);
        }
        qt.setValue(QString::fromUtf8("Sp\u00e4ce Section/key with/slash"), "v");
    }
    IniSettingsStore ours(PathFromQString(qtFile));
    for (int i = 0; i < values.size(); ++i) {
        QCOMPARE(QString::fromStdString(ours.Get("ComPorts", "Port" + std::to_string(i))),
                 values[i]);
    }
    QCOMPARE(ours.Get("Sp\u00e4ce Section", "key with/slash"), std::string("v"));

    // Written by the store over the file QSettings wrote: changed, added and kept keys.
    for (int i = 0; i < values.size(); ++i) {
        ours.Set("ComPorts", "Port" + std::to_string(i),
                 values[(i + 1) % values.size()].toStdString());
        ours.Set("Added", "Port" + std::to_string(i), values[i].toStdString());
    }
    ours.Set("Sp\u00e4ce Section", "key with/slash", "w");
    QSettings qt(qtFile, QSettings::IniFormat);
    QCOMPARE(qt.status(), QSettings::NoError);
    for (int i = 0; i < values.size(); ++i) {
        QCOMPARE(qt.value(QString("ComPorts/Port%1").arg(i)).toString(),
                 values[(i + 1) % values.size()]);
        QCOMPARE(qt.value(QString("Added/Port%1").arg(i)).toString(), values[i]);
    }
    QCOMPARE(qt.value(QString::fromUtf8("Sp\u00e4ce Section/key with/slash")).toString(),
             QString("w"));
    QCOMPARE(qt.value("Window/geometry").toByteArray(), QByteArray("\x01\x02"));
    QCOMPARE(qt.allKeys().size(), 2 * values.size() + 2);
}

// mrw-cli finds the state folder and the settings file where the desktop program's Qt does,
// under a home of the test's own, with and without the XDG variables.
void QtServicesTest::foldersWithoutQtAreWhereQtPutsThem() {
    QCOMPARE(QStringFromPath(ExecutableFolder()), QCoreApplication::applicationDirPath());
    QTemporaryDir home;
    const QByteArray saved[] = {qgetenv("HOME"), qgetenv("XDG_DATA_HOME"),
                                qgetenv("XDG_CONFIG_HOME")};
    const QString names[] = {QCoreApplication::organizationName(),
                             QCoreApplication::applicationName()};
    QCoreApplication::setOrganizationName("MRW");
    QCoreApplication::setApplicationName("MRW");
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(QStringFromPath(UserStateFolderOfSystem()),
             QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    QCOMPARE(QStringFromPath(HomeFolder()), home.path());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    QCOMPARE(QStringFromPath(UserStateFolderOfSystem()),
             QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    // QSettings takes its folders once per process (this test runs first): here, with the XDG
    // variables set.
    QCOMPARE(QStringFromPath(UserSettingsFile()),
             QSettings(QSettings::IniFormat, QSettings::UserScope, "MRW", "MRW").fileName());
    qputenv("HOME", saved[0]);
    saved[1].isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", saved[1]);
    saved[2].isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", saved[2]);
    QCoreApplication::setOrganizationName(names[0]);
    QCoreApplication::setApplicationName(names[1]);
}

// A folder named beyond ASCII, made by Qt, is the folder the program's path names, and back:
// on Windows a narrow string would be read in the system's code page ("JÃ¶rg").
void QtServicesTest::pathsKeepNamesBeyondAscii() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString::fromUtf8("Jörg Überfahrt"));
    QVERIFY(QDir().mkpath(folder));
    const std::filesystem::path path = PathFromQString(folder);
    QVERIFY(std::filesystem::is_directory(path));
    QVERIFY(path.filename().u8string() == u8"Jörg Überfahrt");
    QCOMPARE(QStringFromPath(path / u"ö.dat"), folder + QString::fromUtf8("/ö.dat"));
}

}  // namespace mrw

QTEST_MAIN(mrw::QtServicesTest)
#include "qt_services_test.moc"
