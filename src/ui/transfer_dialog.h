// The transfer dialog frmRadio: connection instructions, progress bar, debug note line and the
// OK, Cancel and Help buttons around one Transfer. It is modal over the main window; while an
// operation runs the link pumps window events on every poll, so the dialog repaints, the
// progress moves and Cancel stays live.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/serial_port.h"
#include "link/transfer.h"

class QFrame;
class QLabel;
class QPushButton;

namespace mrw {

/// Size of the transfer dialog in pixels.
inline constexpr int kTransferDialogWidth = 465;
inline constexpr int kTransferDialogHeight = 290;

/// First line of the box shown when the port does not open at the start of a run (the
/// platform's reason follows on the next line).
inline constexpr const char* kPortOpenFailed = "The serial port cannot be opened.";

/// The transfer dialog of `mode`, talking through `port`.
/// Idle: OK, Cancel and Help enabled, Cancel closes. Running: OK and Help disabled, Cancel
/// sets CancelFlag, closing is refused. The dialog accepts (closes) when an operation finishes
/// with ErrorFlag clear and stays open for another OK otherwise. A port that cannot be opened
/// at the start of a run is reported in a box instead of leaving OK without an answer.
class TransferDialog : public QDialog, public TransferUi {
    Q_OBJECT
public:
    TransferDialog(Config& config, SerialPort& port, int mode, QWidget* parent = nullptr);
    ~TransferDialog() override;

    /// The operation object behind the buttons.
    Transfer& transfer() { return transfer_; }
    /// The progress position last set (0..100).
    int Progress() const { return progress_; }
    /// True while an operation runs.
    bool Running() const { return running_; }
    /// The status line under the bar ("Connecting…", "Reading the radio…", "Complete." ...).
    QString StatusText() const;
    /// Says on the status line what the running operation does now (a stage of programming);
    /// the bar's next moves keep the text. Nothing after Cancel was pressed.
    void ShowStatus(const QString& text);

    // ---- TransferUi ----------------------------------------------------------------------
    void SetProgress(int percent) override;
    void ShowNote(const std::string& text) override;
    void SetRunning(bool running) override;
    void IdentityCleared(int mode) override;
    void Finished(Outcome outcome) override;

    /// The image ranges every run of this dialog sent to the radio, in order.
    const std::vector<transfermap::AddressRange>& SentToRadio() const { return sentToRadio_; }

    /// Called with the mode when a user MMSI (2) or ATIS (10) clear completed.
    void SetIdentityClearedHandler(std::function<void(int)> handler) {
        identityCleared_ = std::move(handler);
    }

protected:
    void closeEvent(QCloseEvent* event) override;

public slots:
    /// Escape and the window's own cancel: refused while an operation runs.
    void reject() override;

private:
    void BuildControls();
    void OkClicked();
    void CancelClicked();
    void HelpClicked();
    void PlaceProgressBar();

    class WatchedPort;

    Config& config_;
    /// The port as the transfer sees it: the caller's port, watched for a failed opening.
    std::unique_ptr<WatchedPort> port_;
    Transfer transfer_;
    QLabel* message_ = nullptr;
    QLabel* monitor_ = nullptr;
    QFrame* progressPanel_ = nullptr;
    QLabel* progressBar_ = nullptr;
    QLabel* percentText_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* help_ = nullptr;
    std::function<void(int)> identityCleared_;
    std::vector<transfermap::AddressRange> sentToRadio_;
    /// True while message boxes are owned by this dialog (given back on destruction).
    bool ownsPrompt_ = false;
    int progress_ = 0;
    bool running_ = false;
    /// This run has moved the bar: its work (not the connection) is under way.
    bool working_ = false;
    /// Cancel was pressed during this run.
    bool cancelPressed_ = false;
};

}  // namespace mrw
