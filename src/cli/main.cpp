// Entry of mrw-cli: the system's serial ports, the desktop program's settings file and
// folders, and the user's interruption (Ctrl+C; SIGTERM, SIGHUP; a closed console window) as
// the Cancel button of a running transfer. No toolkit: the system's own API through the
// core's platform files.
#include <iostream>

#include "cli/cli.h"
#include "cli/cli_port.h"
#include "cli/console.h"
#include "core/native_folders.h"
#include "core/text.h"
#include "files/ini_settings.h"
#include "link/native_serial_port.h"
#include "link/ports.h"

namespace {

/// Real time; an interruption during a transfer presses Cancel on the next poll of the line.
class CliClock : public mrw::SystemClock {
public:
    explicit CliClock(mrw::Config& config) : config_(config) {}
    void PumpEvents() override {
        if (mrw::cli::ConsoleInterrupted()) {
            config_.state.CancelFlag = true;
        }
    }

private:
    mrw::Config& config_;
};

// The device of a --port text: "COMn" or a number n as the port menu numbers them, else a
// device path as given; empty: the port chosen in the desktop program.
std::string ResolvePort(const std::string& port, mrw::SettingsStore& store, std::string& error) {
    std::string text = port;
    if (mrw::ToUpper(port).rfind("COM", 0) == 0) {
        text = mrw::Trim(port.substr(3));
    }
    if (port.empty()) {
        text = std::to_string(mrw::LoadPortNumber(store));
    }
    auto n = mrw::ParseNumber(text);
    if (n && *n >= 1 && *n == static_cast<int>(*n)) {
        const int number = static_cast<int>(*n);
        std::string path = mrw::ChosenPortPath({}, number, mrw::SystemSerialDevices(), store);
        if (path.empty()) {
            path = mrw::UnlistedPortPath(number);
        }
        if (path.empty()) {
            error = "There is no serial port COM " + std::to_string(number) +
                    " (mrw-cli ports lists them; --port also takes a device path)";
        }
        return path;
    }
    return port;
}

}  // namespace

int main(int argc, char* argv[]) {
    mrw::Config& config = mrw::TheConfig();
    CliClock clock(config);
    mrw::IniSettingsStore settings(mrw::UserSettingsFile());
    config.services.clock = &clock;
    config.services.settings = &settings;
    mrw::ChooseSystemProgramFolders(config.services);

    mrw::cli::Platform platform;
    platform.listPorts = [&settings] {
        std::vector<mrw::cli::PortListing> list;
        std::vector<mrw::SerialDevice> devices = mrw::SystemSerialDevices();
        for (const auto& entry : mrw::NumberPorts(devices, settings)) {
            std::string description;
            for (const auto& d : devices) {
                if (d.path == entry.path) {
                    description = d.friendlyName;
                }
            }
            list.push_back({entry.number, entry.path, description});
        }
        return list;
    };
    platform.openPort = [&settings](const std::string& port,
                                    std::string& error) -> std::unique_ptr<mrw::SerialPort> {
        std::string path = ResolvePort(port, settings, error);
        if (path.empty()) {
            return nullptr;
        }
        return std::make_unique<mrw::cli::OpenReportingPort>(
            std::make_unique<mrw::NativeSerialPort>(path), std::cerr);
    };
    platform.interruptible = mrw::cli::CatchInterruptions;
    platform.interrupted = mrw::cli::ConsoleInterrupted;

    mrw::cli::WriteOutputAsBytes();
    const std::vector<std::string> args = mrw::cli::ProgramArguments(argc, argv);
    mrw::cli::Streams streams{std::cout, std::cerr, mrw::cli::ErrorStreamIsTerminal()};
    int status = mrw::cli::Run(args, config, streams, platform);
    std::cout.flush();
    return status;
}
