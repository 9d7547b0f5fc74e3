// The raw image file (".hex"): the memory image byte for byte.
#pragma once

#include <filesystem>
#include <string_view>

#include "core/config.h"

namespace mrw {

/// Filter of the Open and Save dialogs of raw image files.
inline constexpr const char* kHexFileFilter = "hex files(*.hex)|*.hex|All files(*.*)|*.*";

/// Reads a raw image after the model and region tests and decodes it. False on refusal, with
/// ErrorFlag set, or on a read failure ("FileRead Error!!"), with CancelFlag set too. Only a
/// regular file is opened: anything else is a read failure.
bool ReadHexFile(Config& config, const std::filesystem::path& path);
/// The tests and the take-over of ReadHexFile applied to bytes already read: the image
/// changes only when every test passes; fewer than ImageLastAddress + 1 bytes is a read failure.
/// True when the image was taken.
bool LoadHexImage(Config& config, std::string_view bytes);
/// Writes the image atomically, exactly ImageLastAddress + 1 bytes. False on failure, after
/// the error log entry and "FileSave Error!!", with ErrorFlag and CancelFlag set.
bool WriteHexFile(Config& config, const std::filesystem::path& path);

/// The Open hex command after its dialog: the length test ("bad file!!"), then ReadHexFile;
/// on success CurrentFileName, caption and DataChanged follow. True when the image was taken.
/// A path that exists but is no regular file is refused by the reader ("FileRead Error!!").
bool OpenHexFile(Config& config, const std::filesystem::path& path);
/// The Save hex command after its dialog: encodes the model, prepares the image exactly as
/// for programming and writes it. Nothing is written when the model cannot be encoded.
/// CurrentFileName and DataChanged stay as they are. True when the file was written.
bool SaveHexFile(Config& config, const std::filesystem::path& path);

}  // namespace mrw
