// The settings file (".dat"): the program's own INI-style text form of the data model.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/config.h"

namespace mrw {

/// One section of a parsed settings file: upper-cased name and (upper-cased key, value) entries.
struct SettingsSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

/// Parses a settings file's text into its sections.
std::vector<SettingsSection> ParseSections(const std::string& text);
/// The first value of `key` in a section named `section` (both ignoring case), or "".
std::string LookupValue(const std::vector<SettingsSection>& sections, const std::string& section,
                        const std::string& key);

/// The settings file text of the configuration (CR LF line ends).
std::string SettingsFileText(const Config& config);
/// Writes the settings file atomically; on failure logs, shows "FileSave Error!!" and sets
/// ErrorFlag and CancelFlag, leaving any existing file whole.
void WriteSettingsFile(Config& config, const std::filesystem::path& path);
/// Applies a settings file to the data model after the model and region test.
void ReadSettingsFile(Config& config, const std::filesystem::path& path);
/// The Save routine: into CurrentFileName when `useCurrentName` and there is one, else through
/// the Save As dialog. CancelFlag stays set when cancelled or failed.
void SaveSettings(Config& config, bool useCurrentName);

}  // namespace mrw
