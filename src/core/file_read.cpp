#include "core/file_read.h"

namespace mrw {

// ReadRegularFile is one of the system's own files (file_read_posix.cpp).

bool OpenRegularFile(const std::filesystem::path& path, std::istringstream& in, std::string* error,
                     std::uintmax_t limit) {
    std::string bytes;
    if (!ReadRegularFile(path, limit, bytes, error)) {
        return false;
    }
    in.str(std::move(bytes));
    in.clear();
    return true;
}

}  // namespace mrw
