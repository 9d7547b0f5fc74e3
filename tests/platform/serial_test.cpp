// The QSerialPort adapter over a real pseudo-terminal, against the mrw-radiosim process, with
// the checks every port adapter passes.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "link/pty_port_checks.h"
#include "platform/qt_serial_port.h"

namespace mrw {
namespace {

TEST(QtSerialPortTest, ReadDiscardAbortAndAPulledCableOverThePseudoTerminal) {
    testing::CheckReadDiscardAbortAndAPulledCable<QtSerialPort>();
}

TEST(QtSerialPortTest, AMissingDeviceAndADeniedPermission) {
    testing::CheckMissingAndDeniedDevices<QtSerialPort>();
}

}  // namespace
}  // namespace mrw

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
