// The serial port of mrw-cli: says on the error stream why it did not open, as the desktop
// program's transfer dialog says it in a box. The link itself gives up on such a port silently.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace mrw::cli {

/// The first line of the message of a port that does not open.
inline constexpr const char* kPortOpenFailed = "The serial port cannot be opened.";

/// Passes everything to the real port. When its first opening fails, writes kPortOpenFailed
/// and the port's reason (which names the device) to `err`; later openings are not reported.
class OpenReportingPort : public SerialPort {
public:
    OpenReportingPort(std::unique_ptr<SerialPort> port, std::ostream& err);

    bool Open(const std::string& settings, std::string& error) override;
    void Close() override { port_->Close(); }
    bool IsOpen() const override { return port_->IsOpen(); }
    bool Send(const std::vector<uint8_t>& bytes) override { return port_->Send(bytes); }
    int Waiting() override { return port_->Waiting(); }
    int ReadByte() override { return port_->ReadByte(); }
    void DiscardInput() override { port_->DiscardInput(); }

private:
    std::unique_ptr<SerialPort> port_;
    std::ostream& err_;
    int opens_ = 0;
};

}  // namespace mrw::cli
