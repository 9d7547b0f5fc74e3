// The radio's side of the clone protocol, independent of any transport: bytes from the PC go
// in, the bytes the radio answers come out. The in-process simulated radio and the
// pseudo-terminal simulator both drive this engine.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mrw::sim {

/// Size of the radio's memory in bytes.
inline constexpr int kRadioMemorySize = 32768;
/// The radio's memory, the same bytes as a memory image.
using RadioMemory = std::array<uint8_t, kRadioMemorySize>;

/// Line rate of the radio before the baud switch.
inline constexpr int kWakeUpBaud = 19200;
/// Line rate after an accepted baud switch ("ACMD:002").
inline constexpr int kWorkingBaud = 57600;

/// Single bytes of the protocol.
inline constexpr uint8_t kWakeUpByte = 0x50;
inline constexpr uint8_t kWakeUpFollowByte = 0x30;
inline constexpr uint8_t kAbortByte = 0x18;
inline constexpr uint8_t kAbortAckByte = 0x06;

/// Request words as recorded for the single bytes.
inline constexpr const char* kWakeUpWord = "0x50";
inline constexpr const char* kWakeUpFollowWord = "0x30";
inline constexpr const char* kAbortWord = "0x18";

/// Where the radio keeps its identity.
inline constexpr int kModelCodeAddress = 128;
inline constexpr int kModelCodeEndAddress = kRadioMemorySize - 2;
inline constexpr int kProductCodeAddress = 256;
inline constexpr int kProductCodeLength = 6;
inline constexpr int kRegionAddress = 271;

/// A misbehaviour the radio can be told to show. Faults are keyed by the number of the framed
/// request ("#QKPSR", "#QKPRD", "#QKPWR") they hit, counting from 1 and including refused ones;
/// DropWrite is keyed by memory address instead.
enum class FaultKind {
    ErrorReply,   ///< answers "ERROR" instead of the acknowledgement (no write takes place)
    NoAnswer,     ///< answers nothing at all
    DropReply,    ///< acknowledges, then leaves out the last message (for a write: the ack)
    BadChecksum,  ///< the framed reply ("#QKPSD", "#QKPDT") carries a wrong checksum
    Garbage,      ///< sends random bytes before the answer
    CutShort,     ///< the last message of the answer stops halfway, without CR LF
    CablePulled,  ///< the line goes dead when the request arrives: nothing is answered again
    /// Refuses like ErrorReply; of the "#CMDSY" that follow the last refused request, the
    /// first is acknowledged and the others are refused until another framed request
    /// arrives: a resynchronisation whose first pass succeeds and whose second fails.
    HalfSync,
    /// Acknowledges every write request that covers the fault's addresses, but keeps the old
    /// bytes there: a write the radio says it took and did not (only a read-back shows it).
    DropWrite,
};

/// One injected fault: `kind` on framed requests `request` to `request + count - 1`; a
/// DropWrite on addresses `address` to `address + count - 1`.
struct Fault {
    FaultKind kind = FaultKind::ErrorReply;
    int request = 1;
    int count = 1;
    int address = -1;
};

/// How the radio behaves; tests and the simulator's options fill this in.
struct RadioOptions {
    std::vector<Fault> faults;
    /// The first N status requests report busy ("01").
    int busyStatusCount = 0;
    /// After this many framed requests the radio answers nothing at all; -1 never.
    /// 0 gives a radio that never answers, not even the wake-up byte.
    int silentAfter = -1;
    /// Number of random bytes a Garbage fault sends.
    int garbageLength = 5;
    /// Seed of the random garbage.
    uint32_t seed = 1;
    /// The answer to "ACMD:002": "OK" switches the rate; anything else is sent as is.
    std::string baudSwitchReply = "OK";
};

/// One thing the radio received, as it understood it.
struct RadioRequest {
    /// Command word ("#QKPRD", "#CMDSY", "ACMD:002", "0x50"...) or the raw line when unknown.
    std::string word;
    /// Number of the framed request (1...), 0 for everything else.
    int framedNumber = 0;
    /// Address and count fields of read and write requests, -1 when absent.
    int address = -1;
    int count = -1;
    /// Data of a write request.
    std::vector<uint8_t> data;
    /// Fields of a framed request between the command word and the checksum.
    std::vector<std::string> fields;
    /// False for a framed request whose checksum was wrong, or a line nobody understood.
    bool valid = true;
};

/// XOR of the character codes of `text`.
uint8_t XorChecksum(std::string_view text);
/// A framed message: word, HT, each non-empty field followed by HT, two uppercase hex digits
/// of the XOR checksum, CR LF.
std::string BuildFrame(std::string_view word, const std::vector<std::string>& fields);
/// Uppercase hexadecimal of `value` with leading zeros to `width` digits.
std::string Hex(unsigned value, int width);

/// A blank memory (all 0xFF) with the identity of a model type: model code at 128 and at the
/// last two addresses, product code "KT562W" for types 1 and 2, region byte 0 ("INTL").
/// Nothing for an unknown model type.
std::optional<RadioMemory> BlankMemory(int modelType);
/// Writes a 16-bit model code at 128 and at the last two addresses, high byte first.
void SetModelCode(RadioMemory& memory, uint16_t code);
/// Writes a product code (up to 6 characters, padded with spaces) at 256.
void SetProductCode(RadioMemory& memory, std::string_view code);

/// The protocol engine. Holds no transport: feed it received bytes, send what it returns.
class RadioEngine {
public:
    /// The engine works on `memory` and reads `options` live; both must outlive it.
    RadioEngine(RadioMemory& memory, const RadioOptions& options);

    /// Takes bytes from the PC and returns the radio's answer (possibly empty).
    std::vector<uint8_t> Receive(const uint8_t* bytes, size_t size);
    std::vector<uint8_t> Receive(const std::vector<uint8_t>& bytes) {
        return Receive(bytes.data(), bytes.size());
    }

    /// Everything received so far, in order.
    const std::vector<RadioRequest>& Requests() const { return requests_; }
    /// Number of framed requests received so far.
    int FramedCount() const { return framedCount_; }
    /// Number of recorded requests with the given word.
    int CountOf(std::string_view word) const;
    /// True once a CablePulled fault struck.
    bool CablePulled() const { return cablePulled_; }
    /// The line rate the radio works at: 19200 until an accepted baud switch, then 57600;
    /// a wake-up byte returns it to 19200.
    int Baud() const { return baud_; }
    /// Forgets the recorded requests (the framed request count stays).
    void ClearRequests() { requests_.clear(); }

private:
    void HandleByte(uint8_t byte, std::vector<uint8_t>& out);
    void HandleLine(const std::string& line, std::vector<uint8_t>& out);
    void HandleFramed(const std::string& line, std::vector<uint8_t>& out);
    bool Silent() const;
    const Fault* FaultAt(FaultKind kind, int request) const;
    /// True when a DropWrite fault keeps the byte at `address`.
    bool WriteDropped(int address) const;
    void Emit(std::vector<std::string> messages, int request, std::vector<uint8_t>& out);

    RadioMemory& memory_;
    const RadioOptions& options_;
    std::vector<RadioRequest> requests_;
    std::string line_;
    int framedCount_ = 0;
    int statusCount_ = 0;
    int baud_ = kWakeUpBaud;
    bool cablePulled_ = false;
    /// Set by a HalfSync refusal: how many "#CMDSY" are still acknowledged (then refused).
    std::optional<int> syncAcksLeft_;
    uint32_t random_ = 1;
};

}  // namespace mrw::sim
