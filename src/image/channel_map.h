// The channel memory map: the six channel tables of the data model and their enable and
// scan bitmaps, tags and per-slot records in the memory image.
#pragma once

#include "image/image.h"
#include "image/memory_map.h"
#include "model/model.h"

namespace mrw {

/// The data model table a layout row describes.
ChannelTable& TableOf(DataModel& model, layout::ChannelTableId id);
const ChannelTable& TableOf(const DataModel& model, layout::ChannelTableId id);

/// Decodes one channel table from the image. CHWX keeps its records and only takes their
/// Enable, ScanMemory and ChTag; every other table is rebuilt from its enable bitmap.
void DecodeChannelTable(const Image& image, DataModel& model, layout::ChannelTableId id);

/// Encodes one channel table into the image: bitmaps, tags and records of every slot. The
/// model's CHDisplayL texts take their two-character form. Throws ByteOverflowError or
/// FieldRangeError when a value cannot be stored; the image may then be partly written, so
/// callers encode into a copy (EncodeImage does).
void EncodeChannelTable(DataModel& model, Image& image, layout::ChannelTableId id);

}  // namespace mrw
