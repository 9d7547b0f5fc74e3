// Whether the system lets this process use a serial device, on POSIX systems: a device node
// opens for reading and writing only to its owner and its group (dialout on Debian).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/qt_serial_port.h"

namespace mrw {

bool PortAccessDenied(const std::string& device) {
    return faccessat(AT_FDCWD, device.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

}  // namespace mrw
