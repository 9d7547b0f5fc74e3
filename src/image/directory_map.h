// The directory memory map: the individual (CHMMSID) and group (CHGRPID) MMSI directories.
#pragma once

#include "image/image.h"
#include "image/memory_map.h"
#include "model/model.h"

namespace mrw {

/// Decodes both directories. Each is a list filled from record 1: the first entry without
/// digits ends it, and it and every later record are cleared and disabled.
void DecodeDirectories(const Image& image, DataModel& model);

/// Encodes every entry of both directories, whatever their Enable value: MMSI with the last
/// nibble forced to 0, the name with 0xFF after its last character.
void EncodeDirectories(const DataModel& model, Image& image);

}  // namespace mrw
