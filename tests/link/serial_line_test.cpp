// What a serial port is opened with: the settings text, the COM device name, the reason a
// port did not open.
#include "link/serial_line.h"

#include <gtest/gtest.h>

#include <tuple>

namespace mrw {
namespace {

TEST(SerialLineTest, SettingsTextsAreParsed) {
    const auto parsed = [](const std::string& text) {
        LineSettings line;
        return ParseLineSettings(text, line)
                   ? std::optional(std::tuple(line.baud, line.parity, line.dataBits, line.stopBits))
                   : std::nullopt;
    };
    EXPECT_EQ(parsed("57600,N,8,1"), std::tuple(57600, Parity::None, 8, StopBits::One));
    EXPECT_EQ(parsed(" 19200 , e ,7, 2"), std::tuple(19200, Parity::Even, 7, StopBits::Two));
    EXPECT_EQ(parsed("50,O,5,1.5"), std::tuple(50, Parity::Odd, 5, StopBits::OneAndHalf));
    EXPECT_EQ(parsed("4000000,m,6,1"), std::tuple(4000000, Parity::Mark, 6, StopBits::One));
    EXPECT_EQ(parsed("9600,S,8,1"), std::tuple(9600, Parity::Space, 8, StopBits::One));
    for (const char* bad :
         {"57600,N,8", "57600,N,8,1,0", "fast,N,8,1", "57600,X,8,1", "57600,N,9,1", "57600,N,4,1",
          "57600,N,8,3", "49,N,8,1", "4000001,N,8,1", "57600.5,N,8,1", "", "57600,,8,1"}) {
        EXPECT_EQ(parsed(bad), std::nullopt) << bad;
    }
}

TEST(SerialLineTest, ComPortsOpenByTheirDeviceName) {
    for (auto [port, device] : {std::pair{"COM3", "\\\\.\\COM3"},
                                {"COM12", "\\\\.\\COM12"},
                                {"com5", "\\\\.\\COM5"},
                                {"\\\\.\\COM7", "\\\\.\\COM7"},
                                {"COM255", "\\\\.\\COM255"},
                                {"COM256", ""},
                                {"COM0", ""},
                                {"COM05", ""},
                                {"COM", ""},
                                {"COM3x", ""},
                                {"LPT1", ""},
                                {"/dev/ttyUSB0", ""},
                                {"COM 3", ""}}) {
        EXPECT_EQ(ComDevicePath(port), device) << port;
    }
}

TEST(SerialLineTest, OnlyADeniedPermissionSaysHowToGetItWithTheDialoutGroup) {
    EXPECT_EQ(PortOpenError("/dev/ttyACM1", "Permission denied.", true),
              "/dev/ttyACM1: Permission denied. To use serial ports, add yourself to the dialout "
              "group: sudo adduser $USER dialout, then log out and in.");
    EXPECT_EQ(PortOpenError("COM4", "Access is denied.", false), "COM4: Access is denied.");
}

}  // namespace
}  // namespace mrw
