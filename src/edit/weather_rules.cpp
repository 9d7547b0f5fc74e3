#include "edit/weather_rules.h"

#include <array>
#include <utility>

#include "edit/control_hint.h"
#include "edit/edit.h"
#include "image/image.h"
#include "image/memory_map.h"
#include "model/catalogue.h"

namespace mrw {

namespace {

bool Holds(const DataModel& model, int i) {
    return i >= 0 && i < static_cast<int>(model.CHWX.size());
}

// The weather channel table's label of record i, "WX01[162.550MHz]" for record 0.
std::string TableLabel(int i) {
    return i >= 0 && i < kWeatherChannels ? WeatherTable()[static_cast<size_t>(i + 1)].Label : "";
}

// "WX01 Scan", naming a change of record 0.
std::string ChangeName(int i, const char* what) {
    const std::string label = TableLabel(i);
    return label.substr(0, label.find('[')) + " " + what;
}

}  // namespace

WeatherRowView ViewWeatherRow(const DataModel& model, int i) {
    WeatherRowView view;
    const std::string label = TableLabel(i);
    const size_t bracket = label.find('[');
    view.label = label.substr(0, bracket);
    if (bracket != std::string::npos) {
        const std::string freq = label.substr(bracket + 1);
        view.frequency = freq.substr(0, freq.find("MHz")) + " MHz";
    }
    if (Holds(model, i)) {
        const ChannelRecord& r = model.CHWX[static_cast<size_t>(i)];
        view.enable = r.Enable;
        view.scan = r.ScanMemory;
        view.name = r.ChTag;
        view.open = r.Enable;
    }
    return view;
}

bool StoreWeatherEnable(Config& config, int i, bool checked) {
    if (!Holds(config.model, i) || config.model.CHWX[static_cast<size_t>(i)].Enable == checked) {
        return false;
    }
    return EditModel(config, ChangeName(i, "Enable"), [i, checked](DataModel& m) {
        m.CHWX[static_cast<size_t>(i)].Enable = checked;
    });
}

bool StoreWeatherScan(Config& config, int i, bool checked) {
    if (!Holds(config.model, i) ||
        config.model.CHWX[static_cast<size_t>(i)].ScanMemory == checked) {
        return false;
    }
    return EditModel(config, ChangeName(i, "Scan"), [i, checked](DataModel& m) {
        m.CHWX[static_cast<size_t>(i)].ScanMemory = checked;
    });
}

bool StoreWeatherName(Config& config, int i, std::string_view text) {
    const std::string name = KeptText(text, layout::kTagSize);
    if (!Holds(config.model, i) || config.model.CHWX[static_cast<size_t>(i)].ChTag == name) {
        return false;
    }
    return EditModel(config, ChangeName(i, "Name"),
                     [i, name](DataModel& m) { m.CHWX[static_cast<size_t>(i)].ChTag = name; });
}

std::string WeatherMarkCaption(bool focused) {
    return focused ? ">" : " ";
}

std::string WeatherControlHint(std::string_view objectName) {
    static constexpr std::array<ControlHint, 3> kHints = {{
        {"chkDEnable", "Select[x]Enable/[]Disable."},
        {"chkDScan", "[Space]:An effective and invalid change."},
        {"txtDTagName", "A maximum of 16 characters"},
    }};
    return FindControlHint(kHints, objectName);
}

}  // namespace mrw
