#include "core/file_read.h"

#include <system_error>

namespace mrw {

bool OpenRegularFile(const std::filesystem::path& path, std::ifstream& in, std::string* error) {
    auto fail = [&](const std::string& text) {
        if (error != nullptr) {
            *error = text;
        }
        return false;
    };
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return fail(ec ? "cannot open " + path.string() + ": " + ec.message()
                       : path.string() + " is not a regular file");
    }
    in.open(path, std::ios::binary);
    if (!in) {
        return fail("cannot open " + path.string());
    }
    return true;
}

}  // namespace mrw
