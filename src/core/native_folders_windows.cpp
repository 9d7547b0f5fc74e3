// The program's folders on Windows: the module's file name and the known folders.
#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include <string>

#include "core/config.h"
#include "core/native_folders.h"

namespace mrw {

namespace {

/// A known folder of the user; empty when the system has none.
std::filesystem::path KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path))) {
        folder = std::filesystem::path(std::wstring(path));
    }
    CoTaskMemFree(path);
    return folder;
}

/// The application's name as a path part (plain ASCII).
std::wstring Title() {
    const std::string title = kAppTitle;
    return std::wstring(title.begin(), title.end());
}

}  // namespace

std::filesystem::path ExecutableFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

std::filesystem::path HomeFolder() {
    return KnownFolder(FOLDERID_Profile);
}

std::filesystem::path UserStateFolderOfSystem() {
    return KnownFolder(FOLDERID_LocalAppData) / Title() / Title();
}

std::filesystem::path UserSettingsFile() {
    return KnownFolder(FOLDERID_RoamingAppData) / Title() / (Title() + L".ini");
}

}  // namespace mrw
