// The File > Open Recent list: the settings files last opened or saved, newest first, kept in
// the per-user settings store.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/services.h"

namespace mrw {

/// How many files the list keeps.
inline constexpr int kRecentFilesMax = 8;
/// Where the list is stored: section "RecentFiles", keys "File1" (newest) to "File8".
inline constexpr const char* kRecentFilesSection = "RecentFiles";
inline constexpr const char* kRecentFileKey = "File";

/// `path` made absolute and normal ("a/../b.dat" in /home/u gives /home/u/b.dat), the form in
/// which the list keeps and compares its paths.
std::string RecentFilePath(const std::filesystem::path& path);

/// `list` with `path` put in front: an entry naming the same file is removed first, and the
/// list is cut to kRecentFilesMax entries.
std::vector<std::string> WithRecentFile(std::vector<std::string> list,
                                        const std::filesystem::path& path);

/// The stored list, newest first; empty keys are skipped.
std::vector<std::string> LoadRecentFiles(SettingsStore& store);
/// Stores `list` (its first kRecentFilesMax entries); the keys beyond it are emptied.
void SaveRecentFiles(SettingsStore& store, const std::vector<std::string>& list);
/// Puts `path` in front of the stored list.
void AddRecentFile(SettingsStore& store, const std::filesystem::path& path);

}  // namespace mrw
