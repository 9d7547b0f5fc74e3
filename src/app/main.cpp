// Entry of the desktop program: command line, services, main window.
#include <QApplication>
#include <QTimer>
#include <future>
#include <iostream>
#include <string>
#include <vector>

#include "app/serial_ports.h"
#include "core/config.h"
#include "core/startup.h"
#include "platform/qt_clock.h"
#include "platform/qt_folders.h"
#include "platform/qt_prompt.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_settings.h"
#include "ui/app_icon.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/transfer_command.h"

int main(int argc, char* argv[]) {
    // --help and --version answer without a display.
    {
        const mrw::CommandLine early =
            mrw::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (early.help) {
            std::cout << mrw::CommandLineHelp();
            return 0;
        }
        if (early.version) {
            std::cout << "mrw " << MRW_VERSION << "\n";
            return 0;
        }
        if (!early.error.empty()) {
            std::cerr << "mrw: " << early.error << "\n" << mrw::CommandLineHelp();
            return 2;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(mrw::kAppTitle);
    QApplication::setOrganizationName(mrw::kAppTitle);
    QApplication::setApplicationVersion(MRW_VERSION);
    QApplication::setWindowIcon(mrw::ApplicationIcon());
    QApplication::setDesktopFileName("net.marineradioworkbench.mrw");

    // Qt has taken its own options (-platform, -style ...) out of argv by now.
#ifdef Q_OS_WIN
    // argv is in the code page on Windows; Qt's arguments come from the UTF-16 command line
    // (less its own options), so a file named beyond ASCII opens.
    std::vector<std::string> args;
    for (const QString& arg : QCoreApplication::arguments().mid(1)) {
        args.push_back(arg.toStdString());
    }
    const mrw::CommandLine line = mrw::ParseCommandLine(args);
#else
    const mrw::CommandLine line =
        mrw::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
#endif

    mrw::Config& config = mrw::TheConfig();
    config.state.DebugSwitch = line.debug;
    config.state.Baud19200Switch = line.baud19200;
    config.state.PortDevice = line.portDevice;

    mrw::QtClock clock;
    mrw::QtPrompt prompt;
    mrw::QtSettingsStore settings;
    config.services.clock = &clock;
    config.services.prompt = &prompt;
    config.services.settings = &settings;
    mrw::ChooseProgramFolders(config.services);

    // Listing the serial ports walks every terminal device of the system: the first list, for
    // the start-up's port menu, is taken on another thread while the window is built.
    std::future<std::vector<mrw::SerialDevice>> firstPorts =
        std::async(std::launch::async, mrw::EnumerateSerialPorts);
    mrw::MainWindow window(config);
    prompt.SetParent(&window);
    window.SetPortLister([&firstPorts] {
        return firstPorts.valid() ? firstPorts.get() : mrw::EnumerateSerialPorts();
    });
    mrw::InstallTransferDialog(window, config, [&settings](const mrw::AppState& state) {
        return mrw::MakeSerialPort(state, settings);
    });
    mrw::InstallHelpWindow(window, config.services.programFolder);
    if (!window.Load()) {
        return 1;
    }
    window.show();
    if (!line.file.empty()) {
        // After the start-up load, as File > Open would open it.
        QTimer::singleShot(0, &window,
                           [&window, file = line.file] { window.OpenStartupFile(file); });
    }
    return QApplication::exec();
}
