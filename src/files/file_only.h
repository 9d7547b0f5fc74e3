// The settings a settings file keeps that programming does not carry into the radio: setup keys
// whose field has no image bytes at all, or only bytes that the program map never writes. They
// are derived once from the codec and the program map; the status-bar hints, the program
// preview, diff against the radio and the program's completion message all ask here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "files/config_diff.h"
#include "model/model.h"

namespace mrw {

/// The status-bar hint of a control whose setting programming does not carry.
inline constexpr const char* kKeptInFileHint =
    "Kept in the settings file; programming does not change it in the radio";
/// The heading of those settings where they are listed.
inline constexpr const char* kKeptInFileHeading = "Kept in the file only";

/// True for a setup key (settings-file section and key) whose value programming does not
/// carry: changing it changes no image byte that the program map writes.
bool IsKeptInFileOnly(std::string_view section, std::string_view key);

/// Marks the differences of such keys as not written (their lines say so).
void MarkKeptInFileOnly(std::vector<Difference>& differences);

/// Copies the values of such keys from `file` into `model`: after a decode of the image a
/// program leaves, the configuration still holds what the file says of them.
void KeepFileOnlyValues(const DataModel& file, DataModel& model);

/// The settings of `file` that programming does not carry and whose values a read of the
/// programmed radio would not give back: the differences of such keys from `readBack` (the
/// configuration that read gives) to `file`, marked as not written.
std::vector<Difference> KeptInFileOnly(const DataModel& readBack, const DataModel& file,
                                       bool atisSupported);

/// "Kept in the file only: N settings" ("1 setting").
std::string KeptInFileOnlyLine(size_t count);

}  // namespace mrw
