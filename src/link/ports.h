// Serial port selection without a user interface: port numbers from the devices the system
// reports, the "COM n" captions of the port menu, the click rule and the persisted choice.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/services.h"

namespace mrw {

/// At most this many ports appear in the port menu.
inline constexpr int kMaxPortEntries = 16;
/// Highest number the stable numbering hands out.
inline constexpr int kMaxPortNumber = 255;
/// Settings store section and key of the chosen port number.
inline constexpr const char* kPortSection = "ComPath";
inline constexpr const char* kPortKey = "ComNum";
/// Settings store section remembering which device had which number ("Port<n>" = path).
inline constexpr const char* kPortMapSection = "ComPorts";
/// Settings store key (section "ComPath") of the device the user named by its path, which
/// the system may not list (a pseudo-terminal such as /dev/pts/3).
inline constexpr const char* kPortDeviceKey = "ComDevice";

/// One serial device as the system reports it.
struct SerialDevice {
    /// What opens it: "/dev/ttyUSB0", "COM3".
    std::string path;
    /// Friendly name, e.g. "USB Serial Port (COM3)"; may be empty.
    std::string friendlyName;
};

/// One entry of the port menu.
struct PortEntry {
    int number = 0;
    /// Device path, as in SerialDevice.
    std::string path;
    /// "COM 3", or "COM 2 (ttyUSB0)" for a device known by path only.
    std::string caption;
};

/// The port number of a friendly name holding "(COMn)" (any case), 0 when it holds none:
/// "USB Serial Port (COM10)" gives 10, "Printer Port (LPT1)" gives 0.
int PortNumberFromFriendlyName(std::string_view name);

/// The menu entries of the present devices, ascending by number, at most 16. Devices whose
/// friendly name carries "(COMn)" get n; every other device gets a number that stays the
/// same between runs while it is present, remembered in the settings store.
std::vector<PortEntry> NumberPorts(const std::vector<SerialDevice>& devices, SettingsStore& store);

/// "COM" + space + number, followed by " (" + device name + ")" when `path` is given; the
/// device name is the path without "/dev/" ("ttyUSB0", "pts/3").
std::string PortCaption(int number, std::string_view path = {});

/// `listed`, followed by each of `paths` that is not empty and not listed already, as a
/// device known by its path only.
std::vector<SerialDevice> WithDevicePaths(std::vector<SerialDevice> listed,
                                          const std::vector<std::string>& paths);

/// The device named by its path that the user chose last (empty when none).
std::string LoadPortDevice(SettingsStore& store);
/// Remembers the device named by its path.
void SavePortDevice(SettingsStore& store, const std::string& path);

/// The device a transfer opens: `device` when given (--port), else the device numbered
/// `number` among the present devices and the remembered device named by path. Empty when
/// no such device is present.
std::string ChosenPortPath(const std::string& device, int number,
                           const std::vector<SerialDevice>& present, SettingsStore& store);

/// The click rule: the caption split at spaces; its second part read as a number. Nothing
/// for a caption without a second part (an entry never filled).
std::optional<int> PortNumberFromCaption(std::string_view caption);

/// The device path of port `number` among `entries`, empty when not present.
std::string PortPath(const std::vector<PortEntry>& entries, int number);

/// The stored port number ("ComPath"/"ComNum"), 1 when none or unreadable.
int LoadPortNumber(SettingsStore& store);
/// Stores the port number as decimal text.
void SavePortNumber(SettingsStore& store, int number);

}  // namespace mrw
