#include "ui/transfer_dialog.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <algorithm>

#include "platform/qt_prompt.h"
#include "ui/about_box.h"

namespace mrw {

namespace {

// Control layout in pixels (the dialog has a fixed size).
constexpr int kMargin = 16;
constexpr int kInnerWidth = kTransferDialogWidth - 2 * kMargin;
constexpr int kMessageTop = 12;
constexpr int kMessageHeight = 120;
constexpr int kMonitorTop = 138;
constexpr int kMonitorHeight = 20;
constexpr int kProgressTop = 166;
constexpr int kProgressHeight = 22;
constexpr int kButtonTop = 236;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 28;
constexpr int kButtonGap = 16;

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
    message_->setGeometry(kMargin, kMessageTop, kInnerWidth, kMessageHeight);

    monitor_ = new QLabel(this);
    monitor_->setObjectName("lblmon");
    monitor_->setGeometry(kMargin, kMonitorTop, kInnerWidth, kMonitorHeight);
    monitor_->setVisible(config_.state.DebugSwitch);

    progressPanel_ = new QFrame(this);
    progressPanel_->setObjectName("pictProgress");
    progressPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    progressPanel_->setGeometry(kMargin, kProgressTop, kInnerWidth, kProgressHeight);

    // The bar is as wide as the panel; moving it right uncovers the done part from the left.
    progressBar_ = new QLabel(progressPanel_);
    progressBar_->setObjectName("lblPercent");
    progressBar_->setAutoFillBackground(true);
    progressBar_->setBackgroundRole(QPalette::Highlight);
    PlaceProgressBar();

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
}

// ---- Buttons and closing ----------------------------------------------------------------------

void TransferDialog::OkClicked() {
    if (running_ || config_.state.Loading) {
        return;
    }
    port_->NewRun();
    if (transfer_.RunOk()) {
        accept();
        return;
    }
    // The link gives up silently when the port does not open at all; say so.
    if (port_->firstFailed) {
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
    }
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
}

void TransferDialog::PlaceProgressBar() {
    const QRect area = progressPanel_->contentsRect();
    const int width = area.width();
    progressBar_->setGeometry(area.left() + width * progress_ / 100 - width, area.top(), width,
                              area.height());
    progressPanel_->setAccessibleName(QString::number(progress_) + "%");
}

void TransferDialog::ShowNote(const std::string& text) {
    monitor_->setText(QString::fromStdString(text));
}

void TransferDialog::SetRunning(bool running) {
    running_ = running;
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
