#include "core/profile.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "core/file_read.h"
#include "core/text.h"

namespace mrw {

namespace {

// What the lookup ever keeps of a value, and the most it reads of a file whatever the file
// holds: a profile file is a few hundred bytes, anything far larger is not one.
constexpr size_t kValueLimit = 128;
constexpr size_t kLineLimit = 4096;
constexpr std::uintmax_t kFileLimit = 4 * 1024 * 1024;
constexpr std::string_view kNoneValue = "<NONE>";

// Blanks, including carriage returns left by other line endings and the NULs of binary junk.
std::string_view TrimAll(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string FinishValue(std::string_view value) {
    std::string text(value.substr(0, kValueLimit));
    if (text == kNoneValue) {
        return "";
    }
    if (!text.empty() && text.front() == '#') {
        text.erase(0, 1);
    }
    return text;
}

std::string Lookup(std::string_view text, const std::string& section, const std::string& key,
                   int* lineNumber) {
    bool inSection = false;
    int number = 0;
    if (text.starts_with("\xEF\xBB\xBF")) {  // UTF-8 byte order mark
        text.remove_prefix(3);
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view view = text.substr(0, std::min(end, kLineLimit));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        view = TrimAll(view);
        if (view.empty() || view.front() == ';') {
            continue;
        }
        if (view.front() == '[') {
            size_t close = view.find(']');
            if (close != std::string_view::npos) {
                inSection = EqualsIgnoreCase(TrimAll(view.substr(1, close - 1)), section);
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        size_t eq = view.find('=');
        if (eq == std::string_view::npos) {
            continue;
        }
        if (EqualsIgnoreCase(TrimAll(view.substr(0, eq)), key)) {
            if (lineNumber != nullptr) {
                *lineNumber = number;
            }
            return FinishValue(TrimAll(view.substr(eq + 1)));
        }
    }
    return "";
}

}  // namespace

std::string ReadProfileValue(const std::filesystem::path& file, const std::string& section,
                             const std::string& key) {
    // A folder, device or unreadable file is no profile file; a read error ends the lookup.
    try {
        std::string text;
        if (!ReadRegularFile(file, kFileLimit, text)) {
            return "";
        }
        return Lookup(text, section, key, nullptr);
    } catch (const std::exception&) {
        return "";
    }
}

std::string ProfileTextValue(std::string_view text, const std::string& section,
                             const std::string& key, int* line) {
    if (line != nullptr) {
        *line = 0;
    }
    return Lookup(text, section, key, line);
}

}  // namespace mrw
