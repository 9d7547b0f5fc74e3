// The serial-port menu's rules: which ports it lists, in what order, with what captions, and
// which port number a chosen entry stands for.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mrw {

/// Entries of the serial-port menu.
inline constexpr int kSerialMenuEntries = 16;

/// One serial port present on the computer.
struct PortEntry {
    int number = 0;      ///< n of "COM n"; ports with a number of 0 or below are not listed.
    std::string device;  ///< Platform device name shown after the number (may be empty).
};

/// Source of the present serial ports (the platform's enumeration, or a test's list).
using PortLister = std::function<std::vector<PortEntry>()>;

/// The ports the menu shows: numbers above 0, sorted ascending by number (shell sort with
/// halving gaps), at most the first 16.
std::vector<PortEntry> MenuPorts(std::vector<PortEntry> ports);

/// "COM" + one space + the number, then two blanks and the device name in brackets when known.
std::string PortCaption(const PortEntry& port);

/// The port number of a menu caption: the numeric value of its second blank-separated part,
/// or nothing when the caption has no second part.
std::optional<int> PortNumberOfCaption(const std::string& caption);

}  // namespace mrw
