// The wire format of the clone protocol: framed requests with their exclusive-or checksum,
// the checksum test of a framed reply and the hexadecimal fields of addresses, counts and data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mrw {

inline constexpr uint8_t kHt = 0x09;
inline constexpr uint8_t kCr = 0x0D;
inline constexpr uint8_t kLf = 0x0A;

/// Wake-up byte, echoed by the radio.
inline constexpr uint8_t kWakeUpByte = 0x50;
/// Sent once the wake-up echo arrived.
inline constexpr uint8_t kWakeUpConfirmByte = 0x30;
/// Abort of a running read.
inline constexpr uint8_t kAbortByte = 0x18;
/// The radio's answer to the abort byte.
inline constexpr uint8_t kAckByte = 0x06;

/// Length of every command and reply word ("#QKPRD", "#CMDOK", ...).
inline constexpr int kWordLength = 6;

/// Exclusive-or of all bytes of `text`.
uint8_t XorChecksum(std::string_view text);

/// A framed request: the command word, HT, each non-empty field followed by HT, the checksum
/// of everything before it as two uppercase hexadecimal digits, CR LF.
std::vector<uint8_t> BuildFrame(std::string_view word, const std::vector<std::string>& fields);

/// A plain command: the text followed by CR LF.
std::vector<uint8_t> BuildCommand(std::string_view text);

/// True when the checksum of a framed reply is right. `reply` is the reply word followed by
/// its line without CR LF; its last two characters are the checksum in hexadecimal (any case)
/// of all characters before them. Shorter than 3 characters, or no hexadecimal digits: false.
bool ReplyChecksumOk(std::string_view reply);

/// The value of a field of hexadecimal digits of any case; nothing when the field is empty or
/// holds any other character.
std::optional<uint32_t> ParseHex(std::string_view field);

/// Four uppercase hexadecimal digits of an address ("0100").
std::string AddressField(int address);
/// Two uppercase hexadecimal digits of a byte count ("40").
std::string CountField(int count);
/// Two uppercase hexadecimal digits per byte, first byte first.
std::string DataField(std::span<const uint8_t> bytes);

}  // namespace mrw
