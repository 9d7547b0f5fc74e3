// The folders of the running program as the platform knows them: the executable's, the data
// folder compiled in from the install prefix, the per-user state and documents folders.
#pragma once

#include <QString>
#include <filesystem>

#include "core/config.h"

namespace mrw {

/// A file or folder name of Qt as a path, and a path as Qt's name of it. Both go through
/// UTF-16, which Qt and the path hold exactly on every system: a narrow string would be read in
/// the system's code page on Windows and garble a name such as C:\Users\Jörg.
std::filesystem::path PathFromQString(const QString& name);
QString QStringFromPath(const std::filesystem::path& path);

/// The data folder compiled in from the install prefix (share/mrw under it).
std::filesystem::path InstalledDataFolder();

/// The per-user folder of files the program writes for itself, such as the debug logs and
/// the user's own default images.
std::filesystem::path UserStateFolder();

/// Gives `services` the program's folders: the data folder found beside the executable, in
/// ../share/mrw or in the installed data folder; the log folder; the documents folder the file
/// dialogs start in; the per-user data folder. Needs the application object with its names set.
void ChooseProgramFolders(Services& services);

}  // namespace mrw
