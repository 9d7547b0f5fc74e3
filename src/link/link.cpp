#include "link/link.h"

#include <utility>

#include "core/log.h"
#include "core/text.h"
#include "link/frame.h"

namespace mrw {

namespace {

constexpr const char* kWordAck = "#CMDOK";
constexpr const char* kWordSync = "#CMDSY";
constexpr const char* kWordChecksumWrong = "#CMDSM";
constexpr const char* kWordUnexpectedStatus = "#CMDUN";
constexpr const char* kWordUnexpectedData = "#CMDER";
constexpr const char* kWordStatusRequest = "#QKPSR";
constexpr const char* kWordStatusReply = "#QKPSD";
constexpr const char* kWordReadRequest = "#QKPRD";
constexpr const char* kWordReadReply = "#QKPDT";
constexpr const char* kWordWriteRequest = "#QKPWR";
constexpr const char* kBaudCommand = "ACMD:002";
constexpr const char* kStatusField = "00";
constexpr const char* kStatusReady = "00";
constexpr const char* kStatusBusy = "01";
constexpr const char* kErrorText = "ERROR";

constexpr int kSyncPasses = 2;

}  // namespace

Link::Link(Config& config, SerialPort& port, std::string caption,
           std::function<void(const std::string&)> onNote)
    : config_(config), port_(port), caption_(std::move(caption)), onNote_(std::move(onNote)) {}

// ---- Port handling ------------------------------------------------------------------------

bool Link::OpenAt(const char* settings, const char* procedure, bool note) {
    std::string error;
    bool ok = false;
    try {
        port_.Close();
        ok = port_.Open(settings, error);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!ok) {
        WriteErrorLog(config_, procedure, std::to_string(kPortFailureNumber) + error);
        return false;
    }
    sendFailed_ = false;
    if (note) {
        ShowNote(settings);
    }
    return true;
}

bool Link::PortInit() {
    return OpenAt(kSettings19200, "frmRadio.PortInit", true);
}

bool Link::PortInitCP() {
    return OpenAt(config_.state.Baud19200Switch ? kSettings19200 : kSettings57600,
                  "frmRadio.PortInitCP", true);
}

bool Link::PortOpen() {
    if (port_.IsOpen()) {
        return true;
    }
    return OpenAt(config_.state.Baud19200Switch ? kSettings19200 : kSettings57600,
                  "frmRadio.PortOpen", false);
}

void Link::PortClose() {
    if (port_.IsOpen()) {
        port_.Close();
    }
}

bool Link::LineFailed() const {
    return sendFailed_ || !port_.IsOpen();
}

// ---- Notes and boxes ----------------------------------------------------------------------

void Link::ShowNote(const std::string& text) {
    if (!config_.state.DebugSwitch) {
        return;
    }
    if (onNote_) {
        onNote_(text);
    }
    config_.clock().Sleep(kNotePauseMs);
}

void Link::ErrorBox(const std::string& text) {
    config_.prompt().Message({text, caption_, Icon::Critical, Buttons::Ok, Answer::Ok});
}

// ---- Sending ------------------------------------------------------------------------------

void Link::Send(const std::vector<uint8_t>& bytes) {
    config_.clock().Sleep(kSendPauseMs);
    if (!port_.IsOpen() || !port_.Send(bytes)) {
        // A pulled cable or a closed port: the waits that follow end at once.
        sendFailed_ = true;
    }
}

void Link::SendByte(uint8_t value) {
    if (port_.IsOpen()) {
        port_.DiscardInput();
    }
    Send({value});
}

void Link::SendCommand(const std::string& text) {
    Send(BuildCommand(text));
}

void Link::SendBaudCommand(const std::string& text) {
    if (text.size() == 8) {
        SendCommand(text);
    }
}

void Link::SendFrame(const std::string& word, const std::vector<std::string>& fields) {
    ++framesSent_;
    Send(BuildFrame(word, fields));
}

// ---- Receiving ----------------------------------------------------------------------------

template <typename OnChar, typename Complete>
WaitResult Link::Poll(double seconds, OnChar onChar, Complete complete) {
    Clock& clock = config_.clock();
    const double start = clock.Seconds();
    for (;;) {
        clock.PumpEvents();
        if (port_.IsOpen() && port_.Waiting() > 0) {
            int c = port_.ReadByte();
            if (c >= 0) {
                onChar(static_cast<uint8_t>(c));
            }
        }
        if (config_.state.CancelFlag) {
            return WaitResult::Cancelled;
        }
        if (clock.Seconds() - start > seconds || LineFailed()) {
            return WaitResult::TimedOut;
        }
        if (std::optional<WaitResult> done = complete()) {
            return *done;
        }
    }
}

WaitResult Link::WaitChars(std::string& text, int count, double seconds) {
    text.clear();
    return Poll(
        seconds,
        [&](uint8_t c) {
            // A line end left over from the previous reply ("ERROR" CR LF) never starts a word.
            if (text.empty() && (c == kCr || c == kLf)) {
                return;
            }
            text.push_back(static_cast<char>(c));
        },
        [&]() -> std::optional<WaitResult> {
            if (EqualsIgnoreCase(text, kErrorText)) {
                return WaitResult::ErrorReply;
            }
            if (static_cast<int>(text.size()) >= count) {
                return WaitResult::Done;
            }
            return std::nullopt;
        });
}

WaitResult Link::WaitLine(std::string& text, double seconds) {
    text.clear();
    bool afterCr = false;
    bool done = false;
    return Poll(
        seconds,
        [&](uint8_t c) {
            if (!afterCr) {
                if (c == kCr) {
                    afterCr = true;
                } else {
                    text.push_back(static_cast<char>(c));
                }
            } else if (c == kLf) {
                done = true;
            }
        },
        [&]() -> std::optional<WaitResult> {
            return done ? std::optional(WaitResult::Done) : std::nullopt;
        });
}

WaitResult Link::WaitLineStrict(std::string& text, double seconds) {
    text.clear();
    bool afterCr = false;
    std::optional<WaitResult> outcome;
    return Poll(
        seconds,
        [&](uint8_t c) {
            if (outcome) {
                return;
            }
            if (!afterCr) {
                if (c == kCr) {
                    afterCr = true;
                } else {
                    text.push_back(static_cast<char>(c));
                }
            } else {
                outcome = c == kLf ? WaitResult::Done : WaitResult::BadReply;
            }
        },
        [&]() { return outcome; });
}

WaitResult Link::WaitByte(uint8_t value, double seconds) {
    int last = -1;
    return Poll(
        seconds, [&](uint8_t c) { last = c; },
        [&]() -> std::optional<WaitResult> {
            return last == value ? std::optional(WaitResult::Done) : std::nullopt;
        });
}

WaitResult Link::WaitAck() {
    std::string text;
    WaitResult r = WaitChars(text, kWordLength, kReplySeconds);
    if (r != WaitResult::Done) {
        return r;
    }
    if (text != kWordAck) {
        return WaitResult::BadReply;
    }
    if (WaitByte(kCr, kByteSeconds) != WaitResult::Done ||
        WaitByte(kLf, kByteSeconds) != WaitResult::Done) {
        return WaitResult::BadReply;
    }
    return WaitResult::Done;
}

// ---- Link procedures ----------------------------------------------------------------------

bool Link::Connect() {
    config_.state.CancelFlag = false;
    if (!PortInit()) {
        return false;
    }
    bool awake = false;
    for (int attempt = 0; attempt < 3 && !awake; ++attempt) {
        SendByte(kWakeUpByte);
        if (WaitByte(kWakeUpByte, kByteSeconds) == WaitResult::Done) {
            SendByte(kWakeUpConfirmByte);
            awake = true;
        }
    }
    if (!awake) {
        ShowNote("sync failed!!");
    }

    ShowNote("sending 'ACMD:002'...");
    SendBaudCommand(kBaudCommand);
    std::string reply;
    switch (WaitLineStrict(reply, kByteSeconds)) {
        case WaitResult::Done:
            if (reply == "OK") {
                break;
            }
            ErrorBox(EqualsIgnoreCase(reply, kErrorText) ? "ACMD Command error!!" : "error!!");
            return false;
        case WaitResult::Cancelled:
            return false;
        case WaitResult::BadReply:
            ErrorBox("error!!");
            break;
        default:  // no answer: the radio may already be at the working rate
            break;
    }

    if (!PortInitCP()) {
        ErrorBox("port inicialize error!!");
        return false;
    }
    config_.clock().Sleep(kBaudSwitchPauseMs);
    return SyncCommand();
}

bool Link::SyncCommand() {
    // A pass that runs out of retries fails but the next pass still runs; a bad reply or a
    // cancel ends the synchronisation at once.
    int passed = 0;
    for (int pass = 1; pass <= kSyncPasses; ++pass) {
        bool ok = false;
        bool stop = false;
        for (int retries = kRetryCount; retries > 0 && !ok && !stop;) {
            ShowNote("sending '#CMDSY'...(" + std::to_string(pass) + ")");
            SendCommand(kWordSync);
            switch (WaitAck()) {
                case WaitResult::Done:
                    ok = true;
                    break;
                case WaitResult::TimedOut:
                case WaitResult::ErrorReply:
                    --retries;
                    break;
                default:
                    stop = true;
                    break;
            }
        }
        passed += ok ? 1 : 0;
        if (stop) {
            break;
        }
    }
    if (passed != kSyncPasses) {
        ShowNote("can'not Receive '#CMDOK' !!");
        return false;
    }
    return true;
}

bool Link::SendAcknowledged(const std::string& word, const std::vector<std::string>& fields,
                            const std::function<void()>& beforeAttempt) {
    int retries = kRetryCount;
    bool asked = false;
    for (;;) {
        if (beforeAttempt) {
            beforeAttempt();
        }
        SendFrame(word, fields);
        switch (WaitAck()) {
            case WaitResult::Done:
                return true;
            case WaitResult::TimedOut:
                if (--retries <= 0) {
                    return false;
                }
                break;
            case WaitResult::ErrorReply:
                if (--retries > 0) {
                    break;
                }
                // The radio keeps refusing: offer one resynchronisation, and after it exactly
                // one more attempt.
                if (asked) {
                    return false;
                }
                asked = true;
                if (config_.prompt().Message({"confirm the synchronization of the communication",
                                              caption_, Icon::Question, Buttons::OkCancel,
                                              Answer::Ok}) != Answer::Ok ||
                    !SyncCommand()) {
                    return false;
                }
                retries = 1;
                break;
            default:
                return false;
        }
    }
}

bool Link::ReceiveReplyWord(const char* expected, const char* mismatchCommand, std::string& word) {
    switch (WaitChars(word, kWordLength, kReplySeconds)) {
        case WaitResult::Done:
            break;
        case WaitResult::Cancelled:
            ErrorBox("cancel!!");
            return false;
        case WaitResult::TimedOut:
            ErrorBox("time out!!");
            return false;
        default:
            return false;
    }
    if (word != expected) {
        SendCommand(mismatchCommand);
        return false;
    }
    return true;
}

bool Link::StatusCheck() {
    for (;;) {
        ShowNote("status check..");
        if (!SendAcknowledged(kWordStatusRequest, {kStatusField}, {})) {
            return false;
        }
        std::string word;
        if (!ReceiveReplyWord(kWordStatusReply, kWordUnexpectedStatus, word)) {
            return false;
        }
        std::string line;
        switch (WaitLine(line, kReplySeconds)) {
            case WaitResult::Done:
                break;
            case WaitResult::Cancelled:
                ErrorBox("cancel!!");
                return false;
            default:
                ErrorBox("time out!!");
                return false;
        }
        if (!ReplyChecksumOk(word + line)) {
            SendCommand(kWordChecksumWrong);
            return false;
        }
        SendCommand(kWordAck);

        std::vector<std::string> parts = Split(line, std::string(1, static_cast<char>(kHt)));
        std::string code = parts.size() > 1 ? parts[1] : std::string();
        if (code == kStatusReady) {
            ShowNote("status check.. OK");
            return true;
        }
        if (code == kStatusBusy &&
            config_.prompt().Message({"Radio is busy!!", caption_, Icon::Exclamation,
                                      Buttons::RetryCancel, Answer::Cancel}) == Answer::Retry) {
            continue;  // the whole check again, with a fresh retry count
        }
        ShowNote("status check.. NG!!");
        return false;
    }
}

Outcome Link::BlockEnd(bool done) {
    // ErrorFlag mirrors this transaction alone: an acknowledgement seen on the way (of a
    // resynchronisation pass, say) says nothing about the block itself.
    config_.state.ErrorFlag = !done;
    if (done) {
        return Outcome::Done;
    }
    return config_.state.CancelFlag ? Outcome::Cancelled : Outcome::Failed;
}

Outcome Link::ReadBlock(std::span<uint8_t> buffer, int address, int count) {
    if (address < 0 || count <= 0 || static_cast<size_t>(address + count) > buffer.size()) {
        throw ImageRangeError(address + count - 1);
    }
    config_.state.ErrorFlag = true;
    // A Cancel pressed between two blocks stops the pass here; it is never forgotten.
    if (config_.state.CancelFlag) {
        return Outcome::Cancelled;
    }
    if (port_.IsOpen()) {
        port_.DiscardInput();
    }
    const bool done =
        SendAcknowledged(kWordReadRequest, {AddressField(address), CountField(count)}, {}) &&
        ReceiveData(buffer, address, count);
    return BlockEnd(done);
}

bool Link::ReceiveData(std::span<uint8_t> buffer, int address, int count) {
    std::string word;
    if (!ReceiveReplyWord(kWordReadReply, kWordUnexpectedData, word)) {
        return false;
    }
    std::string line;
    switch (WaitLine(line, kReplySeconds)) {
        case WaitResult::Done:
            break;
        case WaitResult::TimedOut:
            ErrorBox("time out!!");
            return false;
        default:
            return false;
    }
    if (!ReplyChecksumOk(word + line)) {
        SendCommand(kWordChecksumWrong);
        return false;
    }
    std::vector<std::string> parts = Split(line, std::string(1, static_cast<char>(kHt)));
    std::optional<uint32_t> replyAddress = parts.size() > 1 ? ParseHex(parts[1]) : std::nullopt;
    if (!replyAddress || *replyAddress != static_cast<uint32_t>(address)) {
        ErrorBox("address error!!");
        return false;
    }
    std::optional<uint32_t> replyCount = parts.size() > 2 ? ParseHex(parts[2]) : std::nullopt;
    const std::string data = parts.size() > 3 ? parts[3] : std::string();
    if (!replyCount || *replyCount != static_cast<uint32_t>(count) ||
        data.size() != static_cast<size_t>(2 * count)) {
        ErrorBox("data error!!");
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::optional<uint32_t> value = ParseHex(std::string_view(data).substr(2 * i, 2));
        if (!value) {
            ErrorBox("data error!!");
            return false;
        }
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(*value);
    }
    std::copy(bytes.begin(), bytes.end(), buffer.begin() + address);
    SendCommand(kWordAck);
    return true;
}

Outcome Link::WriteBlock(int address, int count) {
    std::vector<uint8_t> bytes(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        bytes[static_cast<size_t>(i)] = config_.image.Get(address + i);
    }
    config_.state.ErrorFlag = true;
    if (config_.state.CancelFlag) {
        return Outcome::Cancelled;
    }
    const std::vector<std::string> fields = {AddressField(address), CountField(count),
                                             DataField(bytes)};
    const bool done = SendAcknowledged(kWordWriteRequest, fields, [this] {
        if (port_.IsOpen()) {
            port_.DiscardInput();
        }
    });
    return BlockEnd(done);
}

void Link::AbortRead() {
    if (port_.IsOpen()) {
        port_.DiscardInput();
    }
    SendByte(kAbortByte);
    // The cancel that led here must not end the wait for the radio's acknowledgement at once;
    // a second press of Cancel still does.
    config_.state.CancelFlag = false;
    WaitByte(kAckByte, kReplySeconds);
    config_.state.CancelFlag = true;
}

}  // namespace mrw
