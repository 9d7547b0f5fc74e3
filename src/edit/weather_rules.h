// The weather channel rows of pictD: one row per CHWX record with its Enable and Scan boxes
// and its name, written into the data model control by control. Standard library only.
#pragma once

#include <string>
#include <string_view>

#include "core/config.h"
#include "model/model.h"

namespace mrw {

/// Most characters txtDTagName takes.
inline constexpr int kWeatherNameLength = 16;

/// What the row of weather record i (0..9) shows.
struct WeatherRowView {
    std::string label;      ///< lblWX: "WX01" for record 0.
    std::string frequency;  ///< The channel's frequency, "162.550 MHz".
    bool enable = false;    ///< chkDEnable: Enable.
    bool scan = false;      ///< chkDScan: ScanMemory.
    std::string name;       ///< txtDTagName: ChTag.
    bool open = false;      ///< chkDScan and txtDTagName enabled: exactly when Enable is True.
};

/// The row of record i; a record the table lacks shows as an empty, closed row.
WeatherRowView ViewWeatherRow(const DataModel& model, int i);

/// chkDEnable(i) Click: record i's Enable := checked. True when the data model changed.
bool StoreWeatherEnable(Config& config, int i, bool checked);
/// chkDScan(i) Click: record i's ScanMemory := checked.
bool StoreWeatherScan(Config& config, int i, bool checked);
/// txtDTagName(i) Change: record i's ChTag := what the name field keeps of the text
/// (KeptText: the characters a name can hold, trailing spaces dropped).
bool StoreWeatherName(Config& config, int i, std::string_view text);

/// The caption of a weather row's check box: ">" while it has the focus, a space otherwise.
std::string WeatherMarkCaption(bool focused);

/// The status-bar hint of a weather row control by its objectName ("chkDScan_3" shares the
/// hint of chkDScan); empty for none.
std::string WeatherControlHint(std::string_view objectName);

}  // namespace mrw
