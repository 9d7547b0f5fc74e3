// What a serial port is opened with, without any system's API: the line parameters of a
// settings text, the reason a port did not open, and the device name Windows opens a COM port by.
#pragma once

#include <string>

namespace mrw {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

/// Line parameters of a settings text such as "57600,N,8,1".
struct LineSettings {
    int baud = 0;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
};

/// Parses a settings text: a whole baud rate from 50 to 4 000 000, parity N, E, O, M or S
/// (any case), 5 to 8 data bits, 1, 1.5 or 2 stop bits, blanks around each part allowed.
/// False for anything else.
bool ParseLineSettings(const std::string& settings, LineSettings& line);

/// The checks every serial port makes before it opens `device` with a settings text: the text
/// parsed into `line`, and a device chosen at all. False with the reason in `error`.
bool CheckOpenRequest(const std::string& device, const std::string& settings, LineSettings& line,
                      std::string& error);

/// Why a serial device did not open, led by the device: "/dev/ttyUSB0: reason". When the
/// system denied the permission, it adds how an ordinary Linux user gets it: membership of
/// the dialout group.
std::string PortOpenError(const std::string& device, const std::string& reason,
                          bool permissionDenied);

/// The name Windows opens a COM port by: "COM3" (any case, 1 to 255) gives "\\.\COM3", which
/// also opens COM10 and above; a name already in that form is kept. Empty for anything else.
std::string ComDevicePath(const std::string& port);

}  // namespace mrw
