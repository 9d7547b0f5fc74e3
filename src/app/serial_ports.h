// The serial line of the desktop program: which device a transfer talks through.
#pragma once

#include <memory>

#include "core/config.h"
#include "link/serial_port.h"

namespace mrw {

/// The serial port of one transfer: the device given with --port, else the device that has
/// the chosen port number among the present ones and the one named by its path in the port
/// menu. Null when no such device is present.
std::unique_ptr<SerialPort> MakeSerialPort(const AppState& state, SettingsStore& store);

}  // namespace mrw
