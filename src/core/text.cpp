#include "core/text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace mrw {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
}  // namespace

std::string Trim(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && IsBlank(text[b])) {
        ++b;
    }
    while (e > b && IsBlank(text[e - 1])) {
        --e;
    }
    return std::string(text.substr(b, e - b));
}

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
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
    return a.size() == b.size() && ToUpper(a) == ToUpper(b);
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
        return copy[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
    return v;
}
}  // namespace

double Val(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || text[i] == '\n' || text[i] == '\r')) {
        ++i;
    }
    size_t n = NumberLength(text, i);
    if (n == 0) {
        return 0.0;
    }
    double v = ToDouble(text.substr(i, n));
    return std::isfinite(v) ? v : 0.0;
}

std::optional<double> ParseNumber(std::string_view text) {
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
    // std::to_chars never consults the locale, so the separator is always a period.
    char buf[128];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    std::string s(buf, res.ptr);
    if (s.find('e') != std::string::npos) {
        res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 15);
        s.assign(buf, res.ptr);
        if (s.find('.') != std::string::npos) {
            while (!s.empty() && s.back() == '0') {
                s.pop_back();
            }
            if (!s.empty() && s.back() == '.') {
                s.pop_back();
            }
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return s;
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
    char buf[128];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    std::string s(buf, res.ptr);
    bool negative = !s.empty() && s[0] == '-';
    std::string body = negative ? s.substr(1) : s;
    size_t point = body.find('.');
    size_t whole = point == std::string::npos ? body.size() : point;
    if (static_cast<int>(whole) < intDigits) {
        body.insert(0, static_cast<size_t>(intDigits) - whole, '0');
    }
    return negative ? "-" + body : body;
}

}  // namespace mrw
