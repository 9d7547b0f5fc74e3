// The whole mapping between the memory image and the data model, in its fixed order:
// settings, CHUSA, CHINT, CHCAN, CHWX, CHMMSID, CHGRPID, CHEXP, CHRG.
#pragma once

#include <string>

#include "image/image.h"
#include "model/model.h"

namespace mrw {

/// Decodes the whole image into the data model. CHWX keeps its records (they come from the
/// weather channel table); every other table and directory is replaced.
void DecodeImage(const Image& image, DataModel& model);

/// The data model `image` stands for: every field the image carries decoded from it, every
/// other field at its default (DefaultModel), CHWX from the weather channel table. What a
/// read from the radio, a raw image or a region default image loads.
DataModel DecodedModel(const Image& image);

/// Encodes the whole data model into the image. All or nothing: when a value cannot be
/// stored (a byte value above 255, for example) the image is left exactly as it was, false is
/// returned and `error` (when given) says what failed. The model's `CHDisplayL` texts take
/// their two-character form and `Offset Time` its clamped value, as the encoding defines.
bool EncodeImage(DataModel& model, Image& image, std::string* error = nullptr);

/// Decodes only the setup settings (used when a default image is built).
void DecodeSettings(const Image& image, DataModel& model);

}  // namespace mrw
