// Reading a regular file on Windows: open for reading only, check that what was opened is a
// file on a disk (not a pipe, console or serial device), then read it.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "core/file_read.h"
#include "core/path_text.h"
#include "core/system_windows.h"

namespace mrw {

namespace {

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) {
            CloseHandle(h_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

std::string Reason(DWORD code) {
    return std::strerror(ErrnoOfWindowsError(code));
}

}  // namespace

bool ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit, std::string& bytes,
                     std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    const std::string name = PathText(path);
    // A folder does not open without backup semantics; it is named for what it is.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return fail(name + " is not a regular file");
    }
    Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        return fail("cannot open " + name + ": " + Reason(GetLastError()));
    }
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        return fail(name + " is not a regular file");
    }
    bytes.clear();
    char buffer[64 * 1024];
    while (bytes.size() < limit) {
        const DWORD want =
            static_cast<DWORD>(std::min<std::uintmax_t>(sizeof buffer, limit - bytes.size()));
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, want, &got, nullptr)) {
            return fail("cannot read " + name + ": " + Reason(GetLastError()));
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    return true;
}

}  // namespace mrw
