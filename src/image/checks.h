// Image checks and defaults: the consistency pass and checksum applied before an image leaves
// the program, the model-code and length tests applied when one arrives, and the default image.
#pragma once

#include <cstdint>
#include <filesystem>
#include <utility>

#include "image/image.h"
#include "model/model.h"

namespace mrw {

/// The consistency pass: current group, current channel or weather channel, and the
/// remembered channel lists made to point at channels that exist. Changes only the image.
void PrepareImageForWrite(Image& image, const DataModel& model);
/// Byte 95 := sum of bytes 66..94 modulo 256.
void UpdateChecksum(Image& image);
/// True when both codes are equal and equal the model code of `modelType`.
bool IsModelCodeValid(int modelType, uint16_t codeAt128, uint16_t codeAtEnd);
/// (128, ImageLastAddress - 1): where the two model codes of an image lie.
std::pair<int, int> ConfigurationRange(const Image& image);
/// True when the file's length equals ImageLastAddress + 1.
bool IsImageFileLengthValid(const std::filesystem::path& path, const Image& image);
/// True when channel reference `ref` designates a usable channel of group `group` (0..2).
bool IsChannelRefUsable(const Image& image, int ref, int group);
/// Builds the default image of `modelType` and decodes its settings into the model.
/// An unknown model type leaves image and model untouched.
void NewImage(Image& image, DataModel& model, int modelType);

}  // namespace mrw
