// The link procedures of the clone protocol: port handling, connection (wake-up, baud switch,
// synchronisation), status check, block read and write, and abort. Plain synchronous code
// over the serial port, clock and prompt interfaces: every wait polls the port and lets the
// user interface run (Clock::PumpEvents) on each poll, so a Cancel button stays live.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/outcome.h"
#include "link/serial_port.h"

namespace mrw {

/// Outcome of every receive procedure.
enum class WaitResult : int {
    Done = 0,        ///< the expected data arrived
    Cancelled = 1,   ///< CancelFlag was found set
    TimedOut = 3,    ///< the time limit passed (or the line failed)
    ErrorReply = 8,  ///< the text received so far equals "ERROR"
    BadReply = -1,   ///< something else arrived where a fixed reply was expected
};

/// Sends of one framed request before the link gives up.
inline constexpr int kRetryCount = 3;
/// Pause before every send.
inline constexpr int kSendPauseMs = 10;
/// Cost of one progress note in debug mode.
inline constexpr int kNotePauseMs = 500;
/// Pause between the baud switch and the synchronisation.
inline constexpr int kBaudSwitchPauseMs = 1000;
/// Time limit for a reply word or a reply line.
inline constexpr double kReplySeconds = 10.0;
/// Time limit for a single byte (wake-up echo, CR and LF of an acknowledgement).
inline constexpr double kByteSeconds = 1.0;

inline constexpr const char* kSettings19200 = "19200,N,8,1";
inline constexpr const char* kSettings57600 = "57600,N,8,1";

/// Failure number written to the error log when a port cannot be opened.
inline constexpr int kPortFailureNumber = 1001;

/// The link state of one transfer dialog and its procedures. ErrorFlag and CancelFlag live in
/// `config.state`; the debug and 19200-baud switches are read from there too.
class Link {
public:
    /// `caption` titles every message box; `onNote` shows a progress note (debug mode only).
    Link(Config& config, SerialPort& port, std::string caption,
         std::function<void(const std::string&)> onNote = {});

    // ---- Port handling --------------------------------------------------------------------
    /// Closes the port if open and opens it at 19200 baud. Logs "frmRadio.PortInit" on failure.
    bool PortInit();
    /// As PortInit at the working rate (57600, or 19200 with the 19200-baud switch).
    bool PortInitCP();
    /// Opens the port at the working rate unless it is open. Logs "frmRadio.PortOpen".
    bool PortOpen();
    /// Closes the port if open.
    void PortClose();

    // ---- Link procedures ------------------------------------------------------------------
    /// Wake-up, baud switch and synchronisation. Clears CancelFlag first.
    bool Connect();
    /// Two acknowledged "#CMDSY" exchanges.
    bool SyncCommand();
    /// True when the radio reports ready; "Radio is busy!!" offers Retry and Cancel.
    bool StatusCheck();
    /// Reads `count` bytes at `address` into buffer positions address..address+count-1.
    /// Nothing is sent when CancelFlag is already set. ErrorFlag mirrors the outcome: it is
    /// clear afterwards only when the block was done.
    Outcome ReadBlock(std::span<uint8_t> buffer, int address, int count);
    /// Sends memory-image bytes address..address+count-1; as ReadBlock otherwise.
    Outcome WriteBlock(int address, int count);
    /// Number of framed requests sent so far: tells whether a failed or cancelled block
    /// reached the radio at all.
    int FramesSent() const { return framesSent_; }
    /// Sends the abort byte, waits for its acknowledgement and sets CancelFlag.
    void AbortRead();

    // ---- Receive procedures ---------------------------------------------------------------
    /// Collects at least `count` characters.
    WaitResult WaitChars(std::string& text, int count, double seconds);
    /// Collects characters up to CR (not stored), then drops everything up to LF.
    WaitResult WaitLine(std::string& text, double seconds);
    /// Collects characters up to CR; the very next byte must be LF.
    WaitResult WaitLineStrict(std::string& text, double seconds);
    /// Waits until the last byte received equals `value`.
    WaitResult WaitByte(uint8_t value, double seconds);
    /// Waits for "#CMDOK" CR LF.
    WaitResult WaitAck();

    // ---- Send procedures ------------------------------------------------------------------
    /// Drops pending input, then sends one byte.
    void SendByte(uint8_t value);
    /// Sends a plain command (text, CR LF).
    void SendCommand(const std::string& text);
    /// Sends the baud-switch command; nothing unless the text is exactly 8 characters long.
    void SendBaudCommand(const std::string& text);
    /// Sends a framed request; pending input is kept.
    void SendFrame(const std::string& word, const std::vector<std::string>& fields);

    /// Shows a progress note in debug mode (500 ms each); does nothing otherwise.
    void ShowNote(const std::string& text);
    /// An error box titled with the dialog caption.
    void ErrorBox(const std::string& text);
    /// The dialog caption used as message box title.
    const std::string& Caption() const { return caption_; }
    /// True after a send failed or while the port is closed: waits then end at once.
    bool LineFailed() const;

private:
    bool OpenAt(const char* settings, const char* procedure, bool note);
    void Send(const std::vector<uint8_t>& bytes);
    /// One framed request with its acknowledgement and the retry rules. `beforeAttempt` runs
    /// before every send.
    /// Receives the six-character word of a reply: a cancelled or timed-out wait shows its
    /// box; another word than `expected` is answered with `mismatchCommand`. True when the
    /// expected word arrived.
    bool ReceiveReplyWord(const char* expected, const char* mismatchCommand, std::string& word);
    /// Steps after an acknowledged read request: the "#QKPDT" reply into the buffer.
    bool ReceiveData(std::span<uint8_t> buffer, int address, int count);
    /// The outcome of a block transaction; sets ErrorFlag unless it was done.
    Outcome BlockEnd(bool done);
    bool SendAcknowledged(const std::string& word, const std::vector<std::string>& fields,
                          const std::function<void()>& beforeAttempt);
    /// Common poll loop: `onChar` takes each received character and may finish the wait by
    /// setting `result`; `complete` runs after the cancel and time tests.
    template <typename OnChar, typename Complete>
    WaitResult Poll(double seconds, OnChar onChar, Complete complete);

    Config& config_;
    SerialPort& port_;
    std::string caption_;
    std::function<void(const std::string&)> onNote_;
    bool sendFailed_ = false;
    int framesSent_ = 0;
};

}  // namespace mrw
