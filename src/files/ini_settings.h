// The desktop program's settings file read and written without Qt: the INI text QSettings
// keeps (IniFormat), so that mrw-cli sees the port the user chose in the window and the
// window sees what mrw-cli stored.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/services.h"

namespace mrw {

/// Values of an INI file as QSettings writes it: "[Section]" lines as groups, "key=value"
/// lines, values quoted when they must be, with the escapes \" \\ \n \t \xHH and UTF-8 text.
/// A missing or unreadable file reads as empty and a line that cannot be read is skipped.
/// Set() rewrites only the line of its key (or adds one) and keeps every other line, known or
/// not, as it was; the file is replaced atomically. A file that is there but cannot be read
/// (or is larger than 4 MiB) is never written over.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(std::filesystem::path file);

    std::string Get(const std::string& section, const std::string& key,
                    const std::string& fallback = "") override;
    /// Stores the value and writes the file at once (its folder made when missing), after
    /// reading it again for what another program stored meanwhile. A value the file holds
    /// already is not written again.
    void Set(const std::string& section, const std::string& key, const std::string& value) override;

    const std::filesystem::path& FileName() const { return file_; }
    /// Why the last Set() could not read or write the file, empty when it could.
    const std::string& LastError() const { return lastError_; }

private:
    /// Reads the file again; false (with the reason kept) when it is there and cannot be read.
    bool Load();

    std::filesystem::path file_;
    std::string text_;
    std::string lastError_;
};

/// The INI text of one value as QSettings writes a string: quoted when it holds ";", ","
/// or "=" or begins or ends with a blank, control characters escaped, "@" doubled in front.
std::string IniEscapeValue(std::string_view value);
/// The string a QSettings value text stands for (quotes, escapes, "@@"); a list of several
/// values (unquoted commas) reads as empty, as QSettings gives it as a string.
std::string IniUnescapeValue(std::string_view text);
/// A section or key name as QSettings writes it: letters, digits, "_", "-" and "." as they
/// are, "/" as "\", anything else as %XX or %UXXXX.
std::string IniEscapeKey(std::string_view key);

}  // namespace mrw
