// The settings memory map: channel groups, common setup, DSC setup (basic, advanced, display,
// auto position) and ATIS setup.
#pragma once

#include <optional>
#include <string_view>

#include "image/image.h"
#include "image/memory_map.h"
#include "model/model.h"

namespace mrw {

/// Decodes every setting the image carries; settings it does not carry keep their values.
/// Nothing is checked against the choices the setup panels offer.
void DecodeSettingsMap(const Image& image, DataModel& model);

/// Encodes every setting the image carries, leaving the unmapped bits of shared bytes as they
/// are. `Offset Time` takes its clamped value. Throws ByteOverflowError when a byte value does
/// not fit in a byte and FieldRangeError when a wider value does not fit its field.
void EncodeSettingsMap(DataModel& model, Image& image);

/// The number the radio receives for an auto-position CHANNEL or INTERVAL, which the data model
/// holds as text: the leading number of the text, rounded half to even, as the settings file
/// reads numbers ("16x" gives 16, a text without a number 0). Nothing when that number is
/// beyond the range of a double or of 32 bits. The encoder and the report both read the two
/// fields through it.
std::optional<long> AutoPosNumber(std::string_view text);

}  // namespace mrw
