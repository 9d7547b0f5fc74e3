// The report window driven like a user.
#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include "test_files.h"

#include "core/config.h"
#include "report/report.h"
#include "report/report_fixture.h"
#include "ui/report_window.h"

using namespace mrw;

using mrw::testing::ReadFile;

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
        for (const char* name : {"mnuFileSave", "mnuFileExit"}) {
            QVERIFY2(Action(&w, name) != nullptr, name);
        }
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("cmdOK")) != nullptr);
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
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
