// The raw image file (".hex"): the memory image byte for byte.
#pragma once

#include <filesystem>

#include "core/config.h"

namespace mrw {

/// Reads a raw image after the model and region tests and decodes it; ErrorFlag on refusal.
void ReadHexFile(Config& config, const std::filesystem::path& path);
/// Writes the image atomically, exactly ImageLastAddress + 1 bytes.
void WriteHexFile(Config& config, const std::filesystem::path& path);

}  // namespace mrw
