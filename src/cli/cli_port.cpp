#include "cli/cli_port.h"

#include <utility>

namespace mrw::cli {

OpenReportingPort::OpenReportingPort(std::unique_ptr<SerialPort> port, std::ostream& err)
    : port_(std::move(port)), err_(err) {}

bool OpenReportingPort::Open(const std::string& settings, std::string& error) {
    const bool ok = port_->Open(settings, error);
    if (opens_++ == 0 && !ok) {
        err_ << kPortOpenFailed << "\n";
        if (!error.empty()) {
            err_ << error << "\n";
        }
        err_.flush();
    }
    return ok;
}

}  // namespace mrw::cli
