// The settings file (".dat"): the program's own INI-style text form of the data model.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/config.h"
#include "core/outcome.h"

namespace mrw {

/// One section of a parsed settings file: upper-cased name and (upper-cased key, value) entries.
struct SettingsSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
};

/// The largest settings file the reader accepts; a real one is about 40 KB.
inline constexpr std::uintmax_t kMaxSettingsFileSize = 1024 * 1024;
/// The extension of a settings file name.
inline constexpr const char* kSettingsFileExtension = ".dat";
/// Filter of the Open and Save As dialogs of settings files.
inline constexpr const char* kSettingsFileFilter = "dat files(*.dat)|*.dat|All files(*.*)|*.*";

/// Parses a settings file's text into its sections.
std::vector<SettingsSection> ParseSections(const std::string& text);
/// Reads and parses a settings file. False, with a description in `error`, when the file is
/// not a regular file, cannot be read or is larger than kMaxSettingsFileSize.
bool ReadSettingsSections(const std::filesystem::path& path, std::vector<SettingsSection>& sections,
                          std::string* error = nullptr);
/// The first value of `key` in a section named `section` (both ignoring case), or "".
std::string LookupValue(const std::vector<SettingsSection>& sections, const std::string& section,
                        const std::string& key);

/// The settings file text of the configuration (CR LF line ends).
std::string SettingsFileText(const Config& config);
/// Writes the settings file atomically. False on failure, after the error log entry and
/// "FileSave Error!!", with ErrorFlag and CancelFlag set and any existing file left whole.
bool WriteSettingsFile(Config& config, const std::filesystem::path& path);
/// Applies parsed sections to `model` (the setup sections, the ATIS ones only with
/// `atisSupported`, then the tables). False, with a description in `error`, when a value
/// cannot be held (a channel position outside 16 bits, a frequency that is negative or of
/// 1000 MHz or more, a number beyond the range of a double); `model` is then partly changed.
bool ApplySettingsSections(const std::vector<SettingsSection>& sections, bool atisSupported,
                           DataModel& model, std::string* error = nullptr);
/// Applies a settings file to the data model after the model and region test, all or
/// nothing. False on refusal or failure: the data model is left as it was and ErrorFlag is
/// set (a failure, after "FileRead Error!!", sets CancelFlag too).
bool ReadSettingsFile(Config& config, const std::filesystem::path& path);
/// The Open command after its dialog: reads the file; on success CurrentFileName, caption,
/// CancelFlag and DataChanged follow, and the views show "General" again. True when the file
/// was taken; CancelFlag stays set otherwise.
bool OpenSettingsFile(Config& config, const std::filesystem::path& path);
/// The Save routine: into CurrentFileName when `useCurrentName` and it names a settings file
/// (".dat", any case), else through the Save As dialog: a raw image opened last is never
/// overwritten with settings text. Cancelled when no file name was chosen, Failed when the
/// file could not be written; CancelFlag stays set in both cases.
Outcome SaveSettings(Config& config, bool useCurrentName);

}  // namespace mrw
