#include "link/ports.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "core/text.h"

namespace mrw {
namespace {

constexpr std::string_view kComMarker = "(COM";
constexpr int kLargestPortNumber = 32767;  // the port number is a 16-bit integer

std::string MapKey(int number) {
    return "Port" + std::to_string(number);
}

/// A device path without its folder: "/dev/ttyUSB0" gives "ttyUSB0". Under "/dev/" the rest
/// of the path is kept, so that "/dev/pts/3" gives "pts/3".
std::string DeviceName(std::string_view path) {
    constexpr std::string_view kDevices = "/dev/";
    if (path.starts_with(kDevices) && path.size() > kDevices.size()) {
        return std::string(path.substr(kDevices.size()));
    }
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

int PortNumberFromFriendlyName(std::string_view name) {
    const std::string upper = ToUpper(name);
    const size_t marker = upper.find(kComMarker);
    if (marker == std::string::npos) {
        return 0;
    }
    std::string taken = upper.substr(marker + 1);
    const size_t close = taken.find(')');
    // A ")" before the fifth character ("(COM)") does not end a port name.
    if (close != std::string::npos && close + 1 >= 5) {
        taken.resize(close);
    }
    if (taken.size() <= 3) {
        return 0;
    }
    const double value = Val(std::string_view(taken).substr(3));
    if (!(value >= 1 && value <= kLargestPortNumber)) {
        return 0;
    }
    return static_cast<int>(std::trunc(value));
}

std::vector<PortEntry> NumberPorts(const std::vector<SerialDevice>& devices, SettingsStore& store) {
    std::vector<PortEntry> entries;
    std::set<int> taken;
    std::vector<const SerialDevice*> unnamed;
    for (const SerialDevice& device : devices) {
        const int number = PortNumberFromFriendlyName(device.friendlyName);
        if (number > 0 && taken.insert(number).second) {
            entries.push_back({number, device.path, PortCaption(number)});
        } else if (number == 0 && !device.path.empty()) {
            unnamed.push_back(&device);
        }
    }
    std::sort(unnamed.begin(), unnamed.end(),
              [](const SerialDevice* a, const SerialDevice* b) { return a->path < b->path; });
    unnamed.erase(std::unique(unnamed.begin(), unnamed.end(),
                              [](const SerialDevice* a, const SerialDevice* b) {
                                  return a->path == b->path;
                              }),
                  unnamed.end());

    if (!unnamed.empty()) {
        // What the store remembers: number -> device path.
        std::map<int, std::string> remembered;
        for (int n = 1; n <= kMaxPortNumber; ++n) {
            std::string path = store.Get(kPortMapSection, MapKey(n));
            if (!path.empty()) {
                remembered[n] = std::move(path);
            }
        }
        std::set<std::string> present;
        for (const SerialDevice* device : unnamed) {
            present.insert(device->path);
        }
        std::vector<const SerialDevice*> newcomers;
        for (const SerialDevice* device : unnamed) {
            int number = 0;
            for (const auto& [n, path] : remembered) {
                if (path == device->path && !taken.count(n)) {
                    number = n;
                    break;
                }
            }
            if (number == 0) {
                newcomers.push_back(device);
                continue;
            }
            taken.insert(number);
            entries.push_back({number, device->path, PortCaption(number, device->path)});
        }
        for (const SerialDevice* device : newcomers) {
            // First a number nobody remembers; failing that, one remembered for an absent
            // device, which then loses it.
            int number = 0;
            for (int pass = 0; pass < 2 && number == 0; ++pass) {
                for (int n = 1; n <= kMaxPortNumber; ++n) {
                    auto it = remembered.find(n);
                    const bool free =
                        it == remembered.end() || (pass == 1 && !present.count(it->second));
                    if (!taken.count(n) && free) {
                        number = n;
                        break;
                    }
                }
            }
            if (number == 0) {
                continue;  // more than kMaxPortNumber devices
            }
            taken.insert(number);
            remembered[number] = device->path;
            store.Set(kPortMapSection, MapKey(number), device->path);
            entries.push_back({number, device->path, PortCaption(number, device->path)});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.number < b.number; });
    if (entries.size() > static_cast<size_t>(kMaxPortEntries)) {
        entries.resize(kMaxPortEntries);
    }
    return entries;
}

std::string PortCaption(int number, std::string_view path) {
    std::string caption = "COM " + std::to_string(number);
    if (!path.empty()) {
        caption += " (" + DeviceName(path) + ")";
    }
    return caption;
}

std::optional<int> PortNumberFromCaption(std::string_view caption) {
    std::vector<std::string> parts = Split(caption, " ");
    if (parts.size() < 2) {
        return std::nullopt;
    }
    const double value = Val(parts[1]);
    if (!(value >= 0 && value <= kLargestPortNumber)) {
        return 0;
    }
    return static_cast<int>(std::trunc(value));
}

std::string PortPath(const std::vector<PortEntry>& entries, int number) {
    for (const PortEntry& entry : entries) {
        if (entry.number == number) {
            return entry.path;
        }
    }
    return {};
}

std::vector<SerialDevice> WithDevicePaths(std::vector<SerialDevice> listed,
                                          const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        const bool known = std::any_of(listed.begin(), listed.end(),
                                       [&](const SerialDevice& d) { return d.path == path; });
        if (!path.empty() && !known) {
            listed.push_back({path, ""});
        }
    }
    return listed;
}

std::string LoadPortDevice(SettingsStore& store) {
    return Trim(store.Get(kPortSection, kPortDeviceKey));
}

void SavePortDevice(SettingsStore& store, const std::string& path) {
    store.Set(kPortSection, kPortDeviceKey, path);
}

std::string ChosenPortPath(const std::string& device, int number,
                           const std::vector<SerialDevice>& present, SettingsStore& store) {
    if (!device.empty()) {
        return device;
    }
    return PortPath(NumberPorts(WithDevicePaths(present, {LoadPortDevice(store)}), store), number);
}

int LoadPortNumber(SettingsStore& store) {
    const double value = Val(store.Get(kPortSection, kPortKey, "1"));
    if (!(value >= 1 && value <= kLargestPortNumber)) {
        return 1;
    }
    return static_cast<int>(std::trunc(value));
}

void SavePortNumber(SettingsStore& store, int number) {
    store.Set(kPortSection, kPortKey, std::to_string(number));
}

}  // namespace mrw
