// The Qt services: message boxes and file dialogs as the prompt service asks for them, the
// event-pumping clock and the INI settings store.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/qt_clock.h"
#include "platform/qt_prompt.h"
#include "platform/qt_settings.h"

namespace mrw {

class QtServicesTest : public QObject {
    Q_OBJECT
private slots:
    void filtersBecomeQtNameFilters();
    void messageBoxShowsWhatWasAsked();
    void closingAYesNoCancelBoxCancels();
    void cancelledFileDialogGivesNoName();
    void textSuffixFollowsTheChosenFilter();
    void boxIsWideEnoughForItsTitle();
    void textInputGivesTheTypedLine();
    void boxesNeverShowTheHourglass();
    void clockKeepsEventsRunningWhileSleeping();
    void settingsSurviveTheStore();
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

void QtServicesTest::filtersBecomeQtNameFilters() {
    QCOMPARE(ToQtNameFilters("dat files(*.dat)|*.dat|All files(*.*)|*.*"),
             QString("dat files(*.dat) (*.dat);;All files(*.*) (*)"));
    QCOMPARE(ToQtNameFilters("Text files(*.txt)|*.txt"), QString("Text files(*.txt) (*.txt)"));
    QCOMPARE(ToQtNameFilters(""), QString());
}

void QtServicesTest::messageBoxShowsWhatWasAsked() {
    QtPrompt prompt;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultText;
    OnNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box != nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        defaultText = box->defaultButton() ? box->defaultButton()->text() : QString();
        QVERIFY(box->button(QMessageBox::Yes) && box->button(QMessageBox::No));
        box->button(QMessageBox::No)->click();
    });
    const Answer answer =
        prompt.Message({"The region is unmatched.\nDo you want to change the "
                        "region?",
                        "PC Program for HV2300", Icon::Exclamation, Buttons::YesNo, Answer::No});
    QCOMPARE(answer, Answer::No);
    QCOMPARE(title, QString("PC Program for HV2300"));
    QVERIFY(text.startsWith("The region is unmatched."));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(defaultText, QMessageBox().addButton(QMessageBox::No)->text());

    OnNextModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(prompt.Message({"Unknown model!!", "", Icon::Critical, Buttons::Ok, Answer::Ok}),
             Answer::Ok);

    // A box that names its action on OK and shows its notes on request.
    QString okText;
    OnNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        okText = box->button(QMessageBox::Ok)->text();
        text = box->detailedText();
        box->button(QMessageBox::Cancel)->click();
    });
    MessageRequest request{"3 channels", "T", Icon::Exclamation, Buttons::OkCancel, Answer::Ok};
    request.okText = "Import";
    request.details = "line 4: a note\n";
    QCOMPARE(prompt.Message(request), Answer::Cancel);
    QCOMPARE(okText, QString("Import"));
    QCOMPARE(text, QString("line 4: a note\n"));
}

void QtServicesTest::closingAYesNoCancelBoxCancels() {
    QtPrompt prompt;
    OnNextModal([](QWidget* w) { w->close(); });
    QCOMPARE(prompt.Message({"MRW data has changed.\nDo you want to save changes?", "T",
                             Icon::Exclamation, Buttons::YesNoCancel, Answer::Yes}),
             Answer::Cancel);
}

void QtServicesTest::cancelledFileDialogGivesNoName() {
    QtPrompt prompt;
    QTemporaryDir dir;
    QString filters;
    bool confirmOverwrite = false;
    OnNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog != nullptr);
        filters = dialog->nameFilters().join(";;");
        confirmOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        dialog->reject();
    });
    FileDialogRequest request;
    request.save = true;
    request.filter = "hex files(*.hex)|*.hex|All files(*.*)|*.*";
    request.folder = dir.path().toStdString();
    request.overwritePrompt = true;
    QCOMPARE(prompt.FileDialog(request), std::string());
    QCOMPARE(filters, QString("hex files(*.hex) (*.hex);;All files(*.*) (*)"));
    QVERIFY(confirmOverwrite);
}

void QtServicesTest::textSuffixFollowsTheChosenFilter() {
    QtPrompt prompt;
    QTemporaryDir dir;
    FileDialogRequest request;
    request.save = true;
    request.filter = "Text files(*.txt)|*.txt|All files(*.*)|*.*";
    request.folder = dir.path().toStdString();
    request.defaultSuffix = "txt";
    // Types a name without an extension, with the filter `filter` chosen (0: text, 1: all).
    auto typed = [&](const QString& name, int filter) {
        OnNextModal([name, filter](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog != nullptr);
            auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            QVERIFY(types != nullptr && types->currentIndex() == 0);
            for (int i = 0; i < filter; ++i) {
                QTest::keyClick(types, Qt::Key_Down);
            }
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        return prompt.FileDialog(request);
    };
    QCOMPARE(typed("report", 0), dir.filePath("report.txt").toStdString());
    QCOMPARE(typed("report", 1), dir.filePath("report").toStdString());
    QCOMPARE(typed("report.log", 0), dir.filePath("report.log").toStdString());
}

void QtServicesTest::boxIsWideEnoughForItsTitle() {
    QtPrompt prompt;
    const QString title = "Clear Individual Directory";
    int width = 0;
    OnNextModal([&](QWidget* w) {
        width = w->width();
        w->close();
    });
    prompt.Message({"Complete!!", title.toStdString(), Icon::Information, Buttons::Ok, Answer::Ok});
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    QVERIFY(width >= QFontMetrics(font).horizontalAdvance(title) + 160);
}

void QtServicesTest::textInputGivesTheTypedLine() {
    QtPrompt prompt;
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

void QtServicesTest::boxesNeverShowTheHourglass() {
    QtPrompt prompt;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool hourglass = true;
    OnNextModal([&](QWidget* w) {
        hourglass = QGuiApplication::overrideCursor() != nullptr;
        w->close();
    });
    prompt.Message({"FileSave Error!!", "T", Icon::Exclamation, Buttons::Ok, Answer::Ok});
    QVERIFY(!hourglass);
    QVERIFY(QGuiApplication::overrideCursor() != nullptr);  // the work goes on under it
    QGuiApplication::restoreOverrideCursor();
}

void QtServicesTest::clockKeepsEventsRunningWhileSleeping() {
    QtClock clock;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    clock.Sleep(20);
    QVERIFY(ran);
    bool pumped = false;
    QTimer::singleShot(0, [&] { pumped = true; });
    clock.PumpEvents();
    QVERIFY(pumped);
}

void QtServicesTest::settingsSurviveTheStore() {
    QTemporaryDir dir;
    const QString file = dir.filePath("MRW.ini");
    {
        QtSettingsStore store(file);
        QCOMPARE(store.Get("Settings", "lastmodel", "1"), std::string("1"));
        store.Set("Settings", "lastmodel", "2");
        store.Set("ComPath", "ComNum", "12");
        QCOMPARE(store.FileName(), file);
    }
    QtSettingsStore again(file);
    QCOMPARE(again.Get("Settings", "lastmodel", "1"), std::string("2"));
    QCOMPARE(again.Get("ComPath", "ComNum"), std::string("12"));
    QCOMPARE(again.Get("Settings", "hexvisible", "False"), std::string("False"));
}

}  // namespace mrw

QTEST_MAIN(mrw::QtServicesTest)
#include "qt_services_test.moc"
