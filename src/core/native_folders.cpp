#include "core/native_folders.h"

#include "core/config.h"
#include "core/folders.h"

namespace mrw {

void ChooseSystemProgramFolders(Services& services) {
    const std::filesystem::path exeFolder = ExecutableFolder();
    const std::filesystem::path state = UserStateFolderOfSystem();
    services.programFolder = FindDataFolder(exeFolder, MRW_INSTALLED_DATA_DIR);
    services.logFolder = ChooseLogFolder(exeFolder, services.programFolder, state);
    services.userDataFolder = state;
    services.documentsFolder = HomeFolder();
}

}  // namespace mrw
