// Entry of mrw-cli: real serial ports, the desktop program's settings store and program
// folder, Ctrl+C (and SIGTERM, SIGHUP) as the Cancel button of a running transfer.
#include <unistd.h>

#include <QCoreApplication>
#include <array>
#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#include "cli/cli_port.h"
#include "core/text.h"
#include "link/ports.h"
#include "platform/qt_folders.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_settings.h"

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int /*signal*/) {
    gInterrupted = true;
}

/// Real time; a Ctrl+C during a transfer presses Cancel on the next poll of the line.
class CliClock : public mrw::SystemClock {
public:
    explicit CliClock(mrw::Config& config) : config_(config) {}
    void PumpEvents() override {
        if (gInterrupted) {
            config_.state.CancelFlag = true;
        }
    }

private:
    mrw::Config& config_;
};

// The device of a --port text: "COMn" or a number n as the port menu numbers them, else a
// device path as given; empty: the port chosen in the desktop program.
std::string ResolvePort(const std::string& port, mrw::SettingsStore& store, std::string& error) {
    std::string number = port;
    if (mrw::ToUpper(port).rfind("COM", 0) == 0) {
        number = mrw::Trim(port.substr(3));
    }
    if (port.empty()) {
        number = std::to_string(mrw::LoadPortNumber(store));
    }
    auto n = mrw::ParseNumber(number);
    if (n && *n >= 1 && *n == static_cast<int>(*n)) {
        std::string path = mrw::SerialPortPathOf(static_cast<int>(*n), store);
        if (path.empty()) {
            error = "There is no serial port COM " + std::to_string(static_cast<int>(*n)) +
                    " (mrw-cli ports lists them; --port also takes a device path)";
        }
        return path;
    }
    return port;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(mrw::kAppTitle);
    QCoreApplication::setOrganizationName(mrw::kAppTitle);

    mrw::Config& config = mrw::TheConfig();
    CliClock clock(config);
    mrw::QtSettingsStore settings;
    config.services.clock = &clock;
    config.services.settings = &settings;
    mrw::ChooseProgramFolders(config.services);

    mrw::cli::Platform platform;
    platform.listPorts = [&settings] {
        std::vector<mrw::cli::PortListing> list;
        std::vector<mrw::SerialDevice> devices = mrw::EnumerateSerialPorts();
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
            std::make_unique<mrw::QtSerialPort>(path), std::cerr);
    };
    // Ctrl+C, a kill (SIGTERM) and a closed terminal (SIGHUP) all press Cancel; a signal the
    // caller ignores (nohup) stays ignored, and each gets its handler back afterwards.
    platform.interruptible = [](bool on) {
        static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
        static std::array<void (*)(int), 3> previous = {SIG_DFL, SIG_DFL, SIG_DFL};
        if (on) {
            gInterrupted = false;
        }
        for (size_t i = 0; i < kSignals.size(); ++i) {
            if (on) {
                previous[i] = std::signal(kSignals[i], OnInterrupt);
                if (previous[i] == SIG_IGN || previous[i] == SIG_ERR) {
                    std::signal(kSignals[i], previous[i] == SIG_IGN ? SIG_IGN : SIG_DFL);
                }
            } else {
                std::signal(kSignals[i], previous[i] == SIG_ERR ? SIG_DFL : previous[i]);
            }
        }
    };
    platform.interrupted = [] { return gInterrupted.load(); };

    std::vector<std::string> args(argv + 1, argv + argc);
    mrw::cli::Streams streams{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
    int status = mrw::cli::Run(args, config, streams, platform);
    std::cout.flush();
    return status;
}
