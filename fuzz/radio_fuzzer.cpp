// Fuzzes the radio's side of the line: an in-memory serial port plays the radio, and the
// fuzzer's bytes choose how it answers each request that expects an answer, driving a read, a
// program or a clear through the real Link and Transfer code on virtual time.
//
// Input: four header bytes, then one choice per answer.
//   0  operation: read (0), program (1) or clear (2..10), as the byte modulo 11
//   1  switches: debug mode, 19200 baud, through the OK button or the operation procedures,
//      radio without user MMSI, radio without ATIS code, image with a user MMSI, image with an
//      ATIS code, a port that refuses to open the n-th time
//   2  the radio's identity: its region byte, a wrong model code at either end, a wrong
//      product code, its counts at 255
//   3  which open fails (with the switch above), and where the image of a read ends: at 32767
//      as for every known model, or at 8191 or 2047
// Each choice byte picks, by its low four bits, one of: the correct answer (nine of sixteen),
// the correct answer with one byte flipped, "ERROR", silence, garbage, the correct answer cut
// short, a variant (a busy radio, a wrong address or count, a short data field, lower case
// digits, line ends before the word, ...), the user pressing Cancel, the cable pulled, the
// answer sent twice. For the correct answer the high four bits say how many of the answers
// after it are correct as well, so that a short input reaches far into a transfer; for the
// others they and the bytes after the choice give positions and lengths. Message boxes with a
// choice take their answer from the next byte. When the input runs out the radio falls silent.
//
// Properties, against what the radio knows and what the protocol and the memory maps say:
// - everything the PC sends is a well-formed message: a wake-up, confirm or abort byte, a
//   plain command, or a frame with a correct checksum and fields of upper case digits; frames
//   go out at the working rate only; reads and writes stay inside the image;
// - the run ends within the protocol's time limits: the virtual time spent waiting is at most
//   33 s per message sent, the pauses add up to no more than the operation's steps allow, and
//   a silent radio is given up on after a bounded number of messages;
// - a failed or cancelled read leaves image and model untouched; a read that reports success
//   holds, at every address the read copies, exactly the byte the radio's answers carried for
//   it, and the image's own bytes everywhere else;
// - a program never writes the addresses programming leaves alone, and a clear writes only
//   inside its clear map; every byte written equals the image's byte at the end; the model is
//   untouched and the image changes only at the counts (program) or inside the clear map;
// - a program or clear that reports success had every write acknowledged by the radio, and
//   wrote every address its map requires.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_config.h"
#include "image/codec.h"
#include "link/link.h"
#include "link/serial_port.h"
#include "link/transfer.h"

using namespace mrw;

namespace {

using fuzz::Check;

constexpr int kLast = kImageSize - 1;
constexpr double kSecondsPerMessage = 33.0;
constexpr int kMessagesToSilentRadio = 64;

// ---- Facts of the memory maps ---------------------------------------------------------------

struct Range {
    int first;
    int last;
    bool Contains(int a) const { return a >= first && a <= last; }
};

template <size_t N>
bool InAny(const std::array<Range, N>& ranges, int a) {
    return std::any_of(ranges.begin(), ranges.end(), [a](const Range& r) { return r.Contains(a); });
}

// A read keeps the image's own bytes below 128 and in these ranges.
constexpr std::array<Range, 8> kReadKept = {{{0, 127},
                                             {130, 160},
                                             {384, 639},
                                             {678, 703},
                                             {752, 767},
                                             {1792, 2047},
                                             {17920, 18175},
                                             {20736, 32765}}};
// Programming never writes these ...
constexpr std::array<Range, 9> kProgramNever = {{{0, 159},
                                                 {192, 270},
                                                 {320, 639},
                                                 {652, 653},
                                                 {688, 703},
                                                 {736, 767},
                                                 {1792, 2047},
                                                 {17920, 18175},
                                                 {20736, kLast}}};
// ... and a program that completes has written all of these.
constexpr std::array<Range, 7> kProgramAlways = {
    {{160, 191}, {271, 319}, {654, 687}, {704, 735}, {768, 1791}, {2048, 17919}, {18176, 20735}}};
constexpr Range kUserMmsi = {640, 644};
constexpr int kUserMmsiCount = 645;
constexpr Range kAtisCode = {646, 650};
constexpr int kAtisCount = 651;

constexpr std::array<Range, 6> kDscTxShort = {
    {{768, 863}, {896, 991}, {1024, 1119}, {1152, 1247}, {1280, 1375}, {1408, 1503}}};

// What a clear of `mode` writes to the radio.
bool ClearWrites(int mode, int a) {
    switch (mode) {
        case kModeClearMmsi:
            return kUserMmsi.Contains(a) || a == 32746;
        case kModeClearAtis:
            return kAtisCode.Contains(a) || a == 306 || a == 322 || a == 338 || a == 32747;
        case kModeClearDscLog:
            return Range{26880, 30975}.Contains(a);
        case kModeClearDistressLog:
            return Range{30976, 32703}.Contains(a);
        case kModeClearIndividual:
            return Range{18176, 19455}.Contains(a);
        case kModeClearGroup:
            return Range{20224, 20735}.Contains(a);
        case kModeClearWaypoint:
            return Range{20736, 24191}.Contains(a);
        case kModeClearDscTxLog:
            return InAny(kDscTxShort, a) || Range{25344, 26879}.Contains(a);
        case kModeClearAll:
            return InAny(kDscTxShort, a) || Range{18176, 19455}.Contains(a) ||
                   Range{20224, 32703}.Contains(a);
        default:
            return false;
    }
}

// Where a clear of `mode` may change the image.
bool ClearChanges(int mode, int a) {
    if (mode != kModeClearAll) {
        return ClearWrites(mode, a);
    }
    for (int m = kModeClearDscLog; m <= kModeClearDscTxLog; ++m) {
        if (ClearWrites(m, a)) {
            return true;
        }
    }
    return false;
}

// ---- The fuzzer's bytes ---------------------------------------------------------------------

class Input {
public:
    void Reset(const uint8_t* data, size_t size) {
        data_ = data;
        size_ = size;
        pos_ = 0;
    }
    std::optional<uint8_t> Next() {
        if (pos_ >= size_) {
            return std::nullopt;
        }
        return data_[pos_++];
    }
    uint8_t NextOr(uint8_t fallback) { return Next().value_or(fallback); }
    bool Empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
};

enum class Choice { Correct, Flip, Error, Silence, Garbage, Cut, Variant, Cancel, Pull, Twice };

// ---- Wire helpers, written from the protocol ----------------------------------------------

constexpr char kHex[] = "0123456789ABCDEF";
constexpr char kHexLower[] = "0123456789abcdef";

__attribute__((no_sanitize("coverage"))) void AppendHex(std::string& s, unsigned value, int digits,
                                                        bool lower = false) {
    const char* set = lower ? kHexLower : kHex;
    for (int d = digits - 1; d >= 0; --d) {
        s.push_back(set[(value >> (4 * d)) & 0xF]);
    }
}

__attribute__((no_sanitize("coverage"))) uint8_t Xor(std::string_view s) {
    uint8_t x = 0;
    for (char c : s) {
        x ^= static_cast<uint8_t>(c);
    }
    return x;
}

// Ends a framed reply: the checksum of everything so far, CR LF.
__attribute__((no_sanitize("coverage"))) void CloseFrame(std::string& s, bool lower = false) {
    AppendHex(s, Xor(s), 2, lower);
    s += "\r\n";
}

__attribute__((no_sanitize("coverage"))) int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;  // the PC writes upper case only
}

__attribute__((no_sanitize("coverage"))) std::optional<int> UpperHex(std::string_view field) {
    if (field.empty() || field.size() > 4) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : field) {
        int d = HexValue(c);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * 16 + d;
    }
    return value;
}

// ---- The radio ----------------------------------------------------------------------------

class FuzzRadio : public SerialPort {
public:
    std::array<uint8_t, kImageSize> memory{};
    // What the radio's correct data answers carried, per address.
    std::array<uint8_t, kImageSize> carried{};
    std::array<bool, kImageSize> carriedValid{};
    // Per address: -1 never written; otherwise whether the latest write frame was answered
    // with a correct acknowledgement.
    std::array<int8_t, kImageSize> writeAcked{};
    // The data of the latest write frame per address.
    std::array<uint8_t, kImageSize> written{};
    bool anyWrite = false;
    bool verbose = false;

    int sends = 0;
    int sendsWhenSilent = 0;
    bool cancelPending = false;
    bool workingRate19200 = false;
    int failOpenAt = 0;

    void Reset(Input* input) {
        input_ = input;
        std::memset(carriedValid.data(), 0, sizeof carriedValid);
        std::memset(writeAcked.data(), 0xFF, sizeof writeAcked);  // -1: never written
        anyWrite = false;
        sends = 0;
        sendsWhenSilent = 0;
        cancelPending = false;
        opens_ = 0;
        open_ = false;
        pulled_ = false;
        rate_.clear();
        rx_.clear();
        pos_ = 0;
        repeat_ = 0;
    }

    bool Open(const std::string& settings, std::string& error) override {
        ++opens_;
        if (pulled_ || opens_ == failOpenAt) {
            error = "no such port";
            return false;
        }
        Check(settings == "19200,N,8,1" || settings == "57600,N,8,1",
              "port opened with other settings than the protocol's");
        rate_ = settings;
        open_ = true;
        rx_.clear();
        pos_ = 0;
        return true;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Send(const std::vector<uint8_t>& bytes) override {
        ++sends;
        if ((input_->Empty() && repeat_ == 0) || pulled_) {
            ++sendsWhenSilent;
            Check(sendsWhenSilent <= kMessagesToSilentRadio,
                  "the link keeps sending to a radio that fell silent");
        }
        if (!open_ || pulled_) {
            return false;
        }
        Receive(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        return true;
    }
    __attribute__((no_sanitize("coverage"))) int Waiting() override {
        return open_ ? static_cast<int>(rx_.size() - pos_) : 0;
    }
    __attribute__((no_sanitize("coverage"))) int ReadByte() override {
        if (!open_ || pos_ >= rx_.size()) {
            return -1;
        }
        return static_cast<uint8_t>(rx_[pos_++]);
    }
    void DiscardInput() override {
        rx_.clear();
        pos_ = 0;
    }

    /// The answer the message box gets, from the next input byte; nothing for its default.
    std::optional<Answer> BoxAnswer(Buttons buttons) {
        if (buttons == Buttons::Ok) {
            return std::nullopt;
        }
        std::optional<uint8_t> b = input_->Next();
        if (!b) {
            return std::nullopt;
        }
        const bool first = (*b & 1) == 0;
        switch (buttons) {
            case Buttons::RetryCancel:
                return first ? Answer::Retry : Answer::Cancel;
            case Buttons::OkCancel:
                return first ? Answer::Ok : Answer::Cancel;
            case Buttons::YesNo:
                return first ? Answer::Yes : Answer::No;
            case Buttons::YesNoCancel:
                return first ? Answer::Yes : ((*b & 2) ? Answer::No : Answer::Cancel);
            case Buttons::Ok:
                return Answer::Ok;
        }
        return std::nullopt;
    }

private:
    bool AtWorkingRate() const {
        return rate_ == (workingRate19200 ? "19200,N,8,1" : "57600,N,8,1");
    }

    Choice Choose() {
        if (repeat_ > 0) {
            --repeat_;
            return Choice::Correct;
        }
        std::optional<uint8_t> b = input_->Next();
        if (!b) {
            return Choice::Silence;
        }
        param_ = *b >> 4;
        if ((*b & 0xF) <= 8) {
            repeat_ = param_;  // this answer and as many more as the high bits say
        }
        switch (*b & 0xF) {
            case 9:
                return Choice::Flip;
            case 10:
                return Choice::Error;
            case 11:
                return Choice::Silence;
            case 12:
                return Choice::Garbage;
            case 13:
                return Choice::Cut;
            case 14:
                return Choice::Variant;
            case 15:
                return param_ < 6 ? Choice::Cancel : (param_ < 8 ? Choice::Pull : Choice::Twice);
            default:
                return Choice::Correct;
        }
    }

    void Put(std::string_view bytes) { rx_.append(bytes); }

    // Answers with `correct` as `choice` says; `variant` is what the Variant choice sends.
    // True when the correct answer went out whole (once or twice).
    bool Emit(Choice choice, std::string_view correct, std::string_view variant) {
        if (verbose) {
            static constexpr const char* kNames[] = {"correct", "flip", "error",   "silence",
                                                     "garbage", "cut",  "variant", "cancel",
                                                     "pull",    "twice"};
            std::fprintf(stderr, "    radio: %s\n", kNames[static_cast<int>(choice)]);
        }
        switch (choice) {
            case Choice::Correct:
                Put(correct);
                return true;
            case Choice::Twice:
                Put(correct);
                Put(correct);
                return true;
            case Choice::Cancel:
                cancelPending = true;
                Put(correct);
                return true;
            case Choice::Flip: {
                std::string flipped(correct);
                const size_t at = input_->NextOr(0) % flipped.size();
                flipped[at] = static_cast<char>(flipped[at] ^ (1 << (param_ & 7)));
                Put(flipped);
                // A checksum digit in the other case reads the same; any other flip spoils the
                // answer.
                const bool framed = correct.find('\t') != std::string_view::npos;
                const bool checksum = framed && at + 4 >= flipped.size() && at + 2 < flipped.size();
                return checksum && std::tolower(flipped[at]) == std::tolower(correct[at]);
            }
            case Choice::Error:
                Put(param_ & 1 ? "error\r\n" : (param_ & 2 ? "Error" : "ERROR\r\n"));
                return false;
            case Choice::Silence:
                return false;
            case Choice::Garbage:
                // Never a '#': garbage cannot pass for a reply word.
                for (int i = 0; i <= param_; ++i) {
                    char c = static_cast<char>(input_->NextOr(' '));
                    Put(std::string_view(c == '#' ? "$" : std::string_view(&c, 1)));
                }
                return false;
            case Choice::Cut:
                Put(correct.substr(0, input_->NextOr(0) % correct.size()));
                return false;
            case Choice::Variant:
                Put(variant);
                return false;
            case Choice::Pull:
                pulled_ = true;
                open_ = false;
                return false;
        }
        return false;
    }

    // An acknowledgement; true when it went out correct.
    bool Acknowledge() {
        static constexpr std::string_view kAck = "#CMDOK\r\n";
        static constexpr std::string_view kVariants[] = {"#CMDOK", "#cmdok\r\n", "#CMDOK\n",
                                                         "\r\n#CMDOK\r\n"};
        const Choice choice = Choose();
        const std::string_view variant = kVariants[param_ % 4];
        const bool ok = Emit(choice, kAck, variant);
        // Line ends before the word are skipped by the receiver: that variant is correct too.
        return ok || (choice == Choice::Variant && param_ % 4 == 3);
    }

    void Receive(std::string_view msg) {
        if (verbose) {
            std::string shown;
            for (char c : msg.substr(0, 40)) {
                shown += c == '\t' ? '|' : (c == '\r' || c == '\n') ? '_' : c;
            }
            std::fprintf(stderr, "PC  %s%s\n", shown.c_str(), msg.size() > 40 ? "..." : "");
        }
        if (msg.size() == 1) {
            const auto b = static_cast<uint8_t>(msg[0]);
            Check(b == 0x50 || b == 0x30 || b == 0x18, "PC sent an unknown single byte");
            if (b == 0x50) {
                Check(rate_ == "19200,N,8,1", "wake-up byte sent at the working rate");
                Emit(Choose(), "P", "Q");
            } else if (b == 0x18) {
                Emit(Choose(), "\x06", "\x15");
            }
            return;
        }
        Check(msg.size() >= 3 && msg.substr(msg.size() - 2) == "\r\n",
              "PC sent a message without CR LF");
        const std::string_view body = msg.substr(0, msg.size() - 2);
        if (body == "#CMDOK" || body == "#CMDSM" || body == "#CMDUN" || body == "#CMDER") {
            return;  // nothing is answered to these
        }
        if (body == "#CMDSY") {
            Check(AtWorkingRate(), "synchronisation sent at another rate than the working rate");
            Acknowledge();
            return;
        }
        if (body == "ACMD:002") {
            Check(rate_ == "19200,N,8,1", "baud switch sent at the working rate");
            static constexpr std::string_view kVariants[] = {"NG\r\n", "OK\rX", "ok\r\n", "OK"};
            const Choice choice = Choose();
            Emit(choice, "OK\r\n", kVariants[param_ % 4]);
            return;
        }
        Frame(body);
    }

    // A framed request: word, HT, fields each followed by HT, checksum.
    void Frame(std::string_view body) {
        Check(body.size() >= 10 && body[6] == '\t' && body[body.size() - 3] == '\t',
              "PC sent a malformed frame");
        const std::string_view word = body.substr(0, 6);
        const std::optional<int> sum = UpperHex(body.substr(body.size() - 2));
        Check(sum && *sum == Xor(body.substr(0, body.size() - 2)), "PC frame checksum is wrong");
        Check(AtWorkingRate(), "frame sent at another rate than the working rate");
        std::array<std::string_view, 4> fields{};
        size_t count = 0;
        for (size_t start = 7; start < body.size() - 2;) {
            const size_t tab = body.find('\t', start);
            Check(count < fields.size() && tab > start, "PC frame has an empty or extra field");
            fields[count++] = body.substr(start, tab - start);
            start = tab + 1;
        }
        if (word == "#QKPSR") {
            Check(count == 1 && fields[0] == "00", "status request without its field");
            Status();
            return;
        }
        Check(count >= 2 && fields[0].size() == 4 && fields[1].size() == 2,
              "PC frame without address and count");
        const std::optional<int> address = UpperHex(fields[0]);
        const std::optional<int> n = UpperHex(fields[1]);
        Check(address && n && *n >= 1 && *n <= 64 && *address + *n <= kImageSize,
              "PC asked for bytes outside the image");
        if (word == "#QKPRD") {
            Check(count == 2, "read request with extra fields");
            Read(*address, *n);
        } else if (word == "#QKPWR") {
            Check(count == 3 && fields[2].size() == static_cast<size_t>(2 * *n),
                  "write request data do not match the count");
            Write(*address, *n, fields[2]);
        } else {
            Check(false, "PC sent an unknown frame");
        }
    }

    void Status() {
        if (!Acknowledge()) {
            return;
        }
        std::string reply = "#QKPSD\t00\t";
        CloseFrame(reply);
        const Choice choice = Choose();
        std::string variant = "#QKPSD\t";
        switch (param_ % 4) {
            case 0:
                variant += "01\t";  // busy
                CloseFrame(variant);
                break;
            case 1:
                variant += "02\t";
                CloseFrame(variant);
                break;
            case 2:
                variant += "00\t";
                CloseFrame(variant, true);  // lower case checksum digits read the same
                break;
            default:
                variant = "\r\n" + reply;
                break;
        }
        Emit(choice, reply, variant);
    }

    __attribute__((no_sanitize("coverage"))) std::string DataReply(int address, int n,
                                                                   bool lower) const {
        std::string s = "#QKPDT\t";
        AppendHex(s, static_cast<unsigned>(address), 4, lower);
        s += '\t';
        AppendHex(s, static_cast<unsigned>(n), 2, lower);
        s += '\t';
        for (int i = 0; i < n; ++i) {
            AppendHex(s, memory[static_cast<size_t>(std::min(address + i, kLast))], 2, lower);
        }
        s += '\t';
        CloseFrame(s, lower);
        return s;
    }

    void Read(int address, int n) {
        if (!Acknowledge()) {
            return;
        }
        const std::string reply = DataReply(address, n, false);
        const Choice choice = Choose();
        std::string variant;
        bool carries = false;  // the variant carries the right data for the right address
        switch (param_ % 6) {
            case 0:  // another block's address and data
                variant = DataReply((address + 64) % (kImageSize - 64), n, false);
                break;
            case 1: {  // a count one more, its data one byte longer
                std::string more = "#QKPDT\t";
                AppendHex(more, static_cast<unsigned>(address), 4);
                more += '\t';
                AppendHex(more, static_cast<unsigned>(n + 1), 2);
                more += '\t';
                for (int i = 0; i <= n; ++i) {
                    AppendHex(more, memory[static_cast<size_t>(std::min(address + i, kLast))], 2);
                }
                more += '\t';
                CloseFrame(more);
                variant = more;
                break;
            }
            case 2: {  // one digit short, checksum right
                std::string shortened = reply.substr(0, reply.size() - 6) + "\t";
                CloseFrame(shortened);
                variant = shortened;
                break;
            }
            case 3:
                variant = DataReply(address, n, true);
                carries = true;
                break;
            case 4:
                variant = "\r\n" + reply;
                carries = true;
                break;
            default: {  // a field more after the data
                std::string extra = reply.substr(0, reply.size() - 4) + "00\t";
                CloseFrame(extra);
                variant = extra;
                carries = true;
                break;
            }
        }
        const bool sent = Emit(choice, reply, variant) || (choice == Choice::Variant && carries);
        if (sent) {
            for (int i = 0; i < n; ++i) {
                const auto a = static_cast<size_t>(address + i);
                carried[a] = memory[a];
                carriedValid[a] = true;
            }
        }
    }

    void Write(int address, int n, std::string_view data) {
        anyWrite = true;
        Record(address, n, data, Acknowledge());
    }

    // What the radio keeps of a write frame.
    __attribute__((no_sanitize("coverage"))) void Record(int address, int n, std::string_view data,
                                                         bool acked) {
        for (int i = 0; i < n; ++i) {
            const auto a = static_cast<size_t>(address + i);
            const int high = HexValue(data[2 * static_cast<size_t>(i)]);
            const int low = HexValue(data[2 * static_cast<size_t>(i) + 1]);
            Check(high >= 0 && low >= 0, "write data not in upper case digits");
            written[a] = static_cast<uint8_t>(high * 16 + low);
            writeAcked[a] = acked ? 1 : 0;
            if (acked) {
                memory[a] = written[a];
            }
        }
    }

    Input* input_ = nullptr;
    std::string rx_;
    size_t pos_ = 0;
    std::string rate_;
    int opens_ = 0;
    bool open_ = false;
    bool pulled_ = false;
    int param_ = 0;
    int repeat_ = 0;
};

// Virtual time: a millisecond per poll while the radio has bytes on the line, a quarter of a
// second per poll while it has none (nothing can arrive before the PC sends again, so a wait
// for an answer that never comes takes a few polls). Every pause and poll lets the window run:
// there the Cancel an answer asked for is pressed, and every 64th time the time limits are
// checked.
class FuzzClock : public VirtualClock {
public:
    FuzzRadio* radio = nullptr;
    Transfer* transfer = nullptr;
    int notes = 0;
    double slept = 0.0;

    __attribute__((no_sanitize("coverage"))) void Sleep(int ms) override {
        slept += ms / 1000.0;
        Advance(ms / 1000.0);
        Window();
    }
    __attribute__((no_sanitize("coverage"))) void PumpEvents() override {
        Advance(radio->Waiting() > 0 ? 0.001 : 0.25);
        Window();
    }
    void Restart() {
        Advance(-Seconds());
        slept = 0.0;
        notes = 0;
        polls_ = 0;
    }
    /// The time spent waiting is at most kSecondsPerMessage per message sent; the pauses add
    /// up to no more than the steps of the longest operation, the sends and the notes allow.
    void CheckLimits() {
        const double waited = Seconds() - slept;
        Check(waited <= kSecondsPerMessage * (radio->sends + 1),
              "the link waited beyond the protocol's time limits");
        Check(slept <= 40.0 + 0.011 * radio->sends + 0.5 * notes,
              "the link paused beyond the operation's steps");
    }

private:
    __attribute__((no_sanitize("coverage"))) void Window() {
        if (radio->cancelPending && transfer != nullptr) {
            radio->cancelPending = false;
            transfer->Cancel();
        }
        if ((++polls_ & 63) == 0) {
            CheckLimits();
        }
    }
    unsigned polls_ = 0;
};

class CountingUi : public TransferUi {
public:
    void ShowNote(const std::string&) override { ++clock->notes; }
    void SetProgress(int percent) override {
        Check(percent >= 0 && percent <= 100, "progress outside 0..100");
    }
    FuzzClock* clock = nullptr;
};

// Per-address facts of the memory maps, looked up by the checks after every run.
struct MapTables {
    MapTables() {
        for (int a = 0; a < kImageSize; ++a) {
            const auto i = static_cast<size_t>(a);
            readKept[i] = InAny(kReadKept, a);
            programNever[i] = InAny(kProgramNever, a);
            programAlways[i] = InAny(kProgramAlways, a);
            for (int mode = kModeClearMmsi; mode <= kModeClearAtis; ++mode) {
                clearWrites[static_cast<size_t>(mode)][i] = ClearWrites(mode, a);
                clearChanges[static_cast<size_t>(mode)][i] = ClearChanges(mode, a);
            }
        }
    }
    std::array<bool, kImageSize> readKept{};
    std::array<bool, kImageSize> programNever{};
    std::array<bool, kImageSize> programAlways{};
    std::array<std::array<bool, kImageSize>, 11> clearWrites{};
    std::array<std::array<bool, kImageSize>, 11> clearChanges{};
};

struct State {
    State() {
        f.config.services.clock = &clock;
        clock.radio = &radio;
        ui.clock = &clock;
        // The image as a program sends it.
        Image& image = f.baseImage;
        DataModel model = f.baseModel;
        std::string error;
        Check(EncodeImage(model, image, &error), "default model does not encode");
        PrepareImageForWrite(image, model);
        UpdateChecksum(image);
        // Programming through the OK button encodes the model again: allowed when that gives
        // the same image, so that the image before the run is known without encoding it.
        Image again = image;
        DataModel same = model;
        programThroughOk = EncodeImage(same, again, &error);
        PrepareImageForWrite(again, same);
        UpdateChecksum(again);
        programThroughOk = programThroughOk && again.bytes == image.bytes;
        f.baseModel = model;
        // The radio: the same identity, and data that differ from the image's at every
        // address a read copies, so that a byte out of place shows.
        for (int a = 0; a < kImageSize; ++a) {
            const auto x = static_cast<uint32_t>(a) * 2654435761u;
            radioBase[static_cast<size_t>(a)] =
                static_cast<uint8_t>(image.bytes[static_cast<size_t>(a)] ^ ((x >> 24) | 1));
        }
        for (int a : {128, 129, 256, 257, 258, 259, 260, 261, 271, kLast - 1, kLast}) {
            radioBase[static_cast<size_t>(a)] = image.bytes[static_cast<size_t>(a)];
        }
    }

    fuzz::FuzzConfig f;
    FuzzClock clock;
    FuzzRadio radio;
    CountingUi ui;
    Input input;
    MapTables maps;
    std::array<uint8_t, kImageSize> radioBase{};
    std::array<uint8_t, kImageSize> radioBefore{};
    Image imageBefore;
    bool programThroughOk = false;
};

void SetRadioIdentity(State& s, uint8_t flags, uint8_t identity) {
    auto& m = s.radio.memory;
    m = s.radioBase;
    static constexpr uint8_t kRegions[] = {0, 0, 1, 3, 5, 6, 0xFF, 0x80};
    m[271] = kRegions[identity & 7];
    if (identity & 0x08) {
        m[128] = 0x09;  // 2401, the code of another model type
        m[129] = 0x61;
    }
    if (identity & 0x10) {
        m[kLast - 1] = 0x09;
    }
    if (identity & 0x20) {
        m[256 + (identity >> 6)] = 'X';
    }
    const bool noMmsi = flags & 0x08;
    const bool noAtis = flags & 0x10;
    for (int a = kUserMmsi.first; a <= kUserMmsi.last; ++a) {
        m[static_cast<size_t>(a)] = noMmsi ? 0xFF : static_cast<uint8_t>(0x12 + a - 640);
    }
    for (int a = kAtisCode.first; a <= kAtisCode.last; ++a) {
        m[static_cast<size_t>(a)] = noAtis ? 0xFF : static_cast<uint8_t>(0x34 + a - 646);
    }
    if ((identity & 0xC0) == 0xC0) {
        for (int a : {kUserMmsiCount, kAtisCount, 32746, 32747}) {
            m[static_cast<size_t>(a)] = 0xFF;
        }
    }
}

bool AllErased(const uint8_t* bytes, Range r) {
    for (int a = r.first; a <= r.last; ++a) {
        if (bytes[a] != 0xFF) {
            return false;
        }
    }
    return true;
}

// The properties of a read after the run.
__attribute__((no_sanitize("coverage"))) void CheckRead(State& s, bool success, int last) {
    const Config& config = s.f.config;
    const auto& image = config.image.bytes;
    const auto& before = s.imageBefore.bytes;
    const FuzzRadio& radio = s.radio;
    Check(!radio.anyWrite, "a read wrote to the radio");
    if (!success) {
        Check(image == before, "a failed or cancelled read changed the image");
        Check(config.model == s.f.baseModel, "a failed or cancelled read changed the model");
        return;
    }
    for (size_t i = 0; i < image.size(); ++i) {
        if (s.maps.readKept[i] || i > static_cast<size_t>(last)) {
            Check(image[i] == before[i], "a read replaced a byte the image keeps");
        } else {
            Check(radio.carriedValid[i], "a read took a byte the radio never sent");
            Check(image[i] == radio.carried[i], "a read took other data than the radio sent");
        }
    }
}

// The properties of a program or clear after the run.
__attribute__((no_sanitize("coverage"))) void CheckWrites(State& s, int mode, bool success) {
    const Config& config = s.f.config;
    const auto& image = config.image.bytes;
    const auto& before = s.imageBefore.bytes;
    const FuzzRadio& radio = s.radio;
    const MapTables& maps = s.maps;
    const bool program = mode == kModeProgram;
    Check(config.model == s.f.baseModel, "a program or clear changed the model");
    if (image != before) {
        for (size_t i = 0; i < image.size(); ++i) {
            if (image[i] == before[i]) {
                continue;
            }
            if (program) {
                Check(i == kUserMmsiCount || i == kAtisCount,
                      "programming changed the image beyond the counts");
            } else {
                Check(maps.clearChanges[static_cast<size_t>(mode)][i],
                      "a clear changed the image outside its clear map");
            }
        }
    }
    if (radio.anyWrite) {
        for (size_t i = 0; i < image.size(); ++i) {
            if (radio.writeAcked[i] < 0) {
                continue;
            }
            if (program) {
                Check(!maps.programNever[i], "programming wrote an address it leaves alone");
            } else {
                Check(maps.clearWrites[static_cast<size_t>(mode)][i],
                      "a clear wrote outside its clear map");
            }
            Check(radio.written[i] == image[i], "a byte written differs from the image's");
            Check(!success || radio.writeAcked[i] == 1,
                  "reported success without an acknowledged write");
        }
    }
    if (!success) {
        return;
    }
    auto wrote = [&](size_t a) { return radio.writeAcked[a] == 1; };
    if (!program) {
        for (size_t i = 0; i < image.size(); ++i) {
            Check(!maps.clearWrites[static_cast<size_t>(mode)][i] || wrote(i),
                  "a clear left out an address of its map");
        }
        return;
    }
    for (size_t i = 0; i < image.size(); ++i) {
        Check(!maps.programAlways[i] || wrote(i), "programming left out an address of the map");
    }
    const bool newMmsi =
        AllErased(s.radioBefore.data(), kUserMmsi) && !AllErased(before.data(), kUserMmsi);
    const bool newAtis =
        AllErased(s.radioBefore.data(), kAtisCode) && !AllErased(before.data(), kAtisCode);
    for (int a = kUserMmsi.first; a <= kUserMmsiCount; ++a) {
        Check(wrote(static_cast<size_t>(a)) == newMmsi,
              "user MMSI written against the new-MMSI rule");
    }
    for (int a = kAtisCode.first; a <= kAtisCount; ++a) {
        Check(wrote(static_cast<size_t>(a)) == newAtis,
              "ATIS code written against the new-ATIS rule");
    }
    for (auto [isNew, count] :
         {std::pair{newMmsi, kUserMmsiCount}, std::pair{newAtis, kAtisCount}}) {
        if (isNew) {
            const int previous = s.radioBefore[static_cast<size_t>(count)];
            Check(image[static_cast<size_t>(count)] == (previous == 255 ? 255 : previous + 1),
                  "count is not the radio's count plus one");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static State s;
    if (size < 4) {
        return 0;
    }
    fuzz::FuzzConfig& f = s.f;
    Config& config = f.config;
    AppState& st = config.state;
    f.Reset();
    st.TransferDone = false;
    st.RegionChangeAccepted = false;

    const int mode = data[0] % 11;
    const uint8_t flags = data[1];
    const uint8_t identity = data[2];
    st.DebugSwitch = flags & 0x01;
    st.Baud19200Switch = flags & 0x02;
    const bool imageIds = flags & 0x60;
    const bool throughOk =
        (flags & 0x04) && (mode != kModeProgram || (s.programThroughOk && !imageIds));
    if (flags & 0x20) {
        static constexpr uint8_t kMmsi[] = {0x23, 0x45, 0x67, 0x89, 0x0F};
        std::copy(std::begin(kMmsi), std::end(kMmsi), config.image.bytes.begin() + kUserMmsi.first);
    }
    if (flags & 0x40) {
        static constexpr uint8_t kAtis[] = {0x92, 0x31, 0x23, 0x45, 0x6F};
        std::copy(std::begin(kAtis), std::end(kAtis), config.image.bytes.begin() + kAtisCode.first);
    }
    s.input.Reset(data + 4, size - 4);
    s.radio.Reset(&s.input);
    s.radio.workingRate19200 = st.Baud19200Switch;
    s.radio.verbose = std::getenv("MRW_FUZZ_VERBOSE") != nullptr;
    s.radio.failOpenAt = (flags & 0x80) ? 1 + (data[3] & 7) : 0;
    SetRadioIdentity(s, flags, identity);
    // A read may be of a model whose image ends earlier: a few dozen blocks instead of 512
    // let the fuzzer reach a read's end often.
    static constexpr int kImageEnds[] = {kLast, 8191, 2047, kLast};
    const int last = mode == kModeRead ? kImageEnds[(data[3] >> 3) & 3] : kLast;
    config.image.ImageLastAddress = last;
    s.radio.memory[static_cast<size_t>(last - 1)] = s.radio.memory[kLast - 1];
    s.radio.memory[static_cast<size_t>(last)] = s.radio.memory[kLast];
    s.radioBefore = s.radio.memory;
    s.imageBefore = config.image;
    s.clock.Restart();

    auto transfer = std::make_unique<Transfer>(config, s.radio, s.ui, mode);
    Transfer* t = transfer.get();
    s.clock.transfer = t;
    f.prompt.onMessage = [&](const MessageRequest& request) {
        if (std::optional<Answer> a = s.radio.BoxAnswer(request.buttons)) {
            f.prompt.answers.push_back(*a);
        }
    };

    t->Load();
    bool success = false;
    if (throughOk) {
        t->RunOk();
        success = st.TransferDone;
    } else if (t->link().Connect()) {
        const Outcome outcome = mode == kModeRead      ? t->ReadRadio()
                                : mode == kModeProgram ? t->ProgramRadio()
                                                       : t->ClearRadio();
        success = outcome == Outcome::Done;
        Check(success == st.TransferDone, "outcome and TransferDone disagree");
    }
    s.clock.CheckLimits();
    s.clock.transfer = nullptr;
    // MRW_FUZZ_VERBOSE=1 tells what an input did (for a crash input run on its own).
    static const bool verbose = std::getenv("MRW_FUZZ_VERBOSE") != nullptr;
    if (verbose) {
        std::fprintf(stderr, "mode %d, %s, %d messages sent, %.3f s, boxes:", mode,
                     success ? "success" : "no success", s.radio.sends, s.clock.Seconds());
        for (const MessageRequest& m : f.prompt.messages) {
            std::fprintf(stderr, " \"%s\"", m.text.c_str());
        }
        std::fprintf(stderr, "\n");
    }
    f.prompt.onMessage = nullptr;
    // What the input allocated is freed before it ends: libFuzzer runs an input again under
    // the leak checker whenever its allocations and frees do not match.
    f.prompt.messages.clear();
    f.prompt.answers.clear();
    transfer.reset();

    if (mode == kModeRead) {
        CheckRead(s, success, last);
    } else {
        CheckWrites(s, mode, success);
    }
    return 0;
}
