// Writing a file so that a failure never leaves it half written: the data go to a temporary
// file in the same folder, are flushed to disk, and the temporary file is renamed over the
// target. An existing file stays whole when anything fails.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mrw {

/// Replaces `path` with `data` atomically. False on failure, with a description in `error`
/// and the system error number in `errorNumber`; the temporary file is removed and an
/// existing target is left untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view data,
                         std::string* error = nullptr, int* errorNumber = nullptr);

}  // namespace mrw
