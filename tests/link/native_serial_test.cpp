// The termios adapter of mrw-cli over a real pseudo-terminal, against the mrw-radiosim
// process, with the checks every port adapter passes; and the ports the system lists.
#include "link/native_serial_port.h"

#include <gtest/gtest.h>

#include "link/pty_port_checks.h"

namespace mrw {
namespace {

TEST(NativeSerialPortTest, ReadDiscardAbortAndAPulledCableOverThePseudoTerminal) {
    testing::CheckReadDiscardAbortAndAPulledCable<NativeSerialPort>();
}

TEST(NativeSerialPortTest, AMissingDeviceAndADeniedPermission) {
    testing::CheckMissingAndDeniedDevices<NativeSerialPort>();
}

// Pseudo-terminals are no serial ports of the list; what it lists are devices.
TEST(NativeSerialPortTest, ListsDevicesButNoPseudoTerminal) {
    testing::RadioSimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--model", "1"}, error)) << error;
    for (const SerialDevice& device : SystemSerialDevices()) {
        EXPECT_EQ(device.path.rfind("/dev/tty", 0), 0u) << device.path;
        EXPECT_NE(device.path, sim.Device());
    }
}

}  // namespace
}  // namespace mrw
