// Writing files atomically on a POSIX system: a temporary file beside the target, fsync, rename
// over the target (or a hard link for a file that must be new), fsync of the folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

#include "core/path_text.h"
#include "core/text.h"
#include "files/atomic_file.h"
#include "files/atomic_file_detail.h"

namespace mrw {

using atomic_detail::Describe;
using atomic_detail::Fail;

namespace {

namespace fs = std::filesystem;

// Opens a new, uniquely named file beside `target`; -1 with errno set when none can be made.
int CreateTemporary(const fs::path& target, fs::path& tempPath) {
    static std::atomic<unsigned> counter{0};
    fs::path folder = target.parent_path();
    std::string base = "." + PathText(target.filename()) + ".tmp-" + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder / (base + std::to_string(counter.fetch_add(1)));
        int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Makes the rename itself durable. Some file systems cannot sync a folder; the file is already
// in place then, so that is not reported as a failure.
void SyncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes `data` into the temporary file `fd`, gives it the permissions of `like` when there
// is one, flushes it to the disk and closes it. 0, or the error number with the failed step.
int FillTemporary(int fd, std::string_view data, const struct stat* like, std::string& step) {
    int err = 0;
    if (!WriteAll(fd, data)) {
        err = errno;
        step = "cannot write";
    } else if (like != nullptr && ::fchmod(fd, like->st_mode & 07777) != 0) {
        err = errno;
        step = "cannot set the permissions of";
    } else if (::fsync(fd) != 0) {
        err = errno;
        step = "cannot flush";
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
        step = "cannot close";
    }
    return err;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view data,
                         std::string* error, int* errorNumber) {
    int lastErrno = 0;
    const auto fail = [&](std::string text) {
        return Fail(error, errorNumber, lastErrno, std::move(text));
    };
    if (path.empty() || !path.has_filename()) {
        lastErrno = EINVAL;
        return fail("no file name given");
    }
    fs::path target = path;
    std::error_code ec;
    // Replace the file a link points at, not the link.
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    struct stat existing {};
    bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        lastErrno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return fail(Describe("cannot replace", target, lastErrno));
    }
    // A file the user made read-only is not replaced behind their back.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        lastErrno = errno;
        return fail(Describe("cannot write", target, lastErrno));
    }
    fs::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
        target = folder / target;
    }

    fs::path temp;
    int fd = CreateTemporary(target, temp);
    if (fd < 0) {
        lastErrno = errno;
        return fail(Describe("cannot create a temporary file in", folder, lastErrno));
    }
    std::string step;
    int err = FillTemporary(fd, data, exists ? &existing : nullptr, step);
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        step = "cannot rename the temporary file over";
    }
    if (err != 0) {
        ::unlink(temp.c_str());
        lastErrno = err;
        return fail(Describe(step, step.rfind("cannot rename", 0) == 0 ? target : temp, err));
    }
    SyncFolder(folder);
    return true;
}

bool WriteNewFileAtomically(const std::filesystem::path& path, std::string_view data,
                            std::string* error, int* errorNumber) {
    int lastErrno = 0;
    const auto fail = [&](std::string text) {
        return Fail(error, errorNumber, lastErrno, std::move(text));
    };
    if (path.empty() || !path.has_filename()) {
        lastErrno = EINVAL;
        return fail("no file name given");
    }
    fs::path target = path;
    if (target.parent_path().empty()) {
        target = fs::path(".") / target;
    }
    fs::path temp;
    int fd = CreateTemporary(target, temp);
    if (fd < 0) {
        lastErrno = errno;
        return fail(Describe("cannot create a temporary file in", target.parent_path(), lastErrno));
    }
    std::string step;
    int err = FillTemporary(fd, data, nullptr, step);
    // A hard link fails when the name is taken, where a rename would replace the file. A
    // file system without hard links (FAT) gets the rename after a last look.
    if (err == 0 && ::link(temp.c_str(), target.c_str()) != 0) {
        err = errno;
        step = "cannot create";
        struct stat taken {};
        if (err != EEXIST && ::lstat(target.c_str(), &taken) == 0) {
            err = EEXIST;
        } else if (err != EEXIST && errno == ENOENT) {
            err = ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
        }
    }
    ::unlink(temp.c_str());
    if (err != 0) {
        lastErrno = err;
        return fail(Describe(step, step == "cannot create" ? target : temp, err));
    }
    SyncFolder(target.parent_path());
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
    fs::path target = path;
    if (target.parent_path().empty()) {
        target = fs::path(".") / target;
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        if (!S_ISREG(existing.st_mode)) {
            return fail(S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
        }
        if (::access(target.c_str(), W_OK) != 0) {
            return fail(errno);
        }
    } else if (errno != ENOENT) {
        return fail(errno);  // a folder on the way that is no folder, or may not be searched
    }
    // The folder takes a new file: the temporary file of the write would be made there.
    fs::path temp;
    const int fd = CreateTemporary(target, temp);
    if (fd < 0) {
        return fail(errno);
    }
    ::close(fd);
    ::unlink(temp.c_str());
    return true;
}

}  // namespace mrw
