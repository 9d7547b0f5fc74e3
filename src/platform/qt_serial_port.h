// The serial line to the radio on the desktop: QSerialPort behind the SerialPort interface,
// and the list of serial devices the system reports.
#pragma once

#include <QSerialPort>
#include <string>
#include <vector>

#include "core/services.h"
#include "link/native_serial_port.h"
#include "link/ports.h"
#include "link/serial_line.h"
#include "link/serial_port.h"

namespace mrw {

/// A serial device opened by path ("/dev/ttyUSB0", "/dev/pts/4", "COM3"). Blocking use
/// without an event loop: Waiting() pulls received bytes in by waiting a few milliseconds.
/// DTR and RTS are never touched (pseudo-terminals refuse them); no flow control. Any port
/// failure other than a time-out closes the port, so the link sees the line gone.
class QtSerialPort : public SerialPort {
public:
    explicit QtSerialPort(std::string devicePath);

    bool Open(const std::string& settings, std::string& error) override;
    void Close() override;
    bool IsOpen() const override;
    bool Send(const std::vector<uint8_t>& bytes) override;
    int Waiting() override;
    int ReadByte() override;
    void DiscardInput() override;

    /// The device this port opens.
    const std::string& Path() const { return path_; }
    /// Description of the failure that closed the port last, empty when none.
    const std::string& LastError() const { return lastError_; }

private:
    /// Closes the port on any failure but a time-out; true when the port is still usable.
    bool CheckError();

    std::string path_;
    QSerialPort port_;
    std::string lastError_;
};

/// True when the system refuses this process reading and writing the device, as Linux does for
/// a user outside the dialout group; false for a device that is missing or opens, and always
/// on Windows, where every user may open a COM port (serial_access_*.cpp).
bool PortAccessDenied(const std::string& device);

/// The serial devices present, with their friendly names ("description (portName)").
std::vector<SerialDevice> EnumerateSerialPorts();

/// The device of port number `number` among the present devices and the remembered device
/// named by its path (numbered as the port menu numbers them); empty when none has that
/// number.
std::string SerialPortPathOf(int number, SettingsStore& store);

}  // namespace mrw
