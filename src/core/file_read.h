// Opening files for reading. Only a regular file is read: a named pipe, a device or a socket
// given as a file would make the reader wait for a writer or read for ever. The file is opened
// without waiting and what was opened is checked, so that a pipe put in the place of a regular
// file at the last moment is refused as well; the bytes are then read at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>

namespace mrw {

/// The most bytes OpenRegularFile reads unless told otherwise.
inline constexpr std::uintmax_t kDefaultReadLimit = 16 * 1024 * 1024;

/// Reads at most `limit` bytes of `path` into `bytes` when it names a regular file (symbolic
/// links followed); a caller that must know whether there was more asks for one byte more than
/// it takes. False, with a description in `error` when given, for anything else, a file that
/// does not open or a read error.
bool ReadRegularFile(const std::filesystem::path& path, std::uintmax_t limit, std::string& bytes,
                     std::string* error = nullptr);

/// ReadRegularFile into a stream over the bytes read.
bool OpenRegularFile(const std::filesystem::path& path, std::istringstream& in,
                     std::string* error = nullptr, std::uintmax_t limit = kDefaultReadLimit);

}  // namespace mrw
