#include "ui/report_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "core/folders.h"
#include "core/log.h"
#include "files/atomic_file.h"
#include "report/report.h"
#include "ui/fixed_font.h"

namespace mrw {

namespace {

constexpr const char* kWaitText = "Now, making text image. Please wait...";
constexpr const char* kTextFilter = "Text files(*.txt)|*.txt|All files(*.*)|*.*";
constexpr int kBuildDelayMs = 50;  // lets the window appear before the report is built
constexpr int kPauseMs = 500;

QString ForDisplay(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

}  // namespace

ReportWindow::ReportWindow(Config& config, QWidget* parent) : QDialog(parent), config_(config) {
    setObjectName(QStringLiteral("frmPrn"));
    setModal(true);
    setWindowTitle(QString::fromStdString(config.state.TitleText));
    resize(820, 600);

    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    save_ = file->addAction(tr("&Save"));
    save_->setObjectName(QStringLiteral("mnuFileSave"));
    save_->setEnabled(false);  // nothing to save until the report is built
    QAction* exit = file->addAction(tr("E&xit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("txtReport"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(FixedPitchFont());
    text_->setPlainText(QString::fromLatin1(kWaitText));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(text_);
    layout->addLayout(buttons);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setInterval(kBuildDelayMs);

    connect(timer_, &QTimer::timeout, this, &ReportWindow::BuildReportText);
    connect(save_, &QAction::triggered, this, &ReportWindow::SaveReport);
    connect(exit, &QAction::triggered, this, &QDialog::accept);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void ReportWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        timer_->start();
    }
}

void ReportWindow::BuildReportText() {
    timer_->stop();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setEnabled(false);
    try {
        report_ = ReportText(config_);
        text_->setPlainText(ForDisplay(report_));
        save_->setEnabled(true);
    } catch (const std::exception& e) {
        WriteErrorLog(config_, "frmPrn.Timer1_Timer", e.what());
        text_->setPlainText(QString());
    }
    config_.clock().Sleep(kPauseMs);
    setEnabled(true);
    QApplication::restoreOverrideCursor();
}

void ReportWindow::SaveReport() {
    if (!save_->isEnabled()) {
        return;
    }
    FileDialogRequest request;
    request.save = true;
    request.filter = kTextFilter;
    request.overwritePrompt = true;
    request.defaultSuffix = "txt";
    std::string path = AskForFile(config_, request);
    if (path.empty()) {
        return;
    }
    config_.state.ErrorFlag = false;
    std::string error;
    if (WriteFileAtomically(path, report_ + "\r\n", &error)) {
        return;
    }
    config_.state.ErrorFlag = true;
    WriteErrorLog(config_, "frmPrn.mnuFileSave_Click", error);
    MessageRequest message;
    message.text = error;
    message.title = config_.state.TitleText + " " + config_.state.ModelName;
    message.icon = Icon::Exclamation;
    config_.prompt().Message(message);
}

void ShowReportWindow(QWidget* parent, Config& config) {
    ReportWindow window(config, parent);
    window.exec();
}

}  // namespace mrw
