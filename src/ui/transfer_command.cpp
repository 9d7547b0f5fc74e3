#include "ui/transfer_command.h"

#include "edit/cleared_data.h"
#include "link/ports.h"
#include "link/transfer.h"
#include "link/transfer_map.h"
#include "ui/main_window.h"
#include "ui/safe_program_command.h"
#include "ui/transfer_dialog.h"

namespace mrw {

namespace {

/// Stands in for a port that could not be made: it never opens, so the link's PortInit logs
/// the failure and the dialog stays open for another try.
class MissingPort : public SerialPort {
public:
    explicit MissingPort(int number) : number_(number) {}
    bool Open(const std::string& /*settings*/, std::string& error) override {
        error = PortCaption(number_) + " is not present.";
        return false;
    }
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool Send(const std::vector<uint8_t>& /*bytes*/) override { return false; }
    int Waiting() override { return 0; }
    int ReadByte() override { return -1; }
    void DiscardInput() override {}

private:
    int number_;
};

}  // namespace

std::vector<transfermap::AddressRange> RunTransferDialog(Config& config, const PortFactory& ports,
                                                         int mode, QWidget* parent,
                                                         const TransferDialogHook& onOpen) {
    std::unique_ptr<SerialPort> port = ports ? ports(config.state) : nullptr;
    if (!port) {
        port = std::make_unique<MissingPort>(config.state.PortNumber);
    }
    TransferDialog dialog(config, *port, mode, parent);
    if (onOpen) {
        onOpen(dialog);
    }
    dialog.exec();
    // Whatever ended the dialog, the line is not left open behind it.
    port->Close();
    return dialog.SentToRadio();
}

void TransferDialogCommand(MainWindow& window, Config& config, const PortFactory& ports, int mode,
                           const TransferDialogHook& onOpen) {
    AppState& state = config.state;
    if (mode == kModeRead && !window.OfferToSaveChanges()) {
        return;
    }
    BeginTransfer(state, mode);
    SafeProgramming* safe = mode == kModeProgram ? SafeProgrammingOf(window) : nullptr;
    const std::vector<transfermap::AddressRange> sent =
        RunTransferDialog(config, ports, mode, &window, [safe, &onOpen](TransferDialog& dialog) {
            if (safe != nullptr) {
                safe->GuardProgramDialog(dialog);
            }
            if (onOpen) {
                onOpen(dialog);
            }
        });

    if (mode == kModeRead) {
        FinishReadDialog(config);
    } else if (mode >= kModeClearMmsi && mode <= kModeClearAtis &&
               (state.TransferDone || !sent.empty())) {
        // What the clear erased in the radio, completely or in part, is gone from the data
        // model too: the next Program does not write it back.
        std::vector<ClearedSpan> cleared;
        for (const transfermap::AddressRange& range : sent) {
            cleared.push_back({range.first, range.last});
        }
        const std::string where = config.shell().CurrentCategory();
        if (AdoptClearedData(config, TransferCaption(mode), cleared)) {
            config.shell().RebuildViews();
            config.shell().ShowCategory(where);
        } else {
            window.ShowCurrentNode();
        }
        // The clear changed the image, which no saved file holds now.
        state.DataChanged = true;
        config.history.ForgetClean();
    }
}

void FinishReadDialog(Config& config) {
    if (config.state.TransferDone) {
        config.shell().ShowCategory("General");
        config.shell().RebuildViews();
    }
    if (AdoptReadConfiguration(config)) {
        config.shell().UpdateWindowCaption();
    }
}

void InstallTransferDialog(MainWindow& window, Config& config, PortFactory ports,
                           TransferDialogHook onOpen) {
    InstallSafeProgramming(window, config, DefaultBackupFolder());
    window.SetTransferDialog(
        [&window, &config, ports = std::move(ports), onOpen = std::move(onOpen)](int mode) {
            TransferDialogCommand(window, config, ports, mode, onOpen);
        });
}

ClearOutcome ClearCommand(MainWindow& window, Config& config, int mode) {
    ClearOutcome outcome;
    if (mode < kModeClearMmsi || mode > kModeClearAtis) {
        return outcome;
    }
    // A refused pending edit opens no dialog; a completion of an earlier clear must not count.
    config.state.TransferDone = false;
    window.TransferCommand(mode);
    outcome.done = config.state.TransferDone;
    if (outcome.done && mode == kModeClearMmsi) {
        outcome.countText = std::to_string(config.image.Get(transfermap::kUserMmsiCount));
    } else if (outcome.done && mode == kModeClearAtis) {
        outcome.countText = std::to_string(config.image.Get(transfermap::kAtisCodeCount));
    }
    return outcome;
}

}  // namespace mrw
