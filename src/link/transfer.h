// The transfer operations of the transfer dialog, without the dialog: read the radio into the
// memory image (mode 0), program it (mode 1), or clear stored data in it (modes 2 to 10). The
// dialog and the command line drive the same Transfer object and show what it reports through
// TransferUi.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/link.h"
#include "link/serial_port.h"
#include "link/transfer_map.h"

namespace mrw {

/// Transfer modes.
inline constexpr int kModeRead = 0;
inline constexpr int kModeProgram = 1;
inline constexpr int kModeClearMmsi = 2;
inline constexpr int kModeClearDscLog = 3;
inline constexpr int kModeClearDistressLog = 4;
inline constexpr int kModeClearIndividual = 5;
inline constexpr int kModeClearGroup = 6;
inline constexpr int kModeClearWaypoint = 7;
inline constexpr int kModeClearDscTxLog = 8;
inline constexpr int kModeClearAll = 9;
inline constexpr int kModeClearAtis = 10;

/// The dialog caption of a transfer mode ("Read from Radio", ... "Clear ATIS Data"); empty
/// for a mode outside 0..10.
std::string TransferCaption(int mode);

/// The connection instructions the dialog shows (five lines joined by CR LF).
std::string TransferInstructions();

/// Failure number written to the error log and shown for an unexpected failure.
int FailureNumber(const std::exception& failure);

/// What the radio holds after a clear in `mode` stopped when it had sent `sent` of its `total`
/// writes, `confirmed` of them acknowledged: "The radio was partly cleared: 116 of 233 blocks
/// written. Run the clear again." The user MMSI and ATIS clears write bytes;
/// `identityIncomplete` says that their code is now half erased in the radio.
std::string PartialClearText(int mode, int sent, int confirmed, int total, bool identityIncomplete);

/// What a transfer shows while it runs. Every method does nothing by default.
class TransferUi {
public:
    virtual ~TransferUi() = default;
    /// Moves the progress bar (0..100).
    virtual void SetProgress(int /*percent*/) {}
    /// Shows a progress note (debug mode only; the empty text clears it).
    virtual void ShowNote(const std::string& /*text*/) {}
    /// True while an operation runs: OK and Help disabled, hourglass pointer, Cancel only
    /// sets CancelFlag. False: idle again.
    virtual void SetRunning(bool /*running*/) {}
    /// A user MMSI clear (mode 2) or ATIS clear (mode 10) completed: the panel's last
    /// accepted text of that field is to be emptied.
    virtual void IdentityCleared(int /*mode*/) {}
    /// The operation's work ended with this outcome; on success this comes before the
    /// "Complete!!" box.
    virtual void Finished(Outcome /*outcome*/) {}
};

/// What the window and the command line do before a transfer dialog opens in `mode`: the
/// mode recorded, TransferDone cleared, and before a read RegionChangeAccepted cleared.
void BeginTransfer(AppState& state, int mode);

/// The state a completed read leaves: no current file name, the radio's region shown in the
/// region menu when it was taken over, nothing changed. TransferDone is cleared either way.
/// True when a read had completed.
bool AdoptReadConfiguration(Config& config);

/// Whether the program step at the 64-byte start `start` sends a byte that the radio does not
/// hold already, `radio` being its memory read in the same session (addresses 0 to its
/// ImageLastAddress) and `image` what programming sends; `newMmsi` and `newAtis` as the write
/// pass finds them. A Skip step sends nothing; an address beyond the read counts as changed.
bool ProgramStepChanges(const Image& radio, const Image& image, int start, bool newMmsi,
                        bool newAtis);

class Transfer;

/// What programming does around its write pass: a backup read and a preview before it, a
/// verify read after it, and the word on what a stopped program leaves (link/safe_program.h).
class ProgramGuard {
public:
    virtual ~ProgramGuard() = default;
    /// After the checks, before anything is written: Done lets the writes begin.
    virtual Outcome BeforeWrite(Transfer& transfer) = 0;
    /// After the write pass ended with `outcome`: the outcome of the program.
    virtual Outcome AfterWrite(Transfer& transfer, Outcome outcome) = 0;
    /// The program frame ended with `outcome`, its own boxes shown.
    virtual void Ended(Transfer& transfer, Outcome outcome) = 0;
    /// A line the "Complete!!" box of a completed program adds; empty for none.
    virtual std::string CompletionNote() const { return {}; }
    /// Asked as the write pass begins: the radio's memory read in this session before the
    /// writes, when the pass is to write only the program steps whose bytes differ from it
    /// (ProgramStepChanges); null for a pass that writes every step.
    virtual const Image* RadioBeforeWrite() const { return nullptr; }
};

/// One transfer dialog's operations in `mode` (0 read, 1 program, 2..10 clear). Message boxes
/// go through config's prompt, titled with Caption().
class Transfer {
public:
    Transfer(Config& config, SerialPort& port, TransferUi& ui, int mode);

    int Mode() const { return mode_; }
    /// The dialog caption of the mode.
    const std::string& Caption() const { return caption_; }
    /// The link procedures of this dialog.
    Link& link() { return link_; }
    /// Programming runs with `guard` (not owned; null: none).
    void SetProgramGuard(ProgramGuard* guard) { guard_ = guard; }
    /// The image ranges this run has sent to the radio, acknowledged or not, in order.
    const std::vector<transfermap::AddressRange>& SentRanges() const { return sent_; }
    /// After a clear that stopped after its first write: what the radio holds now
    /// (PartialClearText), also shown in a box after the failure's own. Empty otherwise.
    const std::string& PartialClear() const { return partialClear_; }
    /// After a run that stopped: what happened, in the user's words ("The radio is not a
    /// HV2300: choose its model type under Edit > Model.", "The radio did not answer. ...").
    /// Empty when the run completed or was cancelled.
    const std::string& StopReason() const { return stopReason_; }

    /// Dialog load: the debug note "starting at debug mode.." and progress 0.
    void Load();
    /// The OK button: connects and runs the mode's operation. True when the dialog is to
    /// close (success, "Radio not ready!!", a handled failure); false when it stays open for
    /// another try (no connection, a failed check or block).
    bool RunOk();
    /// The Cancel button: sets CancelFlag while an operation runs and returns false; returns
    /// true (close the dialog) when idle.
    bool Cancel();
    /// False while an operation runs: the dialog refuses to close.
    bool CanClose() const;

    // ---- Operation procedures (driven by RunOk; public for the command line and tests) ----
    // Each returns its outcome; ErrorFlag and CancelFlag mirror it for the dialog.
    /// Mode 0: the shared frame around the read.
    Outcome ReadRadio();
    /// Mode 1: the shared frame around WriteData (the image must be encoded already).
    Outcome ProgramRadio();
    /// Modes 2 to 10: the shared frame around the clear.
    Outcome ClearRadio();
    /// Model-code check; Failed on a mismatch (after its box).
    Outcome ReadDataChkModel();
    /// Product-code check; Failed on a mismatch (after its box).
    Outcome ReadDataChkProduct();
    /// Region check: whether the user accepted the radio's region, or nothing when the check
    /// failed, was refused or was cancelled.
    std::optional<bool> ReadDataChkRegion();
    /// Reads 0..ImageLastAddress into `scratch` (which must hold that many bytes).
    Outcome ReadData(std::span<uint8_t> scratch);
    /// Programs the memory image by the program map: every step, or with a guard that read the
    /// radio before the writes only the steps whose bytes differ from that read.
    Outcome WriteData();
    /// Writes the 64-byte blocks whose start lies in first..last.
    Outcome ClearDataAny(int first, int last);
    /// Writes 32-byte blocks from `first` up to `last`.
    Outcome ClearDataAny2(int first, int last);
    /// Writes the 64-byte blocks of "Clear All Data".
    Outcome ClearDataAll();
    /// Writes the bytes of the user MMSI clear.
    Outcome ClearDataMMSI();
    /// Writes the bytes of the ATIS clear.
    Outcome ClearDataATIS();
    /// The radio's byte at `address` plus one (255 stays 255); nothing when it was not read.
    std::optional<int> GetIncrimentData(int address);
    /// Whether every one of `count` radio bytes from `first` is 0xFF; nothing when they
    /// could not be read.
    std::optional<bool> GetChkNullData(int first, int count);
    /// Moves the progress bar; values above 100 count as 100.
    void SetProgress(int percent);

private:
    /// Runs `body`; an exception is handled as a run-time failure of `procedure` (false).
    template <typename Body>
    bool Guarded(const char* procedure, Body body);
    /// Runs a pass that returns its outcome; a run-time failure ends it as cancelled. The
    /// flags mirror the outcome.
    template <typename Body>
    Outcome GuardedPass(const char* procedure, Body body);
    void Fail(const char* procedure, const std::exception& failure);
    /// Sets ErrorFlag or CancelFlag as the outcome says.
    Outcome Mirror(Outcome outcome);
    /// True for a block that was done; a failed one reports "Communication Error!!".
    bool Received(Outcome outcome);
    void CommunicationError();
    /// End of a pass: port closed, then the error box or the pause of success.
    Outcome PassEnd(Outcome outcome);
    /// A step with nothing to write: its pause, after which a Cancel ends the pass.
    Outcome SkipStep(int pauseMs);
    /// WriteBlock that remembers which image bytes were sent to the radio.
    Outcome WriteImageBlock(int address, int count);
    /// Puts the kept bytes of `changed` back into the image, except those sent to the radio.
    void RestoreUnsent(const Image& kept, std::span<const transfermap::AddressRange> changed);
    /// The common start of the checks and single-value reads: the port opened, the note
    /// (none when empty) and `count` radio bytes at `address`, indexed from 0. Nothing when
    /// the read failed (after "Communication Error!!") or was cancelled; `outcome` says which.
    std::optional<std::vector<uint8_t>> ReadRadioBytes(const std::string& note, int address,
                                                       int count, Outcome& outcome);
    /// The frame shared by read, program and clear; `work` is the mode whose work runs.
    Outcome RunFrame(bool regionCheck, int work);
    Outcome ReadWork(bool accepted);
    Outcome WriteProgramStep(int start);
    Outcome ClearRangeWork();
    Outcome ClearIdentityWork(bool atis);
    Outcome WriteSingleBytes(std::span<const int> addresses);
    int LastAddress() const;
    /// The number of writes the clear of this mode makes when it completes.
    int ClearWriteCount() const;
    /// A clear ended with `outcome`: when it stopped after its first write, says what the
    /// radio holds.
    void ReportPartialClear(Outcome outcome);

    Config& config_;
    TransferUi& ui_;
    int mode_;
    std::string caption_;
    Link link_;
    bool communicationErrorShown_ = false;
    /// Programming: the radio holds no user MMSI / ATIS code and the image holds one.
    bool newMmsi_ = false;
    bool newAtis_ = false;
    /// Programming: the radio's memory as read before this write pass, when only the steps
    /// that change it are written (ProgramGuard::RadioBeforeWrite); null otherwise.
    const Image* radioBeforeWrite_ = nullptr;
    /// Image ranges a clear or a program has sent to the radio.
    std::vector<transfermap::AddressRange> sent_;
    /// Writes of sent_ that the radio acknowledged.
    int confirmed_ = 0;
    std::string partialClear_;
    std::string stopReason_;
    ProgramGuard* guard_ = nullptr;
};

}  // namespace mrw
