#include "app/serial_ports.h"

#include "platform/qt_serial_port.h"

namespace mrw {

std::unique_ptr<SerialPort> MakeSerialPort(const AppState& state, SettingsStore& store) {
    const std::string path =
        ChosenPortPath(state.PortDevice, state.PortNumber, EnumerateSerialPorts(), store);
    if (path.empty()) {
        return nullptr;
    }
    return std::make_unique<QtSerialPort>(path);
}

}  // namespace mrw
