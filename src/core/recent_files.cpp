#include "core/recent_files.h"
#include "core/path_text.h"

#include <algorithm>
#include <system_error>

namespace mrw {

namespace {

std::string Key(int i) {
    return kRecentFileKey + std::to_string(i + 1);
}

}  // namespace

std::string RecentFilePath(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) {
        absolute = path;
    }
    return PathText(absolute.lexically_normal());
}

std::vector<std::string> WithRecentFile(std::vector<std::string> list,
                                        const std::filesystem::path& path) {
    const std::string added = RecentFilePath(path);
    std::erase_if(list,
                  [&](const std::string& entry) { return RecentFilePath(PathOf(entry)) == added; });
    list.insert(list.begin(), added);
    if (list.size() > static_cast<size_t>(kRecentFilesMax)) {
        list.resize(kRecentFilesMax);
    }
    return list;
}

std::vector<std::string> LoadRecentFiles(SettingsStore& store) {
    std::vector<std::string> list;
    for (int i = 0; i < kRecentFilesMax; ++i) {
        std::string path = store.Get(kRecentFilesSection, Key(i));
        if (!path.empty()) {
            list.push_back(std::move(path));
        }
    }
    return list;
}

void SaveRecentFiles(SettingsStore& store, const std::vector<std::string>& list) {
    for (int i = 0; i < kRecentFilesMax; ++i) {
        const bool used = i < static_cast<int>(list.size());
        const std::string value = used ? list[static_cast<size_t>(i)] : std::string();
        // An empty key is written only over a stored one, so an unused store stays empty.
        if (used || !store.Get(kRecentFilesSection, Key(i)).empty()) {
            store.Set(kRecentFilesSection, Key(i), value);
        }
    }
}

void AddRecentFile(SettingsStore& store, const std::filesystem::path& path) {
    SaveRecentFiles(store, WithRecentFile(LoadRecentFiles(store), path));
}

}  // namespace mrw
