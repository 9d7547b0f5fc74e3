// The program's folders on a POSIX system: /proc/self/exe and the XDG base folders.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "core/config.h"
#include "core/native_folders.h"

namespace mrw {

namespace {

/// An XDG base folder: the variable when it holds an absolute path, else `fallback` under home.
std::filesystem::path XdgFolder(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    return HomeFolder() / fallback;
}

}  // namespace

std::filesystem::path ExecutableFolder() {
    std::string target(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) >= target.size()) {
        return {};
    }
    target.resize(static_cast<size_t>(length));
    return std::filesystem::path(target).parent_path();
}

std::filesystem::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home != nullptr && home[0] != '\0' ? home : "/";
}

std::filesystem::path UserStateFolderOfSystem() {
    return XdgFolder("XDG_DATA_HOME", ".local/share") / kAppTitle / kAppTitle;
}

std::filesystem::path UserSettingsFile() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") / kAppTitle / (std::string(kAppTitle) + ".ini");
}

}  // namespace mrw
