#include "core/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace mrw {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::string_view TrimView(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && IsBlank(text[b])) {
        ++b;
    }
    while (e > b && IsBlank(text[e - 1])) {
        --e;
    }
    return text.substr(b, e - b);
}

std::string Trim(std::string_view text) {
    return std::string(TrimView(text));
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = UpperAscii(c);
    }
    return out;
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool EndsWithIgnoreCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    if (separator.empty()) {
        parts.emplace_back(text);
        return parts;
    }
    size_t start = 0;
    while (true) {
        size_t pos = text.find(separator, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + separator.size();
    }
}

namespace {
// Length of the number that starts at `i` (sign, digits, one period, exponent), 0 if none.
size_t NumberLength(std::string_view s, size_t i) {
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
        ++j;
    }
    size_t digits = 0;
    bool period = false;
    while (j < s.size()) {
        char c = s[j];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            ++digits;
        } else if (c == '.' && !period) {
            period = true;
        } else {
            break;
        }
        ++j;
    }
    if (digits == 0) {
        return 0;
    }
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E' || s[j] == 'd' || s[j] == 'D')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) {
            ++k;
        }
        size_t expDigits = 0;
        while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            ++k;
            ++expDigits;
        }
        if (expDigits > 0) {
            j = k;
        }
    }
    return j - i;
}

// For the text of a number that a double cannot hold: true when it is too large, false when
// it is too small. Its first significant digit then stands before the period once the exponent
// is applied.
bool IsTooLarge(std::string_view s) {
    size_t i = !s.empty() && s[0] == '-' ? 1 : 0;
    long long wholeDigits = 0;
    long long index = 0;
    long long first = -1;
    bool period = false;
    for (; i < s.size() && s[i] != 'e' && s[i] != 'E'; ++i) {
        if (s[i] == '.') {
            period = true;
            continue;
        }
        if (first < 0 && s[i] != '0') {
            first = index;
        }
        wholeDigits += period ? 0 : 1;
        ++index;
    }
    if (first < 0) {
        return false;
    }
    long long exponent = 0;
    bool negative = false;
    if (i + 1 < s.size()) {
        ++i;
        if (s[i] == '+' || s[i] == '-') {
            negative = s[i] == '-';
            ++i;
        }
        for (; i < s.size() && exponent < 1000000000; ++i) {
            exponent = exponent * 10 + (s[i] - '0');
        }
    }
    return wholeDigits - 1 - first + (negative ? -exponent : exponent) > 0;
}

// The value of a text that NumberLength accepted whole; a number too large for a double gives
// an infinity of its sign, one too small gives zero.
double ToDouble(std::string_view s) {
    // std::from_chars ignores the locale, unlike strtod, and takes no leading "+".
    std::string copy(s);
    for (char& c : copy) {
        if (c == 'd' || c == 'D') {
            c = 'e';
        }
    }
    if (!copy.empty() && copy[0] == '+') {
        copy.erase(0, 1);
    }
    double v = 0.0;
    auto res = std::from_chars(copy.data(), copy.data() + copy.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        double magnitude = IsTooLarge(copy) ? HUGE_VAL : 0.0;
        return copy[0] == '-' ? -magnitude : magnitude;
    }
    return v;
}

// std::to_chars into a string that grows until the text fits.
std::string ToChars(double value, std::chars_format format, int precision) {
    std::string out(64, '\0');
    while (true) {
        auto res = std::to_chars(out.data(), out.data() + out.size(), value, format, precision);
        if (res.ec == std::errc()) {
            out.resize(static_cast<size_t>(res.ptr - out.data()));
            return out;
        }
        out.resize(out.size() * 2);
    }
}
}  // namespace

size_t LeadingNumberLength(std::string_view text) {
    return NumberLength(text, 0);
}

double Val(std::string_view text, bool* overflow) {
    if (overflow != nullptr) {
        *overflow = false;
    }
    size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || text[i] == '\n' || text[i] == '\r')) {
        ++i;
    }
    size_t n = NumberLength(text, i);
    if (n == 0) {
        return 0.0;
    }
    double v = ToDouble(text.substr(i, n));
    if (std::isfinite(v)) {
        return v;
    }
    if (overflow != nullptr) {
        *overflow = true;
    }
    return 0.0;
}

std::optional<double> ParseNumber(std::string_view text, bool* overflow) {
    if (overflow != nullptr) {
        *overflow = false;
    }
    std::string t = Trim(text);
    if (t.empty()) {
        return std::nullopt;
    }
    size_t n = NumberLength(t, 0);
    if (n == 0 || n != t.size()) {
        return std::nullopt;
    }
    double v = ToDouble(t);
    if (!std::isfinite(v)) {
        if (overflow != nullptr) {
            *overflow = true;
        }
        return std::nullopt;
    }
    return v;
}

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

std::string FormatDouble(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    // 15 significant digits in scientific form ("-1.56800000000000e+02"), then written out in
    // plain decimal. std::to_chars never consults the locale: the separator is a period.
    const std::string sci = ToChars(value, std::chars_format::scientific, 14);
    const bool negative = sci[0] == '-';
    const size_t e = sci.find('e');
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < e; ++i) {
        if (sci[i] != '.') {
            digits += sci[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    if (digits == "0") {
        return "0";
    }
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);
    const auto whole = static_cast<long>(exponent) + 1;  // digits before the period
    std::string text;
    if (whole <= 0) {
        text = "0." + std::string(static_cast<size_t>(-whole), '0') + digits;
    } else if (static_cast<size_t>(whole) >= digits.size()) {
        text = digits + std::string(static_cast<size_t>(whole) - digits.size(), '0');
    } else {
        text = digits.substr(0, static_cast<size_t>(whole)) + "." +
               digits.substr(static_cast<size_t>(whole));
    }
    return negative ? "-" + text : text;
}

std::string HexPad(uint32_t value, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", value);
    std::string s(buf);
    if (width <= 0) {
        return {};
    }
    if (static_cast<int>(s.size()) < width) {
        s.insert(0, static_cast<size_t>(width) - s.size(), '0');
    }
    return s.substr(s.size() - static_cast<size_t>(width));
}

std::string FormatFixed(double value, int intDigits, int decimals) {
    std::string s = ToChars(std::isfinite(value) ? value : 0.0, std::chars_format::fixed, decimals);
    bool negative = !s.empty() && s[0] == '-';
    std::string body = negative ? s.substr(1) : s;
    size_t point = body.find('.');
    size_t whole = point == std::string::npos ? body.size() : point;
    if (static_cast<int>(whole) < intDigits) {
        body.insert(0, static_cast<size_t>(intDigits) - whole, '0');
    }
    return negative ? "-" + body : body;
}

std::string FormatFixedDecimal(double value, int intDigits, int decimals) {
    std::string text = FormatDouble(value);
    const bool negative = text[0] == '-';
    if (negative) {
        text.erase(0, 1);
    }
    const size_t point = text.find('.');
    const size_t places = decimals > 0 ? static_cast<size_t>(decimals) : 0;
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const bool up = fraction.size() > places && fraction[places] >= '5';
    fraction.resize(places, '0');
    std::string digits = text.substr(0, point) + fraction;
    if (up) {  // one unit in the last place kept, carried leftwards
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(0, "1");
        } else {
            ++digits[i - 1];
        }
    }
    std::string whole = digits.substr(0, digits.size() - places);
    if (static_cast<int>(whole.size()) < intDigits) {
        whole.insert(0, static_cast<size_t>(intDigits) - whole.size(), '0');
    }
    std::string out = places > 0 ? whole + "." + digits.substr(digits.size() - places) : whole;
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    return negative && !zero ? "-" + out : out;
}

namespace {

// The length of the valid UTF-8 sequence at the start of `text` and its code point; 0 when
// the first byte starts none (overlong forms, surrogates and values past U+10FFFF included).
size_t Utf8Sequence(std::string_view text, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead < 0x80                    ? 1
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                         : 0;
    if (length == 0 || length > text.size()) {
        return 0;
    }
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[k]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    constexpr char32_t kLowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLowest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::string HexEscape(unsigned value, int digits, const char* prefix) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out = prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
    return out;
}

}  // namespace

std::string OneLineExcerpt(std::string_view text, size_t most) {
    std::string out;
    size_t shown = 0;  // characters of `out`, an escape counting as its length
    size_t i = 0;
    while (i < text.size()) {
        char32_t code = 0;
        const size_t length = Utf8Sequence(text.substr(i), code);
        std::string piece;
        if (length == 0) {
            piece = HexEscape(static_cast<unsigned char>(text[i]), 2, "\\x");
        } else if (code == 0) {
            piece = "\\0";
        } else if (code == '\n') {
            piece = "\\n";
        } else if (code == '\r') {
            piece = "\\r";
        } else if (code == '\t') {
            piece = "\\t";
        } else if (code < 0x20 || code == 0x7F) {
            piece = HexEscape(code, 2, "\\x");
        } else if ((code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029) {
            piece = HexEscape(code, 4, "\\u");  // C1 controls and the Unicode line breaks
        } else {
            piece = std::string(text.substr(i, length));
        }
        const size_t width = length > 1 && piece.size() == length ? 1 : piece.size();
        if (shown + width > most) {
            return out + "...";
        }
        out += piece;
        shown += width;
        i += length == 0 ? 1 : length;
    }
    return out;
}

std::string PathReason(std::string_view path, int errorNumber) {
    return std::string(path) + ": " + std::strerror(errorNumber);
}

}  // namespace mrw
