#include "ui/transfer_dialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

#include "platform/qt_prompt.h"
#include "ui/about_box.h"

namespace mrw {

namespace {

// Control layout in pixels (the dialog has a fixed size).
constexpr int kMargin = 16;
constexpr int kInnerWidth = kTransferDialogWidth - 2 * kMargin;
constexpr int kMessageTop = 12;
constexpr int kMessageMaxHeight = 150;
constexpr int kGap = 10;
constexpr int kProgressHeight = 22;
constexpr int kButtonTop = 236;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 16;

// The status line under the bar.
constexpr const char* kConnecting = "Connecting\u2026";
constexpr const char* kCancelled = "Cancelled.";
constexpr const char* kComplete = "Complete.";
constexpr const char* kStopped = "Stopped. Check the cable and the radio, then press OK again.";
constexpr const char* kPortStopped =
    "Stopped. The serial port cannot be opened: choose the radio's port under Options > "
    "SerialPort, then press OK again.";

// What the work of a mode is called while its blocks move.
const char* WorkStatus(int mode) {
    if (mode == kModeRead) {
        return "Reading the radio\u2026";
    }
    if (mode == kModeProgram) {
        return "Writing\u2026";
    }
    return "Clearing\u2026";
}

// The percentage written across the bar: in the bar's text colour over the done part and in
// the window's text colour over the rest, so that it reads well on both.
class PercentText : public QLabel {
public:
    using QLabel::QLabel;
    void SetDoneWidth(int width) {
        doneWidth_ = width;
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        const int split = area.left() + doneWidth_;
        painter.setPen(palette().color(QPalette::HighlightedText));
        painter.setClipRect(QRect(area.left(), area.top(), doneWidth_, area.height()));
        painter.drawText(area, Qt::AlignCenter, text());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setClipRect(QRect(split, area.top(), area.right() + 1 - split, area.height()));
        painter.drawText(area, Qt::AlignCenter, text());
    }

private:
    int doneWidth_ = 0;
};

}  // namespace

/// Passes everything to the real port and remembers whether the first opening of a run
/// failed, and why.
class TransferDialog::WatchedPort : public SerialPort {
public:
    explicit WatchedPort(SerialPort& port) : port_(port) {}

    /// Starts watching a new run.
    void NewRun() {
        opens = 0;
        firstFailed = false;
        firstError.clear();
    }

    bool Open(const std::string& settings, std::string& error) override {
        const bool ok = port_.Open(settings, error);
        if (opens++ == 0 && !ok) {
            firstFailed = true;
            firstError = error;
        }
        return ok;
    }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    bool Send(const std::vector<uint8_t>& bytes) override { return port_.Send(bytes); }
    int Waiting() override { return port_.Waiting(); }
    int ReadByte() override { return port_.ReadByte(); }
    void DiscardInput() override { port_.DiscardInput(); }

    int opens = 0;
    bool firstFailed = false;
    std::string firstError;

private:
    SerialPort& port_;
};

TransferDialog::TransferDialog(Config& config, SerialPort& port, int mode, QWidget* parent)
    : QDialog(parent),
      config_(config),
      port_(std::make_unique<WatchedPort>(port)),
      transfer_(config, *port_, *this, mode) {
    setObjectName("frmRadio");
    setWindowTitle(QString::fromStdString(transfer_.Caption()));
    setModal(true);
    setFixedSize(kTransferDialogWidth, kTransferDialogHeight);
    // A fixed-size window: a title and a close button, nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    BuildControls();

    // The boxes of a running transfer belong to this dialog, so they stay above it.
    if (auto* prompt = dynamic_cast<QtPrompt*>(config_.services.prompt)) {
        prompt->SetParent(this);
        ownsPrompt_ = true;
    }
    transfer_.Load();
}

TransferDialog::~TransferDialog() {
    if (ownsPrompt_) {
        if (auto* prompt = dynamic_cast<QtPrompt*>(config_.services.prompt)) {
            prompt->SetParent(parentWidget());
        }
    }
}

void TransferDialog::BuildControls() {
    message_ =
        new QLabel(QString::fromStdString(TransferInstructions()).replace("\r\n", "\n"), this);
    message_->setObjectName("lblmess");
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // As tall as its lines, so that the bar follows the instructions closely.
    const int messageHeight = std::min(message_->sizeHint().height(), kMessageMaxHeight);
    message_->setGeometry(kMargin, kMessageTop, kInnerWidth, messageHeight);

    const int progressTop = kMessageTop + messageHeight + kGap;
    progressPanel_ = new QFrame(this);
    progressPanel_->setObjectName("pictProgress");
    progressPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progressPanel_->setGeometry(kMargin, progressTop, kInnerWidth, kProgressHeight);

    // The bar is as wide as the panel; moving it right uncovers the done part from the left.
    progressBar_ = new QLabel(progressPanel_);
    progressBar_->setObjectName("lblPercent");
    progressBar_->setAutoFillBackground(true);
    progressBar_->setBackgroundRole(QPalette::Highlight);
    auto* percentText = new PercentText(progressPanel_);
    percentText->setObjectName("lblPercentText");
    percentText->setGeometry(progressPanel_->contentsRect());
    percentText->setAttribute(Qt::WA_TransparentForMouseEvents);
    percentText_ = percentText;
    PlaceProgressBar();

    // Under the bar one line says what is happening: the debug notes in debug mode, a plain
    // status otherwise.
    const int lineTop = progressTop + kProgressHeight + kGap / 2;
    const int lineHeight = fontMetrics().height() + 4;
    status_ = new QLabel(this);
    status_->setObjectName("lblStatus");
    // Up to the buttons: a clear that stopped partway says on a second line what it left.
    status_->setGeometry(kMargin, lineTop, kInnerWidth,
                         std::max(lineHeight, kButtonTop - kGap - lineTop));
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->setWordWrap(true);
    status_->setVisible(!config_.state.DebugSwitch);
    monitor_ = new QLabel(this);
    monitor_->setObjectName("lblmon");
    monitor_->setGeometry(kMargin, lineTop, kInnerWidth, lineHeight);
    monitor_->setVisible(config_.state.DebugSwitch);

    const int buttonsLeft = (kTransferDialogWidth - 3 * kButtonWidth - 2 * kButtonGap) / 2;
    auto addButton = [&](const char* name, const char* caption, int index) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        button->setGeometry(buttonsLeft + index * (kButtonWidth + kButtonGap), kButtonTop,
                            kButtonWidth, kButtonHeight);
        return button;
    };
    ok_ = addButton("cmdOK", "OK", 0);
    cancel_ = addButton("cmdCancel", "Cancel", 1);
    help_ = addButton("cmdHelp", "Help", 2);
    ok_->setDefault(true);
    // The pointer over Cancel stays an arrow while the rest of the dialog shows the hourglass.
    cancel_->setCursor(Qt::ArrowCursor);

    connect(ok_, &QPushButton::clicked, this, &TransferDialog::OkClicked);
    connect(cancel_, &QPushButton::clicked, this, &TransferDialog::CancelClicked);
    connect(help_, &QPushButton::clicked, this, &TransferDialog::HelpClicked);
    // F1 is the Help button while that may be pressed.
    auto* helpKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    helpKey->setObjectName("scHelp");
    connect(helpKey, &QShortcut::activated, this, [this] {
        if (help_->isEnabled()) {
            HelpClicked();
        }
    });
}

// ---- Buttons and closing ----------------------------------------------------------------------

void TransferDialog::OkClicked() {
    if (running_ || config_.state.Loading) {
        return;
    }
    port_->NewRun();
    const bool close = transfer_.RunOk();
    // A run that stopped may have reached the radio: the window takes what it sent into account.
    sentToRadio_.insert(sentToRadio_.end(), transfer_.SentRanges().begin(),
                        transfer_.SentRanges().end());
    if (close) {
        accept();
        return;
    }
    // The link gives up silently when the port does not open at all; say so.
    if (port_->firstFailed) {
        status_->setText(kPortStopped);
        std::string text = kPortOpenFailed;
        if (!port_->firstError.empty()) {
            text += "\r\n" + port_->firstError;
        }
        config_.prompt().Message(
            {text, transfer_.Caption(), Icon::Critical, Buttons::Ok, Answer::Ok});
    }
}

void TransferDialog::CancelClicked() {
    if (transfer_.Cancel()) {
        QDialog::reject();
        return;
    }
    // The run ends at its next step.
    cancelPressed_ = true;
    status_->setText(kCancelled);
}

void TransferDialog::HelpClicked() {
    ShowHelp(config_.prompt(), transfer_.Caption(), kHelpTopicTransfer);
}

void TransferDialog::reject() {
    if (!transfer_.CanClose()) {
        return;
    }
    QDialog::reject();
}

void TransferDialog::closeEvent(QCloseEvent* event) {
    if (!transfer_.CanClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// ---- What the transfer shows ------------------------------------------------------------------

void TransferDialog::SetProgress(int percent) {
    progress_ = std::clamp(percent, 0, 100);
    PlaceProgressBar();
    // The checks move no bar: the first move of a run is the mode's own work.
    if (running_ && !working_ && !cancelPressed_) {
        working_ = true;
        status_->setText(QString::fromUtf8(WorkStatus(transfer_.Mode())));
    }
}

void TransferDialog::PlaceProgressBar() {
    const QRect area = progressPanel_->contentsRect();
    const int width = area.width();
    const int done = width * progress_ / 100;
    progressBar_->setGeometry(area.left() + done - width, area.top(), width, area.height());
    const QString text = QString::number(progress_) + "%";
    percentText_->setText(text);
    static_cast<PercentText*>(percentText_)->SetDoneWidth(done);
    progressPanel_->setAccessibleName(text);
}

void TransferDialog::Finished(Outcome outcome) {
    // Before the "Complete!!" box, so that the status line already says so beside it.
    if (outcome == Outcome::Done) {
        status_->setText(kComplete);
    }
}

QString TransferDialog::StatusText() const {
    return status_->text();
}

void TransferDialog::ShowStatus(const QString& text) {
    if (!running_ || cancelPressed_) {
        return;
    }
    working_ = true;
    status_->setText(text);
}

void TransferDialog::ShowNote(const std::string& text) {
    monitor_->setText(QString::fromStdString(text));
}

void TransferDialog::SetRunning(bool running) {
    const bool starting = running && !running_;
    running_ = running;
    if (starting) {
        working_ = false;
        cancelPressed_ = false;
        status_->setText(QString::fromUtf8(kConnecting));
    } else if (!running) {
        const AppState& state = config_.state;
        // A check that stopped the run says what it found; a failure on the line leaves the
        // cable and the radio to be checked.
        const std::string& reason = transfer_.StopReason();
        QString text = state.TransferDone                   ? kComplete
                       : state.CancelFlag || cancelPressed_ ? kCancelled
                       : reason.empty()                     ? kStopped
                                        : "Stopped. " + QString::fromStdString(reason);
        if (!transfer_.PartialClear().empty()) {
            text += "\n" + QString::fromStdString(transfer_.PartialClear());
        }
        status_->setText(text);
    }
    ok_->setEnabled(!running);
    help_->setEnabled(!running);
    if (running) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void TransferDialog::IdentityCleared(int mode) {
    if (identityCleared_) {
        identityCleared_(mode);
    }
}

}  // namespace mrw
