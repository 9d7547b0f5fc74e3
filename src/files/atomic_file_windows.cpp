// Writing files atomically on Windows: a temporary file beside the target, written and flushed
// to the disk (FlushFileBuffers), then moved over the target with MoveFileExW and
// MOVEFILE_WRITE_THROUGH, which returns once the move itself is on the disk. A file that must
// be new is moved without MOVEFILE_REPLACE_EXISTING: the move fails when the name is taken.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>

#include "core/path_text.h"
#include "core/system_windows.h"
#include "core/text.h"
#include "files/atomic_file.h"
#include "files/atomic_file_detail.h"

namespace mrw {

using atomic_detail::Describe;
using atomic_detail::Fail;

namespace {

namespace fs = std::filesystem;

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    /// Closes the handle; false when closing failed.
    bool Close() {
        const bool ok = h_ == INVALID_HANDLE_VALUE || CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

int LastErrno() {
    return ErrnoOfWindowsError(GetLastError());
}

/// What stands at `path`: nothing (ENOENT), a file that may be replaced (0), or the reason it
/// may not be (EISDIR for a folder, EACCES for a read-only file, EINVAL for a device).
int ReplaceableState(const fs::path& path, bool& exists) {
    exists = false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const int err = LastErrno();
        return err == ENOENT ? 0 : err;
    }
    exists = true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EISDIR;
    }
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        return EINVAL;
    }
    // A file the user made read-only is not replaced behind their back.
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return EACCES;
    }
    return 0;
}

// Creates a new, uniquely named file beside `target`; an invalid handle with the error number
// in `err` when none can be made.
HANDLE CreateTemporary(const fs::path& target, fs::path& tempPath, int& err) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = target.parent_path();
    const std::string base =
        "." + PathText(target.filename()) + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / PathOf(base + std::to_string(counter.fetch_add(1)));
        HANDLE h = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            return h;
        }
        err = LastErrno();
        if (err != EEXIST) {
            return INVALID_HANDLE_VALUE;
        }
    }
    err = EEXIST;
    return INVALID_HANDLE_VALUE;
}

// Writes `data` into the temporary file, flushes it to the disk and closes it. 0, or the error
// number with the failed step.
int FillTemporary(Handle& file, std::string_view data, std::string& step) {
    int err = 0;
    size_t done = 0;
    while (done < data.size() && err == 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), data.data() + done, chunk, &written, nullptr) || written == 0) {
            err = LastErrno();
            step = "cannot write";
        }
        done += written;
    }
    if (err == 0 && !FlushFileBuffers(file.get())) {
        err = LastErrno();
        step = "cannot flush";
    }
    if (!file.Close() && err == 0) {
        err = LastErrno();
        step = "cannot close";
    }
    return err;
}

// Makes the target path explicit: a bare file name is in the current folder.
fs::path WithFolder(const fs::path& path) {
    return path.parent_path().empty() ? fs::path(".") / path : path;
}

// Writes `data` beside `target` and moves it there with `moveFlags`; 0 or the error number,
// with the failed step.
int WriteAndMove(const fs::path& target, std::string_view data, DWORD moveFlags, std::string& step,
                 fs::path& failedPath) {
    fs::path temp;
    int err = 0;
    Handle file(CreateTemporary(target, temp, err));
    if (!file.valid()) {
        step = "cannot create a temporary file in";
        failedPath = target.parent_path();
        return err;
    }
    err = FillTemporary(file, data, step);
    failedPath = temp;
    if (err == 0 && !MoveFileExW(temp.c_str(), target.c_str(), moveFlags)) {
        err = LastErrno();
        step = (moveFlags & MOVEFILE_REPLACE_EXISTING) != 0
                   ? "cannot rename the temporary file over"
                   : "cannot create";
        failedPath = target;
    }
    if (err != 0) {
        DeleteFileW(temp.c_str());
    }
    return err;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view data,
                         std::string* error, int* errorNumber) {
    if (path.empty() || !path.has_filename()) {
        return Fail(error, errorNumber, EINVAL, "no file name given");
    }
    const fs::path target = WithFolder(path);
    bool exists = false;
    if (const int err = ReplaceableState(target, exists); err != 0) {
        return Fail(error, errorNumber, err,
                    Describe(err == EACCES ? "cannot write" : "cannot replace", target, err));
    }
    std::string step;
    fs::path failedPath;
    const int err = WriteAndMove(target, data, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH,
                                 step, failedPath);
    if (err != 0) {
        return Fail(error, errorNumber, err, Describe(step, failedPath, err));
    }
    return true;
}

bool WriteNewFileAtomically(const std::filesystem::path& path, std::string_view data,
                            std::string* error, int* errorNumber) {
    if (path.empty() || !path.has_filename()) {
        return Fail(error, errorNumber, EINVAL, "no file name given");
    }
    const fs::path target = WithFolder(path);
    std::string step;
    fs::path failedPath;
    const int err = WriteAndMove(target, data, MOVEFILE_WRITE_THROUGH, step, failedPath);
    if (err != 0) {
        return Fail(error, errorNumber, err, Describe(step, failedPath, err));
    }
    return true;
}

bool CanWriteFile(const std::filesystem::path& path, std::string* error) {
    auto fail = [&](int err) {
        if (error != nullptr) {
            *error = PathReason(PathText(path), err);
        }
        return false;
    };
    if (path.empty() || !path.has_filename()) {
        return fail(EINVAL);
    }
    const fs::path target = WithFolder(path);
    bool exists = false;
    if (const int err = ReplaceableState(target, exists); err != 0) {
        return fail(err);
    }
    // The folder takes a new file: the temporary file of the write would be made there.
    fs::path temp;
    int err = 0;
    Handle file(CreateTemporary(target, temp, err));
    if (!file.valid()) {
        return fail(err);
    }
    file.Close();
    DeleteFileW(temp.c_str());
    return true;
}

}  // namespace mrw
