// The serial ports present on this computer, as the serial-port menu lists them.
#pragma once

#include <vector>

#include "ui/serial_menu.h"

namespace mrw {

/// The present serial ports with their menu numbers.
std::vector<PortEntry> SystemSerialPorts();

}  // namespace mrw
