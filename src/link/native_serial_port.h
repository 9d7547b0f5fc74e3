// The serial line to the radio through the system's own API, for mrw-cli: termios on POSIX
// systems, the communications functions on Windows. The desktop program uses QSerialPort.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/ports.h"
#include "link/serial_line.h"
#include "link/serial_port.h"

namespace mrw {

/// A serial device opened by path ("/dev/ttyUSB0", "/dev/pts/4"; "COM3" or "\\.\COM3" on
/// Windows). Raw 8-bit line, no flow control; DTR and RTS are never touched (pseudo-terminals
/// refuse them). Waiting() lets bytes arrive for a few milliseconds when none are taken in yet.
/// Any failure other than a time-out closes the port and keeps the reason, so the link sees
/// the line gone.
class NativeSerialPort : public SerialPort {
public:
    explicit NativeSerialPort(std::string devicePath);
    ~NativeSerialPort() override;
    NativeSerialPort(const NativeSerialPort&) = delete;
    NativeSerialPort& operator=(const NativeSerialPort&) = delete;

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
    /// Takes in what the line holds, waiting at most `waitMs` for the first byte. False when
    /// the port failed (it is closed then).
    bool Fill(int waitMs);
    /// Closes the port and keeps `reason`; returns false.
    bool Fail(const std::string& reason);

    std::string path_;
    std::string lastError_;
    /// Bytes taken from the line and not read yet, from `next_` on.
    std::vector<uint8_t> received_;
    size_t next_ = 0;
    /// The open descriptor (POSIX) or handle (Windows); -1 when closed.
    std::intptr_t handle_ = -1;
};

/// The serial devices present with a description: on Linux the ttys backed by a device
/// (without the serial8250 ttyS that have no UART behind them; pseudo-terminals are never
/// listed); on Windows the COM ports of the registry, as "COM3" with "<name> (COM3)", so that
/// NumberPorts numbers COMn as n.
std::vector<SerialDevice> SystemSerialDevices();

/// The device of port number `number` when SystemSerialDevices() does not list it: "COMn" on
/// Windows, where a port may be missing from the registry's list and still open by that name;
/// empty on POSIX systems, whose numbers stand only for listed devices.
std::string UnlistedPortPath(int number);

}  // namespace mrw
