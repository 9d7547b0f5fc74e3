// The serial-port menu of the main window: where it takes the present ports from.
#pragma once

#include <functional>
#include <vector>

#include "link/ports.h"

namespace mrw {

/// Entries of the serial-port menu.
inline constexpr int kSerialMenuEntries = kMaxPortEntries;

/// Source of the present serial devices (the platform's enumeration, or a test's list).
using PortLister = std::function<std::vector<SerialDevice>()>;

}  // namespace mrw
