// Paths and the program's text: file names are UTF-8 in every message, setting and argument,
// on every system. A path made from such text, or shown as text, goes through these two (on
// Windows the plain conversions would use the ANSI code page instead).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mrw {

/// The path named by UTF-8 text.
inline std::filesystem::path PathOf(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

/// The UTF-8 text of a path.
inline std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace mrw
