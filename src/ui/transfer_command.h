// The main window's side of the transfer dialog: which serial port it talks through, what
// happens before it opens and how the window follows it after it closed.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/serial_port.h"
#include "link/transfer_map.h"

namespace mrw {

class MainWindow;
class TransferDialog;

/// Makes the serial port for one transfer dialog from the current choice (PortDevice given
/// on the command line, else PortNumber from the Options menu). Null when no port can be
/// made; the dialog then runs on a port that never opens, so the link reports the failure.
using PortFactory = std::function<std::unique_ptr<SerialPort>(const AppState& state)>;

/// Called with every transfer dialog right after it was made, before it is shown.
using TransferDialogHook = std::function<void(TransferDialog& dialog)>;

/// Opens the transfer dialog in `mode` modally over `parent` and returns once it closed.
/// TransferDone tells whether the operation completed; the result is what the dialog's runs
/// sent to the radio (image ranges, acknowledged or not).
std::vector<transfermap::AddressRange> RunTransferDialog(Config& config, const PortFactory& ports,
                                                         int mode, QWidget* parent,
                                                         const TransferDialogHook& onOpen = {});

/// The main window's follow-up of a read dialog: when TransferDone is set, selects "General"
/// and rebuilds the views; then the state a read leaves (AdoptReadConfiguration) and the
/// caption.
void FinishReadDialog(Config& config);

/// The whole transfer command of the main window in `mode` (the pending edit is committed
/// already): before a read, unsaved changes are offered for saving; TransferDone (and for a
/// read RegionChangeAccepted) cleared; the dialog; then after a read FinishReadDialog, after
/// a program nothing, after a clear that completed or reached the radio in part the cleared
/// parts of the data model emptied as one undoable step (AdoptClearedData), the current panel
/// shown again and DataChanged set.
void TransferDialogCommand(MainWindow& window, Config& config, const PortFactory& ports, int mode,
                           const TransferDialogHook& onOpen = {});

/// Makes the window's Transfer menu, toolbar and clear buttons open the transfer dialog on
/// ports made by `ports`. `onOpen` (optional) sees every dialog before it is shown.
void InstallTransferDialog(MainWindow& window, Config& config, PortFactory ports,
                           TransferDialogHook onOpen = {});

/// What a setup panel's clear button learns from its dialog.
struct ClearOutcome {
    bool done = false;      ///< The clear completed (TransferDone).
    std::string countText;  ///< Mode 2: image byte 645, mode 10: byte 651, as decimal text.
};

/// A setup panel's clear button (modes 2 to 10): commits the pending edit, opens the
/// transfer dialog through the window and reports the outcome. On a completed user MMSI or
/// ATIS clear the panel empties the field's last accepted text and shows `countText` in its
/// count box.
ClearOutcome ClearCommand(MainWindow& window, Config& config, int mode);

}  // namespace mrw
