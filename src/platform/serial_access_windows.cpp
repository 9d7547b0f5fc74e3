// Whether the system lets this process use a serial device, on Windows: every user may open a
// COM port, so no membership is ever missing. "Access is denied" there means that another
// program holds the port (the guide's Troubleshooting says so).
#include "platform/qt_serial_port.h"

namespace mrw {

bool PortAccessDenied(const std::string& /*device*/) {
    return false;
}

}  // namespace mrw
