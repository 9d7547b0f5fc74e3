// Writing a file so that a failure never leaves it half written: the data go to a temporary
// file in the same folder, are flushed to disk, and the temporary file is renamed over the
// target. An existing file stays whole when anything fails.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace mrw {

struct Config;

/// Replaces `path` with `data` atomically. False on failure, with a description in `error`
/// and the system error number in `errorNumber`; the temporary file is removed and an
/// existing target is left untouched.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view data,
                         std::string* error = nullptr, int* errorNumber = nullptr);

/// Why saving `path` failed, for the user: "PATH: the system's reason", and when the reason
/// is a missing folder, which one ("/media/usb/boat.dat: No such file or directory (there is
/// no folder /media/usb)").
std::string SaveFailureText(const std::filesystem::path& path, int errorNumber);

/// As WriteFileAtomically, but never replaces a file: when `path` exists (or appears while the
/// data are written) nothing is written and `errorNumber` is EEXIST.
bool WriteNewFileAtomically(const std::filesystem::path& path, std::string_view data,
                            std::string* error = nullptr, int* errorNumber = nullptr);

/// Whether WriteFileAtomically can write `path`, tried before the work that makes its data:
/// the folder exists and takes a new file (one is made and removed again), and an existing
/// `path` is a regular file that may be written. False with PathReason in `error`; nothing is
/// left behind either way.
bool CanWriteFile(const std::filesystem::path& path, std::string* error = nullptr);

/// Saves a document of the program: `data()` is written atomically to `path` under the
/// hourglass with Loading set, followed by the 500 ms pause. On failure the error log gets an
/// entry under `procedure`, "FileSave Error!!" is shown with the SaveFailureText as its
/// details, and ErrorFlag and CancelFlag are set;
/// an existing file stays whole. True when the file was written.
bool SaveDocument(Config& config, const std::filesystem::path& path,
                  const std::function<std::string()>& data, const char* procedure);

}  // namespace mrw
