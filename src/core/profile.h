// Reading single values from INI-style profile files (global.ini, the MAIN section of a
// settings file).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mrw {

/// The value of `key` in `section` of the profile file: the first match, section and key
/// compared ignoring case, surrounding blanks trimmed, at most 128 characters, one leading
/// "#" removed. A missing file, section or key, or the value "<NONE>", gives the empty text.
std::string ReadProfileValue(const std::filesystem::path& file, const std::string& section,
                             const std::string& key);
/// The same lookup in the text of a profile file already read; `line`, when given, is the
/// line number (from 1) of the key found, 0 when none was.
std::string ProfileTextValue(std::string_view text, const std::string& section,
                             const std::string& key, int* line = nullptr);

}  // namespace mrw
