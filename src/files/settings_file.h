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

/// One section of a parsed settings file: upper-cased name and (upper-cased key, value) entries,
/// with the line numbers (from 1) of the header and of each entry when parsed from a file.
struct SettingsSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> entries;
    int line = 0;
    std::vector<int> lines;
};

/// A part of a settings file that was not read as written (a section skipped, a damaged line,
/// a value that is no number): its line (from 1; 0 when not known) and what happened.
struct SettingsNote {
    int line = 0;
    std::string text;
    bool operator==(const SettingsNote&) const = default;
};

/// "Line 12: " and the note's text (the text alone when the line is not known).
std::string NoteLine(const SettingsNote& note);

/// The largest settings file the reader accepts; a real one is about 40 KB.
inline constexpr std::uintmax_t kMaxSettingsFileSize = 1024 * 1024;
/// The extension of a settings file name.
inline constexpr const char* kSettingsFileExtension = ".dat";
/// Filter of the Open and Save As dialogs of settings files.
inline constexpr const char* kSettingsFileFilter = "dat files(*.dat)|*.dat|All files(*.*)|*.*";

/// Parses a settings file's text into its sections; damaged section headers and NUL characters
/// in headers, keys and values are added to `notes` when given.
std::vector<SettingsSection> ParseSections(const std::string& text,
                                           std::vector<SettingsNote>* notes = nullptr);
/// Reads a settings file's text, once. False, with a description in `error`, when the file is
/// not a regular file, cannot be read or is larger than kMaxSettingsFileSize.
bool ReadSettingsText(const std::filesystem::path& path, std::string& text,
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
/// `atisSupported`, then the tables). Every number is read by one rule: a value that is no
/// number leaves its field as it was (a note says so), and a value its field cannot hold
/// (beyond the range of a double, NaN, infinite, or outside what the radio's field holds)
/// refuses the sections: false, with "Line N: [section] key=value is out of range." in `error`;
/// `model` is then partly changed. Sections that are not read (after a gap in a table, beyond
/// the records the radio holds) are added to `notes` when given.
bool ApplySettingsSections(const std::vector<SettingsSection>& sections, bool atisSupported,
                           DataModel& model, std::string* error = nullptr,
                           std::vector<SettingsNote>* notes = nullptr);
/// Applies a settings file to the data model after the model and region test, all or
/// nothing; the file is read once, and the test and the fields use what was read. False on
/// refusal or failure: the data model is left as it was and ErrorFlag is set (a failure, after
/// "FileRead Error!!" with its reason as a second line, sets CancelFlag too). What was not read
/// as written is added to `notes` when given, in line order.
bool ReadSettingsFile(Config& config, const std::filesystem::path& path,
                      std::vector<SettingsNote>* notes = nullptr);
/// The Open command after its dialog: reads the file; on success CurrentFileName, caption,
/// CancelFlag and DataChanged follow, the views show "General" again, and the notes of the
/// file, if any, are shown in one information box. True when the file was taken; CancelFlag
/// stays set otherwise.
bool OpenSettingsFile(Config& config, const std::filesystem::path& path);
/// The Save routine: into CurrentFileName when `useCurrentName` and it names a settings file
/// (".dat", any case), else through the Save As dialog: a raw image opened last is never
/// overwritten with settings text. Cancelled when no file name was chosen, Failed when the
/// file could not be written; CancelFlag stays set in both cases.
Outcome SaveSettings(Config& config, bool useCurrentName);

}  // namespace mrw
