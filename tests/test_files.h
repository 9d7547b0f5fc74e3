// Small helpers shared by tests: the files a command wrote, and case tables kept in tests/data.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace mrw::testing {

/// The whole content of a file, byte for byte (empty when it cannot be read).
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

/// The bytes of a file (empty when it cannot be read).
inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

#ifdef MRW_TEST_BIN_DIR
/// The folder of the built programs: $MRW_BIN_DIR, else the build's own.
inline std::filesystem::path ProgramBinDir() {
    const char* dir = std::getenv("MRW_BIN_DIR");
    return dir != nullptr && *dir != '\0' ? dir : MRW_TEST_BIN_DIR;
}

#endif

#ifdef MRW_TEST_SOURCE_DIR
/// A file of the test data folder, tests/data/<name>.
inline std::filesystem::path TestData(const std::string& name) {
    return std::filesystem::path(MRW_TEST_SOURCE_DIR) / "tests" / "data" / name;
}
#endif

/// One case of a case table: its fields and where it stands, for SCOPED_TRACE.
struct Case {
    std::string where;  // "file:line"
    std::vector<std::string> fields;
    const std::string& operator[](size_t k) const { return fields.at(k); }
};

/// A field's text with its escapes resolved: \n \r \t \\ \| and \xHH stand for those bytes.
inline std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        if (c == 'n') {
            out += '\n';
        } else if (c == 'r') {
            out += '\r';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::strtol(s.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += c;  // \\ and \|
        }
    }
    return out;
}

/// Reads a case table: one case a line, fields separated by " | " (spaces around the bar are
/// trimmed), escapes as in Unescape. Blank lines and lines starting with '#' are skipped.
/// A file that cannot be read or holds no case throws: a table that went missing must fail.
inline std::vector<Case> ReadCases(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::vector<Case> cases;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos || line[0] == '#') {
            continue;
        }
        Case c{path.filename().string() + ":" + std::to_string(number), {}};
        std::string field;
        for (size_t i = 0; i <= line.size(); ++i) {
            if (i == line.size() || (line[i] == '|' && (i == 0 || line[i - 1] != '\\'))) {
                const size_t a = field.find_first_not_of(' ');
                const size_t b = field.find_last_not_of(' ');
                c.fields.push_back(
                    Unescape(a == std::string::npos ? "" : field.substr(a, b - a + 1)));
                field.clear();
            } else {
                field += line[i];
            }
        }
        cases.push_back(std::move(c));
    }
    if (cases.empty()) {
        throw std::runtime_error(path.string() + " holds no case");
    }
    return cases;
}

}  // namespace mrw::testing
