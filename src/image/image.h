// The memory image: the 32768 bytes the radio keeps, held by the program for its whole run,
// and the small field primitives out of which every field of the memory map is built.
// Multi-byte values are stored most significant byte first; bit 7 is the top bit of a byte.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"

namespace mrw {

inline constexpr int kImageSize = 32768;
inline constexpr int kDataStartAddress = 128;

/// Raised when an address outside 0..32767 is used; the operation that used it fails and
/// nothing is written outside the image.
struct ImageRangeError : std::out_of_range {
    explicit ImageRangeError(int address);
};

/// Raised when a value that does not fit in a byte is to be stored as one.
struct ByteOverflowError : std::overflow_error {
    ByteOverflowError(const std::string& what, long value);
};

/// Raised by an encoder when a value of the data model cannot be carried by its field (a bit
/// field too narrow for it, more records than the image has slots, a frequency outside the
/// BCD field's range). The encoding fails instead of storing a different value.
struct FieldRangeError : std::range_error {
    explicit FieldRangeError(const std::string& what) : std::range_error(what) {}
};

/// The memory image. Every access checks its address.
struct Image {
    std::array<uint8_t, kImageSize> bytes{};
    /// The highest address the current model uses; the image size is this + 1.
    int32_t ImageLastAddress = kImageSize - 1;

    /// The byte at `address`; throws ImageRangeError outside 0..32767.
    uint8_t Get(int address) const;
    /// Stores `value` at `address`; throws ImageRangeError outside 0..32767 and
    /// ByteOverflowError when the value is not 0..255.
    void Set(int address, long value);
    /// Reference to the byte at `address`, checked like Get.
    uint8_t& At(int address);
    /// Fills `count` bytes from `address` with `value` (checked).
    void Fill(int address, int count, uint8_t value);
};

// ---- Bit access --------------------------------------------------------------------------

/// 1 if bit `bit` (0 = least significant) of `byte` is set, else 0; 0 for bits outside 0..7.
int GetBit(int byte, int bit);
/// True if bit `bit` (1 = least significant) of `value` is set; False outside 1..8.
bool TestBit(int value, int bit);
/// 0 when `flag` is False, else 2^(bit-1) for bit 1..8; 0 for other bit numbers.
int BitMask(bool flag, int bit);
/// True if bit (7 - n) of the image byte at `address` is set (n counted from the top bit).
bool ImageBit(const Image& image, int address, int n);
/// Sets bit `bit` (0 = least significant) when `value` is exactly 1, clears it for any other
/// value; other bit numbers change nothing.
void SetBit(uint8_t& byte, int value, int bit);
/// The unsigned value of bits (top - width + 1) .. top of `byte`.
int GetBits(int byte, int width, int top);
/// Writes the low `width` bits of `value` into bits (top - width + 1) .. top; a value below 0
/// or above 255 changes nothing.
void SetBits(uint8_t& byte, int width, int top, int value);
/// `width` characters "0"/"1", bit (width - 1) first.
std::string BitString(int byte, int width);
/// 1 for True, 0 for False.
int BoolToBit(bool flag);
/// True if the numeric value of the text, rounded to an integer, is not 0.
bool ValToBool(const std::string& text);

// ---- Other values ------------------------------------------------------------------------

/// Splits v into high and low byte; both 0xFF when v is negative.
void SplitWord(int32_t v, uint8_t& high, uint8_t& low);
/// Sum of `count` bytes from `start`, modulo 256.
int ByteSum(const Image& image, int start, int count);
/// Clamps `value` to -24..24 (replacing it) and returns the signed half-hour byte.
int EncodeHalfHours(int16_t& value);
/// Magnitude (bits 0..4), negated when bit 5 is clear.
int DecodeHalfHours(int byte);
/// Index of the first channel record with `Enable` True, -1 if none.
int FirstEnabledIndex(const ChannelTable& table);

// ---- Text --------------------------------------------------------------------------------

/// The character's code if it is in the text set, else 255 (also for an empty text).
int CharToCode(const std::string& character);
/// The character if the code is in the text set, else the empty text.
std::string CodeToChar(int code);
/// Up to `n` characters from `address`, stopping before the first byte outside the text set;
/// trailing spaces removed.
std::string ReadText(const Image& image, int address, int n);
/// 0xFF gives a space; a byte in the display set gives its character; else the empty text.
std::string ReadDisplayChar(const Image& image, int address);
/// Writes `n` bytes of `text` (0xFF past its end). With `pad` the text is first cut or
/// space-filled to `n` characters and that form replaces the argument.
void WriteText(Image& image, int address, std::string& text, int n, bool pad);
/// WriteText with the pad flag set: the argument is replaced by its padded form.
void WritePaddedText(Image& image, int address, std::string& text, int n);
/// The text up to its first NUL character; the empty text if it holds none.
std::string TrimAtNul(const std::string& text);

// What a field keeps of a value: the editors store these forms, so that what they show is
// what programming and a read give back.

/// What a text field of `n` characters keeps: the characters of the text set, in their
/// order (any other is dropped, where the field would end the text at it), at most `n` of
/// them, trailing spaces removed (a read drops them).
std::string KeptText(std::string_view text, int n);
/// What the channel display field of `n` characters keeps: letters in upper case, other
/// characters outside the display set dropped, cut or space-filled to `n` characters.
std::string KeptDisplayText(std::string_view text, int n);
/// What the 3-byte BCD frequency field gives back for `mhz`: rounded to 100 Hz; 0 for a
/// frequency the field leaves blank.
double KeptFrequency(double mhz);

// ---- BCD fields --------------------------------------------------------------------------
// A value that cannot be converted never raises an error here: the field is read or built as
// far as it goes. An address outside the image still throws ImageRangeError, before anything
// is written.

/// The 3-byte BCD frequency at `address` in MHz, or 0 for blank or out of range.
double ReadBcdFrequency(const Image& image, int address);
/// The three field bytes of a frequency in MHz (0xFF 0xFF 0xFF for 100 MHz or less).
std::array<uint8_t, 3> WriteBcdFrequency(double mhz);
/// Up to ten digits from the 5-byte digit string at `address`.
std::string ReadBcdDigits(const Image& image, int address);
/// Writes the 5-byte digit string; with `lastNibbleZero` the tenth nibble is forced to 0.
void WriteBcdDigits(Image& image, int address, const std::string& text, bool lastNibbleZero);

// ---- Display renderings ------------------------------------------------------------------

/// "---.---" for 0 or less, else "000.000".
std::string FormatFreq3(double mhz);
/// "---.---" when `blank` or 0 or less, else "000.000".
std::string FormatFreq3Blank(double mhz, bool blank);
/// "---.----" for 0 or less; else the snapped value (SnapFrequency) as "000.0000".
std::string FormatFreq4(double mhz);
/// A frequency that lies neither on the 5 kHz nor on the 12.5 kHz grid moved down to a
/// multiple of 5 kHz; any other frequency as it is.
double SnapFrequency(double mhz);
/// True when the frequency is a multiple of 25 kHz.
bool IsOn25kHzGrid(double mhz);
/// The 49 time offset texts, index 0 (-12:00) to 48 (+12:00).
const std::vector<std::string>& TimeOffsetList();
/// The text of a half-hour value -24..24; the empty text otherwise.
std::string TimeOffsetText(int halfHours);
/// "0" for 0, the number for 1..99, "00" for 100, else the empty text.
std::string ChannelNumberText(int statusNo);
/// "" for 0, "A" for 1, "B" for 2, else "".
std::string ChannelSuffixText(int statusIcon);
/// Prefix, catalogue channel number text and suffix of a standard channel.
std::string ChannelLabel(const ChannelRecord& record);
/// Receive frequency of the record's catalogue entry by `Duplex`, as FormatFreq3.
std::string CatalogueRxText(const ChannelRecord& record);
/// Transmit frequency of the record's catalogue entry by `Duplex`, blank without `TxEnable`.
std::string CatalogueTxText(const ChannelRecord& record);

}  // namespace mrw
