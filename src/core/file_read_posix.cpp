// Reading a regular file on a POSIX system: open without waiting, check the descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/file_read.h"

namespace mrw {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

bool ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit, std::string& bytes,
                     std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    // O_NONBLOCK: opening a named pipe does not wait for a writer. The check that follows is
    // made on what was opened, not on the name, which may name something else by now.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        return fail("cannot open " + path.string() + ": " + std::strerror(errno));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        return fail("cannot open " + path.string() + ": " + std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return fail(path.string() + " is not a regular file");
    }
    bytes.clear();
    char buffer[64 * 1024];
    while (bytes.size() < limit) {
        const size_t want =
            static_cast<size_t>(std::min<std::uintmax_t>(sizeof buffer, limit - bytes.size()));
        const ssize_t got = ::read(file.get(), buffer, want);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("cannot read " + path.string() + ": " + std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return true;
}

}  // namespace mrw
