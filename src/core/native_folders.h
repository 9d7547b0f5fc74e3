// The folders of the running program without a toolkit, where the desktop program's Qt finds
// them, so that mrw-cli and the window share the settings file, the logs and the user's own
// default images: the executable's folder, the per-user state folder, the settings file.
#pragma once

#include <filesystem>

#include "core/config.h"

namespace mrw {

/// The folder holding the running executable; empty when the system does not say.
std::filesystem::path ExecutableFolder();

/// The per-user folder of files the program writes for itself, where Qt's
/// AppLocalDataLocation puts it for organisation and application "MRW": $XDG_DATA_HOME
/// (else ~/.local/share) + /MRW/MRW on Linux, %LOCALAPPDATA%\MRW\MRW on Windows.
std::filesystem::path UserStateFolderOfSystem();

/// The user's settings file, where QSettings(IniFormat, UserScope, "MRW", "MRW") keeps it:
/// $XDG_CONFIG_HOME (else ~/.config) + /MRW/MRW.ini on Linux, the roaming application data
/// folder + \MRW\MRW.ini on Windows.
std::filesystem::path UserSettingsFile();

/// The user's home folder (the profile folder on Windows).
std::filesystem::path HomeFolder();

/// Gives `services` the program's folders as the desktop program chooses them: the data folder
/// beside the executable, in ../share/mrw or the installed one; the log folder; the home
/// folder for file dialogs; the per-user state folder.
void ChooseSystemProgramFolders(Services& services);

}  // namespace mrw
