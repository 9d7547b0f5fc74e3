// The report window driven like a user, and the printed report checked in a PDF file.
#include <QAction>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include "test_files.h"

#include "core/config.h"
#include "report/report.h"
#include "report/report_fixture.h"
#include "ui/fixed_font.h"
#include "ui/report_window.h"

using namespace mrw;

namespace {

using mrw::testing::ReadFile;

// Runs pdftotext on a PDF file; empty when the tool is missing or fails.
QString PdfText(const QString& pdf, const QStringList& options = {}) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-"));
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Virtual time that notes, at each pause, whether the window was disabled under the hourglass.
class WatchingClock : public VirtualClock {
public:
    void Sleep(int ms) override {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        busyDuringPause = window != nullptr && !window->isEnabled() && cursor != nullptr &&
                          cursor->shape() == Qt::WaitCursor;
        VirtualClock::Sleep(ms);
    }
    QWidget* window = nullptr;
    bool busyDuringPause = false;
};

}  // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT

private:
    WatchingClock clock_;
    ScriptedPrompt prompt_;
    MemorySettingsStore settings_;
    Config config_;
    std::unique_ptr<QTemporaryDir> dir_;

    // Opens the window and lets its timer build the report.
    std::unique_ptr<ReportWindow> OpenBuilt() {
        auto w = std::make_unique<ReportWindow>(config_);
        w->show();
        if (!QTest::qWaitFor([&] { return !w->reportText().empty(); }, 5000)) {
            qWarning("the report window did not build its report");
        }
        return w;
    }
    void Save(QWidget* w, const std::string& path = {}) {
        if (!path.empty()) {
            prompt_.fileNames.push_back(path);
        }
        Action(w, "mnuFileSave")->trigger();
    }
    QAction* Action(QWidget* w, const char* name) {
        return w->findChild<QAction*>(QString::fromLatin1(name));
    }
    // Prints the report to a PDF file (only pages first..last when given) and gives
    // pdftotext's reading of it.
    QString PrintedText(const QString& name, const QStringList& options, int first = 0,
                        int last = 0) {
        const QString pdf = dir_->filePath(name);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        if (first > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(first, last);
        }
        std::string error;
        if (!DrawReport(printer, config_, &error) ||
            printer.pageLayout().fullRectPoints().height() <= 0) {
            qWarning("printing failed: %s", error.c_str());
            return {};
        }
        if (qEnvironmentVariableIsSet("MRW_KEEP_PDF")) {
            QFile::copy(pdf, qEnvironmentVariable("MRW_KEEP_PDF"));
        }
        return PdfText(pdf, options);
    }

private slots:
    void init() {
        config_ = Config();
        config_.services.clock = &clock_;
        config_.services.prompt = &prompt_;
        config_.services.settings = &settings_;
        config_.services.documentsFolder = "/home/skipper/Documents";
        FillCraftedConfig(config_);
        prompt_ = ScriptedPrompt();
        settings_ = MemorySettingsStore();
        clock_ = WatchingClock();
        dir_ = std::make_unique<QTemporaryDir>();
    }

    void showsWaitTextThenBuildsReportThroughTimerUnderTheHourglass() {
        ReportWindow w(config_);
        clock_.window = &w;
        QCOMPARE(w.objectName(), QStringLiteral("frmPrn"));
        QVERIFY(w.isModal());
        auto* text = w.findChild<QPlainTextEdit*>();
        QVERIFY(text != nullptr && text->isReadOnly());
        QCOMPARE(text->font(), FixedPitchFont());
        QCOMPARE(text->toPlainText(), QStringLiteral("Now, making text image. Please wait..."));
        auto* timer = w.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer != nullptr && timer->isSingleShot());
        // Save does nothing before the report is built.
        QVERIFY(!Action(&w, "mnuFileSave")->isEnabled());
        Save(&w, dir_->filePath(QStringLiteral("early.txt")).toStdString());
        QVERIFY(prompt_.dialogs.empty());

        w.show();
        QVERIFY(timer->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(!w.reportText().empty(), 5000);
        QVERIFY(!timer->isActive());
        QCOMPARE(w.reportText(), ReportText(config_));
        QString shown = QString::fromStdString(ReportText(config_));
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(text->toPlainText(), shown);
        // The 500 ms pause went through the clock, with the window disabled under the hourglass.
        QVERIFY(std::fabs(clock_.Seconds() - 0.5) < 1e-9);
        QVERIFY(clock_.busyDuringPause);
        QVERIFY(w.isEnabled());
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    }

    void cancelledSaveLeavesNoFileAndSavingTwiceReplacesIt() {
        const std::string path = dir_->filePath(QStringLiteral("report.txt")).toStdString();
        {
            auto w = OpenBuilt();
            Save(w.get());  // no file name queued: cancelled
            QVERIFY(QDir(dir_->path()).entryList(QDir::Files).isEmpty());
            Save(w.get(), path);
        }
        QCOMPARE(ReadFile(path), ReportText(config_) + "\r\n");

        config_.model.CHMMSID[1] = {true, "SECOND", "123456789"};
        config_.state.ErrorFlag = true;  // a successful save clears the error state
        Save(OpenBuilt().get(), path);
        const std::string second = ReportText(config_) + "\r\n";
        QVERIFY(second.find("SECOND") != std::string::npos);
        QCOMPARE(ReadFile(path), second);

        QCOMPARE(prompt_.dialogs.size(), std::size_t(3));
        for (const auto& d : prompt_.dialogs) {
            QVERIFY(d.save && d.overwritePrompt);
            QCOMPARE(d.filter, std::string("Text files(*.txt)|*.txt|All files(*.*)|*.*"));
            QCOMPARE(d.defaultSuffix, std::string("txt"));
        }
        // The documents until a report was saved, then the folder it went to.
        QCOMPARE(prompt_.dialogs[1].folder, std::string("/home/skipper/Documents"));
        QCOMPARE(prompt_.dialogs[2].folder, dir_->path().toStdString());
        QVERIFY(prompt_.messages.empty());
        QVERIFY(!config_.state.ErrorFlag);
    }

    void failingSaveShowsTheErrorAndKeepsTheWindow() {
        auto w = OpenBuilt();
        Save(w.get(), dir_->path().toStdString());  // a folder, not a file
        QCOMPARE(prompt_.messages.size(), std::size_t(1));
        const MessageRequest& m = prompt_.messages.front();
        QVERIFY(m.icon == Icon::Exclamation);
        QCOMPARE(m.title, std::string("PC Program for HV2300 HV2300"));
        QVERIFY(!m.text.empty());
        QVERIFY(config_.state.ErrorFlag);
        QVERIFY(w->isVisible());
        QVERIFY(std::filesystem::is_directory(dir_->path().toStdString()));
    }

    void okAndExitCloseTheWindow() {
        auto w = OpenBuilt();
        QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        w = OpenBuilt();
        Action(w.get(), "mnuFileExit")->trigger();
        QVERIFY(!w->isVisible());
    }

    void printedReportCarriesEverySectionWithPrintedWords() {
        const QString text = PrintedText(QStringLiteral("report.pdf"), {QStringLiteral("-layout")});
        QVERIFY2(!text.isEmpty(), "printing or pdftotext gave no text");
        // One heading per group of sections: setup, channel tables, directories, user channels.
        QCOMPARE(text.count(QStringLiteral("Marine Radio WorkbenchHV2300")), 4);
        for (const char* expected :
             {"##### Usable CH Group Setup #####", "Status name",
              "Received Geographic:", "Select Call:", "##### Programable USA Channel #####",
              "##### Programable WX Channel #####", "##### Memory ID #####", "##### Group ID #####",
              "##### Programable REGION Channel #####", "##### Programable EXP Channel #####",
              "Station Name", "CALLING", "156.0350", "SHIP TO SHIP", "Count : 3", "B2X"}) {
            QVERIFY2(text.contains(QString::fromLatin1(expected)), expected);
        }
        for (const char* textOnly :
             {"Received Geografic", "SelectCall:", "Memory ID Setting", "Programable Wx Channel"}) {
            QVERIFY2(!text.contains(QString::fromLatin1(textOnly)), textOnly);
        }
        // Every empty directory row made it to paper exactly once across the page breaks:
        // 76 of the 80 individual entries and 30 of the 32 group entries are empty.
        QCOMPARE(
            text.count(QRegularExpression(QStringLiteral("(?m)^\\s*\\d+\\s+-{12}\\s+-{9}\\s*$"))),
            106);
    }

    void printedPageRangeIsHonoured() {
        const QString all = PrintedText(QStringLiteral("all.pdf"), {});
        const QString some = PrintedText(QStringLiteral("some.pdf"), {}, 2, 3);
        QVERIFY2(!all.isEmpty() && !some.isEmpty(), "printing or pdftotext gave no text");
        // pdftotext ends every page with a form feed.
        const QStringList pages = all.split(QChar('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 4);
        QCOMPARE(some.split(QChar('\f'), Qt::SkipEmptyParts), pages.mid(1, 2));
    }

    void printedChannelCellsSitAtTheirMillimetrePositions() {
        // Word boxes in points: the CH Name column of the USA table lies 108 mm right of CH.
        const QString boxes = PrintedText(QStringLiteral("cells.pdf"), {QStringLiteral("-bbox")});
        auto xOf = [&](const QString& word) {
            QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\"[^>]*>%1<").arg(word));
            auto m = re.match(boxes);
            return m.hasMatch() ? m.captured(1).toDouble() : -1000.0;
        };
        const double ptPerMm = 72.0 / 25.4;
        const double ch = xOf(QStringLiteral("1022A"));
        QVERIFY(ch > -1000);
        QVERIFY(std::fabs(xOf(QStringLiteral("CALLING")) - ch - 108 * ptPerMm) < 1.0);
        QVERIFY(std::fabs(xOf(QStringLiteral("Reverse")) - ch - 71 * ptPerMm) < 1.0);
        // EXP table: RX(MHz) at 54 mm, CH Name at 114 mm.
        const double exp = xOf(QStringLiteral("EXP01"));
        QVERIFY(std::fabs(xOf(QStringLiteral("156.0350")) - exp - 54 * ptPerMm) < 1.0);
        QVERIFY(std::fabs(xOf(QStringLiteral("SHIP")) - exp - 114 * ptPerMm) < 1.0);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
