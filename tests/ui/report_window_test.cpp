// The report window driven like a user.
#include <QAction>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <filesystem>
#include "test_files.h"

#include "core/config.h"
#include "report/report.h"
#include "report/report_fixture.h"
#include "ui/report_window.h"

using namespace mrw;

using mrw::testing::ReadFile;

// Runs pdftotext on a PDF file; empty when the tool is missing or fails.
static QString PdfText(const QString& pdf, const QStringList& options = {}) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), QStringList(options) << pdf << QStringLiteral("-"));
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ReportWindowTest : public QObject {
    Q_OBJECT

private:
    VirtualClock clock_;
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
        if (!DrawReport(printer, config_, &error)) {
            qWarning("printing failed: %s", error.c_str());
            return {};
        }
        return PdfText(pdf, options);
    }
    QAction* Action(QWidget* w, const char* name) {
        return w->findChild<QAction*>(QString::fromLatin1(name));
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
        clock_ = VirtualClock();
        dir_ = std::make_unique<QTemporaryDir>();
    }

    void showsWaitTextThenBuildsReportThroughTimerUnderTheHourglass() {
        ReportWindow w(config_);
        auto* text = w.findChild<QPlainTextEdit*>();
        QVERIFY(text != nullptr && text->isReadOnly());
        QCOMPARE(text->toPlainText(), QStringLiteral("Now, making text image. Please wait..."));
        // Save does nothing before the report is built.
        QVERIFY(!Action(&w, "mnuFileSave")->isEnabled());
        Save(&w, dir_->filePath(QStringLiteral("early.txt")).toStdString());
        QVERIFY(prompt_.dialogs.empty());

        w.show();
        QTRY_VERIFY_WITH_TIMEOUT(!w.reportText().empty(), 5000);
        QCOMPARE(w.reportText(), ReportText(config_));
        QVERIFY(Action(&w, "mnuFileSave")->isEnabled());
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
        QVERIFY(ReadFile(path).find("SECOND") != std::string::npos);
        QCOMPARE(prompt_.dialogs.size(), std::size_t(3));
        QVERIFY(prompt_.dialogs[2].save && prompt_.dialogs[2].overwritePrompt);
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

    // On paper: every section with its printed words, every empty directory row once across
    // the page breaks, a page range as asked, and the channel cells at their millimetre places.
    void printedReportSectionsPagesAndCells() {
        const QString text = PrintedText(QStringLiteral("report.pdf"), {QStringLiteral("-layout")});
        QVERIFY2(!text.isEmpty(), "printing or pdftotext gave no text");
        QCOMPARE(text.count(QStringLiteral("Marine Radio WorkbenchHV2300")), 4);
        for (const char* expected :
             {"##### Usable CH Group Setup #####", "Received Geographic:", "Select Call:",
              "##### Programable USA Channel #####", "##### Memory ID #####",
              "##### Programable EXP Channel #####", "Station Name", "CALLING", "B2X"}) {
            QVERIFY2(text.contains(QString::fromLatin1(expected)), expected);
        }
        // 76 of the 80 individual entries and 30 of the 32 group entries are empty.
        QCOMPARE(
            text.count(QRegularExpression(QStringLiteral("(?m)^\\s*\\d+\\s+-{12}\\s+-{9}\\s*$"))),
            106);

        const QStringList pages =
            PrintedText(QStringLiteral("all.pdf"), {}).split(QChar('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 4);  // pdftotext ends every page with a form feed
        QCOMPARE(PrintedText(QStringLiteral("some.pdf"), {}, 2, 3)
                     .split(QChar('\f'), Qt::SkipEmptyParts),
                 pages.mid(1, 2));

        // Word boxes in points: the USA table's CH Name lies 108 mm right of CH, the EXP
        // table's RX(MHz) 54 mm right of its CH.
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
        const double exp = xOf(QStringLiteral("EXP01"));
        QVERIFY(std::fabs(xOf(QStringLiteral("156.0350")) - exp - 54 * ptPerMm) < 1.0);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
