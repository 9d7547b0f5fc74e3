#include "files/ini_settings.h"

#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "core/file_read.h"
#include "core/path_text.h"
#include "core/text.h"
#include "files/atomic_file.h"

namespace mrw {

namespace {

/// The largest settings file read.
constexpr std::uintmax_t kIniReadLimit = 4 * 1024 * 1024;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

/// The code points of a UTF-8 text; a byte that starts no valid sequence stands for itself.
std::vector<char32_t> CodePoints(std::string_view text) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        const int length = b < 0x80         ? 1
                           : (b >> 5) == 6  ? 2
                           : (b >> 4) == 14 ? 3
                           : (b >> 3) == 30 ? 4
                                            : 0;
        char32_t c = length == 1   ? b
                     : length == 2 ? (b & 0x1F)
                     : length == 3 ? (b & 0x0F)
                                   : (b & 0x07);
        bool valid = length > 0 && i + length <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        points.push_back(valid ? c : b);
        i += valid ? length : 1;
    }
    return points;
}

/// UTF-16 code units to UTF-8, surrogate pairs joined.
std::string FromUtf16(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        AppendUtf8(out, c);
    }
    return out;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string Hex(unsigned value, int digits, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), set[value % 16]);
        value /= 16;
    } while (value != 0 || static_cast<int>(text.size()) < digits);
    return text;
}

/// A section or key name of the file: "\" is "/", %XX and %UXXXX are UTF-16 code units.
std::string UnescapeKey(std::string_view key) {
    std::u16string units;
    for (char32_t c : CodePoints(key)) {
        if (c >= 0x10000) {
            units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    std::u16string out;
    for (size_t i = 0; i < units.size();) {
        if (units[i] == u'\\') {
            out += u'/';
            ++i;
            continue;
        }
        if (units[i] != u'%' || i + 1 == units.size()) {
            out += units[i++];
            continue;
        }
        const size_t first = units[i + 1] == u'U' ? i + 2 : i + 1;
        const size_t digits = units[i + 1] == u'U' ? 4 : 2;
        unsigned value = 0;
        bool ok = first + digits <= units.size();
        for (size_t k = 0; ok && k < digits; ++k) {
            const char16_t u = units[first + k];
            const int h = u < 0x80 ? HexValue(static_cast<char>(u)) : -1;
            ok = h >= 0;
            value = value * 16 + static_cast<unsigned>(h);
        }
        if (!ok) {
            out += u'%';
            ++i;
            continue;
        }
        out += static_cast<char16_t>(value);
        i = first + digits;
    }
    return FromUtf16(out);
}

/// One logical line of the file: [start, start + length), with the position of its "=" (npos
/// when none). A line ends at a line break outside quotes or at a ";" that starts a comment.
struct IniLine {
    size_t start = 0;
    size_t length = 0;
    size_t equals = std::string::npos;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

/// The next logical line from `pos` on, as QSettings splits its files; false at the end.
bool NextLine(std::string_view data, size_t& pos, IniLine& line) {
    bool inQuotes = false;
    line.equals = std::string::npos;
    line.start = pos;
    while (line.start < data.size() && IsSpace(data[line.start])) {
        ++line.start;
    }
    size_t i = line.start;
    while (i < data.size()) {
        while (i < data.size() && !IsSpecial(data[i])) {
            ++i;
        }
        if (i == data.size()) {
            break;
        }
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && line.equals == std::string::npos) {
                line.equals = i - 1;
            }
        } else if (c == '\n' || c == '\r') {
            if (i == line.start + 1) {
                ++line.start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < data.size()) {
                const char escaped = data[i++];
                if (i < data.size() && ((escaped == '\n' && data[i] == '\r') ||
                                        (escaped == '\r' && data[i] == '\n'))) {
                    ++i;
                }
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (i == line.start + 1) {  // ';' starting a line: a comment line
            while (i < data.size() && data[i] != '\n' && data[i] != '\r') {
                ++i;
            }
            while (i < data.size() && IsSpace(data[i])) {
                ++i;
            }
            line.start = i;
        } else if (!inQuotes) {  // ';' after a value: the rest is a comment
            --i;
            break;
        }
    }
    pos = i;
    line.length = i - line.start;
    return line.length > 0;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

/// Where a key lies in the file text.
struct Found {
    std::optional<IniLine> entry;      ///< The key's line (the last when repeated).
    std::optional<size_t> sectionEnd;  ///< End of the last line of the section.
    std::string value;                 ///< The key's value.
};

Found Find(std::string_view text, const std::string& section, const std::string& key) {
    Found found;
    size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::optional<std::string> current = std::string();
    IniLine line;
    while (NextLine(text, pos, line)) {
        const std::string_view content = text.substr(line.start, line.length);
        if (content.front() == '[') {
            const size_t close = content.find(']');
            const std::string_view name =
                TrimBlanks(content.substr(1, close == std::string_view::npos ? close : close - 1));
            const std::string lower = ToLower(name);
            current = lower == "general"    ? std::string()
                      : lower == "%general" ? std::string(name.substr(1))
                                            : UnescapeKey(name);
        } else if (line.equals == std::string::npos) {
            continue;
        } else if (*current == section) {
            const size_t equals = line.equals - line.start;
            if (UnescapeKey(TrimBlanks(content.substr(0, equals))) == key) {
                found.entry = line;
                found.value = IniUnescapeValue(content.substr(equals + 1));
            }
        }
        if (*current == section) {
            found.sectionEnd = line.start + line.length;
        }
    }
    return found;
}

}  // namespace

std::string IniEscapeKey(std::string_view key) {
    std::string out;
    for (char32_t c : CodePoints(key)) {
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += "%" + Hex(c, 2, true);
        } else if (c < 0x10000) {
            out += "%U" + Hex(c, 4, true);
        } else {
            out += "%U" + Hex(0xD800 + ((c - 0x10000) >> 10), 4, true);
            out += "%U" + Hex(0xDC00 + ((c - 0x10000) & 0x3FF), 4, true);
        }
    }
    return out;
}

std::string IniEscapeValue(std::string_view value) {
    std::string text(value);
    if (text.find('\0') != std::string::npos) {
        text = "@String(" + text + ")";
    } else if (!text.empty() && text.front() == '@') {
        text.insert(text.begin(), '@');
    }
    std::string out;
    bool quotes = false;
    bool escapeNextIfHex = false;
    for (char32_t c : CodePoints(text)) {
        quotes = quotes || c == ';' || c == ',' || c == '=';
        if (escapeNextIfHex && c < 0x80 && HexValue(static_cast<char>(c)) >= 0) {
            out += "\\x" + Hex(c, 1, false);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
            case '\0':
                out += "\\0";
                escapeNextIfHex = true;
                break;
            case '\a':
                out += "\\a";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\v':
                out += "\\v";
                break;
            case '"':
            case '\\':
                out += '\\';
                out += static_cast<char>(c);
                break;
            default:
                if (c <= 0x1F) {
                    out += "\\x" + Hex(c, 1, false);
                    escapeNextIfHex = true;
                } else {
                    AppendUtf8(out, c);
                }
        }
    }
    if (quotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) {
        out = '"' + out + '"';
    }
    return out;
}

std::string IniUnescapeValue(std::string_view text) {
    std::string result;
    int values = 1;
    bool inQuotes = false;
    bool quoted = false;
    size_t chopLimit = 0;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
            ++i;
        }
        chopLimit = result.size();
    };
    auto chop = [&] {
        while (result.size() > chopLimit && (result.back() == ' ' || result.back() == '\t')) {
            result.pop_back();
        }
    };
    skipBlanks();
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\\') {
            if (++i >= text.size()) {
                break;
            }
            const char e = text[i++];
            static constexpr std::pair<char, char> kCodes[] = {
                {'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool simple = false;
            for (auto [code, value] : kCodes) {
                if (e == code) {
                    result += value;
                    simple = true;
                }
            }
            if (simple) {
                chopLimit = result.size();
                continue;
            }
            const int base = e == 'x' ? 16 : (e >= '0' && e <= '7') ? 8 : 0;
            if (base == 16 && (i >= text.size() || HexValue(text[i]) < 0)) {
                if (i >= text.size()) {
                    break;
                }
                chopLimit = result.size();
                continue;
            }
            if (base != 0) {
                auto digit = [&](char d) {
                    return base == 16 ? HexValue(d) : (d >= '0' && d <= '7' ? d - '0' : -1);
                };
                char32_t value = base == 8 ? static_cast<char32_t>(e - '0') : 0;
                while (i < text.size() && digit(text[i]) >= 0) {
                    value = value * base + static_cast<char32_t>(digit(text[i++]));
                }
                AppendUtf8(result, value & 0xFFFF);
            } else if ((e == '\n' || e == '\r') && i < text.size() &&
                       (text[i] == '\n' || text[i] == '\r') && text[i] != e) {
                ++i;  // a line continued after "\"
            }
            chopLimit = result.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipBlanks();
            }
        } else if (c == ',' && !inQuotes) {
            ++values;
            result.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            result += c;
            ++i;
        }
    }
    if (!quoted) {
        chop();
    }
    if (values > 1) {
        return {};
    }
    const auto wrapped = [&](std::string_view head) {
        return result.size() > head.size() && result.rfind(head, 0) == 0 && result.back() == ')';
    };
    if (wrapped("@String(")) {
        return result.substr(8, result.size() - 9);
    }
    if (wrapped("@ByteArray(")) {
        std::string bytes;
        for (char32_t c : CodePoints(result.substr(11, result.size() - 12))) {
            bytes += static_cast<char>(c & 0xFF);
        }
        return bytes;
    }
    if (result == "@Invalid()") {
        return {};
    }
    if (result.rfind("@@", 0) == 0) {
        return result.substr(1);
    }
    return result;
}

IniSettingsStore::IniSettingsStore(std::filesystem::path file) : file_(std::move(file)) {
    Load();
}

bool IniSettingsStore::Load() {
    std::string error;
    if (ReadRegularFile(file_, kIniReadLimit + 1, text_, &error) && text_.size() <= kIniReadLimit) {
        return true;
    }
    text_.clear();
    // A missing file is an empty one; a file that is there but cannot be read is not.
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file_, ec))) {
        return true;
    }
    lastError_ = PathText(file_) + ": cannot be read" + (error.empty() ? "" : " (" + error + ")");
    return false;
}

std::string IniSettingsStore::Get(const std::string& section, const std::string& key,
                                  const std::string& fallback) {
    Found found = Find(text_, section, key);
    return found.entry ? found.value : fallback;
}

void IniSettingsStore::Set(const std::string& section, const std::string& key,
                           const std::string& value) {
    lastError_.clear();
    if (!Load()) {
        return;  // writing would lose what the file holds
    }
    const Found found = Find(text_, section, key);
    if (found.entry && found.value == value) {
        return;
    }
    const std::string line = IniEscapeKey(key) + "=" + IniEscapeValue(value);
#ifdef _WIN32
    const char* systemBreak = "\r\n";
#else
    const char* systemBreak = "\n";
#endif
    const std::string lineBreak = text_.find("\r\n") != std::string::npos ? "\r\n"
                                  : text_.empty()                         ? systemBreak
                                                                          : "\n";
    if (found.entry) {
        size_t length = found.entry->length;  // blanks before a comment stay
        while (length > 0 && (text_[found.entry->start + length - 1] == ' ' ||
                              text_[found.entry->start + length - 1] == '\t')) {
            --length;
        }
        text_.replace(found.entry->start, length, line);
    } else if (found.sectionEnd) {
        // After the line break that ends the section's last line (a comment may follow it).
        size_t at = text_.find_first_of("\r\n", *found.sectionEnd);
        if (at == std::string::npos) {
            text_ += lineBreak + line;
        } else {
            at += text_.compare(at, 2, "\r\n") == 0 ? 2 : 1;
            text_.insert(at, line + lineBreak);
        }
    } else {
        if (!text_.empty() && text_.back() != '\n' && text_.back() != '\r') {
            text_ += lineBreak;
        }
        if (!text_.empty()) {
            text_ += lineBreak;
        }
        std::string name = IniEscapeKey(section);
        if (ToLower(name) == "general") {
            name.insert(name.begin(), '%');  // [General] holds the keys of no section
        }
        text_ += "[" + name + "]" + lineBreak + line + lineBreak;
    }
    std::error_code ignored;
    if (file_.has_parent_path()) {
        std::filesystem::create_directories(file_.parent_path(), ignored);
    }
    WriteFileAtomically(file_, text_, &lastError_);
}

}  // namespace mrw
