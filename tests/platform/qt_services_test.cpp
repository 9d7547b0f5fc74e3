// The Qt services: message boxes and file dialogs as the prompt service asks for them, the
// event-pumping clock and the INI settings store.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/qt_clock.h"
#include "platform/qt_folders.h"
#include "platform/qt_prompt.h"
#include "platform/qt_settings.h"

namespace mrw {

class QtServicesTest : public QObject {
    Q_OBJECT
private slots:
    void messageBoxAndTextInputShowWhatWasAsked();
    void fileDialogsTakeTheFiltersAndTheSuffix();
    void clockAndSettings();
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
