// Opening files for reading. Only a regular file is opened: a named pipe, a device or a socket
// given as a file would make the reader wait for a writer or read for ever, so it is refused
// before it is opened.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace mrw {

/// Opens `path` for binary reading when it names a regular file (symbolic links followed).
/// False, with a description in `error` when given, for anything else or a file that does not
/// open.
bool OpenRegularFile(const std::filesystem::path& path, std::ifstream& in,
                     std::string* error = nullptr);

}  // namespace mrw
