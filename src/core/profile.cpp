#include "core/profile.h"

#include <exception>
#include <fstream>
#include <string_view>

#include "core/file_read.h"
#include "core/text.h"

namespace mrw {

namespace {

// What the lookup ever keeps of a value, and the most it reads of a file whatever the file
// holds: a profile file is a few hundred bytes, anything far larger is not one.
constexpr size_t kValueLimit = 128;
constexpr size_t kLineLimit = 4096;
constexpr std::streamsize kFileLimit = 4 * 1024 * 1024;
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

// Reads the next line of at most kLineLimit characters; the rest of a longer line is skipped.
// Returns false at the end of the file or of the read budget.
bool NextLine(std::istream& in, std::string& line, std::streamsize& budget) {
    line.clear();
    if (budget <= 0) {
        return false;
    }
    bool any = false;
    std::streambuf* buf = in.rdbuf();
    while (budget > 0) {
        int c = buf->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            return any;
        }
        --budget;
        any = true;
        if (c == '\n') {
            return true;
        }
        if (line.size() < kLineLimit) {
            line.push_back(static_cast<char>(c));
        }
    }
    return any;
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

std::string Lookup(const std::filesystem::path& file, const std::string& section,
                   const std::string& key) {
    std::ifstream in;
    if (!OpenRegularFile(file, in)) {
        return "";
    }
    std::streamsize budget = kFileLimit;
    std::string line;
    bool inSection = false;
    bool first = true;
    while (NextLine(in, line, budget)) {
        std::string_view view = line;
        if (first) {
            first = false;
            if (view.starts_with("\xEF\xBB\xBF")) {  // UTF-8 byte order mark
                view.remove_prefix(3);
            }
        }
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
        return Lookup(file, section, key);
    } catch (const std::exception&) {
        return "";
    }
}

}  // namespace mrw
