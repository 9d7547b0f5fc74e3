// The fixed reference data of the program: the marine channel catalogue, the weather channel
// table, the model types with their names and codes, and the region codes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/model.h"

namespace mrw {

inline constexpr int kCatalogueSize = 120;  // marine channels 0..119

/// The 120 catalogue rows, index = marine channel number. Computed once, by repeated addition
/// of 0.05 MHz from 156.000 (rows 0..59) and from 156.025 (rows 60..119).
const std::vector<CatalogueRow>& ChannelCatalogue();

/// The weather channel table, rows 1..10 (row 0 is unused and invalid).
const std::array<CatalogueRow, kWeatherChannels + 1>& WeatherTable();

/// Rebuilds CHWX from the weather channel table.
void RebuildWeatherTable(DataModel& model);

/// The data model before any configuration is put into it, each field at its documented
/// default: zero, False or empty (TX power mode "Lo Po Only", the Auto POS records off and
/// without address, no call signs), and CHWX the ten channels of the weather channel table.
/// Every reset and load starts from it, so that nothing of the previous configuration stays
/// in the fields its source does not give.
DataModel DefaultModel();

/// "HV2300", "HV2400", "HV2300M" for model types 1, 2, 11; "Unknown model" otherwise.
std::string ModelNameOf(int modelType);
/// The model menu caption of a model type; empty for an unknown type.
std::string ModelCaptionOf(int modelType);
/// The 16-bit model code of a model type (0x08FD for "2301", 0x0961 for "2401").
std::optional<uint16_t> ModelCode(int modelType);
/// "_08FD", "_0961", "-M_08FD"; empty for an unknown type.
std::string ModelFileSuffix(int modelType);
/// True for the model types that carry the product code "KT562W" in their image.
bool HasProductCode(int modelType);
/// The product code the radios of types 1 and 2 hold at 256..261.
inline constexpr const char* kProductCode = "KT562W";

/// The region index of a region code: the code itself for 0..5, 255 otherwise.
int RegionIndex(int code);
/// "INTL", "UK", "BE", "NL", "SW", "GRMN" for 0..5, "USA" for any other code.
std::string RegionName(int code);
/// Where a configuration met in a region check comes from.
enum class RegionSource { Radio, File };

/// The lines a region message adds after its own text, joined by `newline`: which regions
/// meet ("Radio: UK — MRW: BE"), and when one side is USA and the other not, why they cannot
/// be matched. `otherCode` is the region byte of the radio or file, `imageCode` the program's.
std::string RegionMismatchLines(RegionSource source, int otherCode, int imageCode,
                                const std::string& newline);

/// The region code of a region name (any case), or nothing for an unknown name. "USA" gives
/// 255, the code that names no region index.
std::optional<int> RegionCodeOfName(const std::string& name);

}  // namespace mrw
