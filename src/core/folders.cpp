#include "core/folders.h"

#include <fstream>
#include <random>

#include "core/config.h"
#include "core/path_text.h"

namespace mrw {

namespace fs = std::filesystem;

std::vector<fs::path> DataFolderCandidates(const fs::path& exeFolder,
                                           const fs::path& installedFolder) {
    std::vector<fs::path> folders{exeFolder,
                                  (exeFolder / ".." / "share" / "mrw").lexically_normal()};
    if (!installedFolder.empty()) {
        folders.push_back(installedFolder);
    }
    return folders;
}

fs::path FindDataFolder(const fs::path& exeFolder, const fs::path& installedFolder) {
    for (const fs::path& folder : DataFolderCandidates(exeFolder, installedFolder)) {
        std::error_code ec;
        if (fs::is_regular_file(folder / kDataMarkerFile, ec)) {
            return folder;
        }
    }
    return exeFolder;
}

bool FolderWritable(const fs::path& folder) {
    std::error_code ec;
    const fs::file_status status = fs::status(folder, ec);
    if (ec || !fs::is_directory(status)) {
        return false;
    }
    constexpr fs::perms kAnyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & kAnyWrite) == fs::perms::none) {
        return false;
    }
    const fs::path probe = folder / (".mrw-write-probe-" + std::to_string(std::random_device{}()));
    bool created = false;
    {
        std::ofstream out(probe, std::ios::binary);
        created = static_cast<bool>(out);
    }
    if (created) {
        fs::remove(probe, ec);
    }
    return created;
}

fs::path ChooseLogFolder(const fs::path& exeFolder, const fs::path& dataFolder,
                         const fs::path& userFolder) {
    std::error_code ec;
    const bool dataBeside = !exeFolder.empty() && fs::equivalent(exeFolder, dataFolder, ec);
    if (dataBeside && FolderWritable(exeFolder)) {
        return exeFolder;
    }
    return userFolder;
}

std::string DialogStartFolder(Config& config) {
    const std::string last = config.settings().Get(kLastFolderSection, kLastFolderKey);
    std::error_code ec;
    if (!last.empty() && fs::is_directory(PathOf(last), ec)) {
        return last;
    }
    return PathText(config.services.documentsFolder);
}

std::string AskForFile(Config& config, FileDialogRequest request) {
    if (request.folder.empty()) {
        request.folder = DialogStartFolder(config);
    }
    std::string chosen = config.prompt().FileDialog(request);
    const fs::path folder = PathOf(chosen).parent_path();
    if (!chosen.empty() && !folder.empty()) {
        config.settings().Set(kLastFolderSection, kLastFolderKey, PathText(folder));
    }
    return chosen;
}

}  // namespace mrw
