// The serial line to the radio, as the clone protocol needs it. The desktop program and the
// command line plug in a QSerialPort adapter; tests plug in the simulated radio directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mrw {

/// One serial port. Which port (a number n of "COM n" or a device path) is chosen when the
/// object is made; Open only sets the line parameters.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    /// Opens the port with a settings text such as "57600,N,8,1" (baud, parity, data bits,
    /// stop bits), no flow control. Closes it first if open. False on failure, with the
    /// platform's description in `error`.
    virtual bool Open(const std::string& settings, std::string& error) = 0;
    /// Closes the port if open.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    /// Hands the bytes to the line. False when the port is closed or the write failed.
    virtual bool Send(const std::vector<uint8_t>& bytes) = 0;
    /// Number of received characters waiting to be read (may poll the line briefly).
    virtual int Waiting() = 0;
    /// Takes one received character, or -1 when none is waiting.
    virtual int ReadByte() = 0;
    /// Drops everything received and not yet read.
    virtual void DiscardInput() = 0;
};

}  // namespace mrw
