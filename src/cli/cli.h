// mrw-cli: everything the desktop program does with files and radios, for scripts, batches
// of radios and version-controlled configurations. The commands reuse the core, the link and
// the transfer operations unchanged; this layer only reads options and reports.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/config.h"
#include "link/serial_port.h"

namespace mrw::cli {

/// Exit status of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

/// The options and command of one invocation.
struct Options {
    std::optional<int> model;  ///< --model N
    std::string region;        ///< --region NAME
    bool yes = false;          ///< --yes
    std::string port;          ///< --port PORT
    bool baud19200 = false;    ///< --baud19200
    bool debug = false;        ///< --debug
    bool help = false;         ///< --help
    bool version = false;      ///< --version
    bool noVerify = false;     ///< --no-verify
    bool full = false;         ///< --full
    std::string backup;        ///< --backup FILE
    std::string output;        ///< -o FILE
    std::string command;
    std::vector<std::string> args;
};

/// Parses the arguments (without the program name). False with a message in `error` for a
/// usage error.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

/// The text printed for --help.
std::string HelpText();

/// One serial port as the "ports" command lists it.
struct PortListing {
    int number = 0;           ///< n of "COM n"
    std::string device;       ///< system device (e.g. /dev/ttyUSB0)
    std::string description;  ///< what the system says about it
};

/// What the command line needs from the platform; tests plug in the simulated radio.
struct Platform {
    /// The serial ports present.
    std::function<std::vector<PortListing>()> listPorts;
    /// The serial port for the --port text ("COMn", n, or a device path; empty: the stored
    /// choice). Null with a message in the string when there is no such port.
    std::function<std::unique_ptr<SerialPort>(const std::string& port, std::string& error)>
        openPort;
    /// Called with true while a transfer runs and may be interrupted (Ctrl+C), false after.
    std::function<void(bool)> interruptible;
    /// True once the user interrupted the running transfer.
    std::function<bool()> interrupted;
};

/// Streams of the command line; progress bars are drawn only when `errIsTerminal`.
struct Streams {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;
};

/// Runs one invocation on `config` (whose services — clock, settings, program folder — are
/// set by the caller; the prompt is the command line's own). Returns the exit status.
int Run(const std::vector<std::string>& args, Config& config, Streams& streams, Platform& platform);

}  // namespace mrw::cli
