// Text and number helpers shared by the codec, the files and the link. They follow the
// conversion rules the radio's file formats were designed around: a number is read from the
// start of a text up to the first character that cannot belong to it, and doubles are written
// with a period whatever the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mrw {

/// The text without leading and trailing blanks (spaces and tabs).
std::string Trim(std::string_view text);
/// Trim without a copy: the part of `text` between its leading and trailing blanks.
std::string_view TrimView(std::string_view text);
/// The ASCII letter in upper case; any other character as it is.
inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
/// The text with ASCII letters in upper case.
std::string ToUpper(std::string_view text);
/// The text with ASCII letters in lower case.
std::string ToLower(std::string_view text);
/// True when both texts are equal ignoring the case of ASCII letters.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
/// True when `text` ends with `suffix`, ignoring case.
bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix);
/// Splits at every occurrence of `separator` (an empty text gives one empty piece).
std::vector<std::string> Split(std::string_view text, std::string_view separator);

/// The numeric value of the leading number of a text: blanks skipped, an optional sign,
/// digits with at most one period and an optional exponent. 0 when no number starts there, and
/// 0 too when that number is beyond the range of a double (1e999); `overflow`, when given, is
/// set in that case only, so that a caller can refuse the number as out of range. A number too
/// small for a double (1e-999) is 0 and no overflow.
double Val(std::string_view text, bool* overflow = nullptr);

/// The length of the number at the very start of `text` as Val reads it (sign, digits with at
/// most one period, exponent); 0 when no number starts there.
size_t LeadingNumberLength(std::string_view text);

/// The value of a text that is a number as a whole (blanks around it allowed), or nothing. A
/// number beyond the range of a double gives nothing as well; `overflow`, when given, is set
/// in that case only.
std::optional<double> ParseNumber(std::string_view text, bool* overflow = nullptr);

/// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

/// A double as plain decimal text rounded to 15 significant digits, with no trailing zeros, a
/// period as decimal separator and never an exponent (156.8 gives "156.8", 1e20 gives
/// "100000000000000000000"). Infinities and NaN give "0".
std::string FormatDouble(double value);

/// Uppercase hexadecimal of `value`, padded on the left with "0" to `width` characters and cut
/// to its last `width` characters.
std::string HexPad(uint32_t value, int width);

/// Fixed-point formatting of the binary value with the given number of decimals and at least
/// `intDigits` digits before the period (for example 156.025 with 3 and 3 gives "156.025").
/// Infinities and NaN are formatted as 0.
std::string FormatFixed(double value, int intDigits, int decimals);

/// Fixed-point formatting like FormatFixed, but rounding the text FormatDouble writes, half
/// away from zero, as a person reading that text rounds it: 156.03125 to four decimals gives
/// "156.0313" and 156.02505, held in binary just below that text, gives "156.0251".
std::string FormatFixedDecimal(double value, int intDigits, int decimals);

/// How many characters of a quoted text a message shows at most.
inline constexpr size_t kExcerptLength = 80;

/// `text` as a message may quote it on one readable line: control characters and line
/// breaks as escapes ("\0", "\n", "\r", "\t", "\x1B"), each byte that starts no valid
/// UTF-8 sequence as "\xHH", and after `most` characters of that the rest cut off with "...".
std::string OneLineExcerpt(std::string_view text, size_t most = kExcerptLength);

/// "PATH: the system's reason for error number `errorNumber`" ("No such file or directory").
std::string PathReason(std::string_view path, int errorNumber);

}  // namespace mrw
