// The readable tables behind the factory region default images (data/plans, data/regions,
// data/defaults.ini) and the image built from them.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image/image.h"
#include "model/model.h"

namespace mrw::regiongen {

/// The regions that get a factory image, in the order their files are written.
inline constexpr std::array<const char*, 7> kRegions = {"INTL", "UK",   "BE", "NL",
                                                        "SW",   "GRMN", "USA"};
/// The model types that get a factory image.
inline constexpr std::array<int, 2> kModelTypes = {1, 2};

/// One standard channel group of a region table.
struct GroupSpec {
    std::string plan;  ///< Plan table name, empty for no channels.
    std::string name;  ///< Status name.
    bool usable = false;
    bool dsc = false;
    bool atis = false;
};

/// One region table.
struct RegionSpec {
    int code = 0;
    bool weather = false;
    std::array<GroupSpec, 3> groups{};
    bool expUsable = false;
    bool expAtis = false;
    ChannelTable extra;  ///< CHEXP records.
};

/// A channel label of a plan ("16", "22A", "21B", "1019", "2078") as Position, StatusNo and
/// StatusIcon of a channel record; nothing for a label that names no catalogue channel.
std::optional<ChannelRecord> ParseChannelLabel(const std::string& label);

/// Reads a channel plan table; nothing, with the line at fault in `error`, when it is bad.
std::optional<ChannelTable> ReadPlan(const std::filesystem::path& file, std::string& error);

/// Reads a region table; nothing, with the line at fault in `error`, when it is bad.
std::optional<RegionSpec> ReadRegion(const std::filesystem::path& file, std::string& error);

/// Builds the factory image of `region` for `modelType` from the tables under `dataDir`.
/// False with `error` set when a table is bad or the model cannot be encoded.
bool BuildFactoryImage(const std::filesystem::path& dataDir, const std::string& region,
                       int modelType, Image& image, std::string& error);

/// The file name of a factory image: region + model file suffix + ".ini".
std::string FactoryFileName(const std::string& region, int modelType);

}  // namespace mrw::regiongen
