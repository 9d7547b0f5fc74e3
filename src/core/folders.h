// Where the program finds its data files and where it may write: the data folder of a build
// tree, a copied folder or an installed package, the folder of the debug logs, and the folder
// the file dialogs start in. The platform layer supplies the folders it knows (the executable's,
// the per-user ones); the choices among them are made here.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/services.h"

namespace mrw {

struct Config;

/// The data file whose presence marks a folder holding the program's data files.
inline constexpr const char* kDataMarkerFile = "global.ini";

/// The folders searched for the data files, in order: the executable's own folder (a build
/// tree, a copied portable folder), ../share/mrw beside it (an extracted or relocated package),
/// then `installedFolder`, the data folder compiled in from the install prefix.
std::vector<std::filesystem::path> DataFolderCandidates(
    const std::filesystem::path& exeFolder, const std::filesystem::path& installedFolder);

/// The first of the candidates that holds global.ini; the executable's folder when none does
/// (the program then reports the missing file as it always has).
std::filesystem::path FindDataFolder(const std::filesystem::path& exeFolder,
                                     const std::filesystem::path& installedFolder);

/// True when a file can be created in `folder`: its permissions grant writing to someone and a
/// probe file can be created and removed there. A folder nobody may write counts as read-only
/// even for the superuser.
bool FolderWritable(const std::filesystem::path& folder);

/// Where the debug logs go: the executable's folder when it holds the data files itself (a
/// build tree or a portable folder) and can be written, else `userFolder`, the per-user state
/// folder. An installed program never writes beside its executable.
std::filesystem::path ChooseLogFolder(const std::filesystem::path& exeFolder,
                                      const std::filesystem::path& dataFolder,
                                      const std::filesystem::path& userFolder);

/// The settings key of the folder last used in a file dialog (section, key).
inline constexpr const char* kLastFolderSection = "Settings";
inline constexpr const char* kLastFolderKey = "lastfolder";

/// The folder a file dialog starts in: the one last used when it still exists, else the
/// user's documents folder (Services::documentsFolder).
std::string DialogStartFolder(Config& config);

/// Shows a file dialog starting in DialogStartFolder (unless the request names a folder) and
/// remembers the folder of the chosen file for the next dialog. Returns the chosen path, or
/// the empty text when cancelled.
std::string AskForFile(Config& config, FileDialogRequest request);

}  // namespace mrw
