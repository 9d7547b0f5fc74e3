#include "core/startup.h"

#include <cmath>

#include "core/profile.h"
#include "core/text.h"

namespace mrw {

namespace {

#ifdef _WIN32
constexpr const char* kPortExample = "COM3";
#else
constexpr const char* kPortExample = "/dev/ttyUSB0";
#endif

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine result;
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--port") {
            if (i + 1 < args.size()) {
                result.portDevice = args[++i];
            } else {
                result.error =
                    std::string("--port needs a device, for example --port ") + kPortExample;
            }
        } else if (arg.rfind("--port=", 0) == 0) {
            result.portDevice = arg.substr(7);
            if (result.portDevice.empty()) {
                result.error =
                    std::string("--port needs a device, for example --port=") + kPortExample;
            }
        } else if (arg == "--help" || arg == "-h") {
            result.help = true;
        } else if (arg == "--version") {
            result.version = true;
        } else if (EndsWithIgnoreCase(arg, ".dat") || EndsWithIgnoreCase(arg, ".hex")) {
            if (!result.file.empty()) {
                result.error = "give one file to open, not two: " + result.file + ", " + arg;
            }
            result.file = arg;
        } else {
            rest.push_back(arg);
        }
    }
    std::string joined;
    for (const auto& piece : rest) {
        if (!joined.empty()) {
            joined += ' ';
        }
        joined += piece;
    }
    const std::string line = ToUpper(Trim(joined));
    if (line == "/DE" || line == "/ED") {
        result.debug = true;
        result.baud19200 = true;
    } else if (line == "/D") {
        result.debug = true;
    } else if (line == "/E") {
        result.baud19200 = true;
    }
    return result;
}

std::string CommandLineHelp() {
    return "Usage: mrw [/D | /E | /DE] [--port DEVICE] [FILE]\n"
           "Marine Radio Workbench: read, edit and program marine VHF radios.\n"
           "\n"
           "  /D             debug mode: error log, daily log, hex dump, raw image files\n"
           "  /E             keep the radio link at 19200 baud\n"
           "  /DE, /ED       both\n"
           "  --port DEVICE  use this serial device instead of the port chosen in the menu\n"
           "  FILE           open this settings file (.dat) or raw image (.hex) at start-up\n"
           "  --help         show this text\n"
           "  --version      show the version\n"
           "\n"
#ifdef _WIN32
           // The folders Qt chooses on Windows for QSettings (INI, user scope) and for
           // QStandardPaths::AppLocalDataLocation.
           "Files: global.ini and the region default images are read from the folder of\n"
           "this program, else from ..\\share\\mrw beside it.\n"
           "In debug mode err.log and log\\ are written to the folder of this program when\n"
           "it holds those files and may be written, else to %LOCALAPPDATA%\\MRW\\MRW.\n"
           "Settings: %APPDATA%\\MRW\\MRW.ini; your own defaults (File > Save As Default):\n"
           "%LOCALAPPDATA%\\MRW\\MRW\\defaults.\n";
#else
           "Files: global.ini and the region default images are read from the folder of\n"
           "this program, else from ../share/mrw beside it, else from\n" MRW_INSTALLED_DATA_DIR
           ".\n"
           "In debug mode err.log and log/ are written to the folder of this program when\n"
           "it holds those files and may be written, else to ~/.local/share/MRW/MRW.\n"
           "Settings: ~/.config/MRW/MRW.ini; your own defaults (File > Save As Default):\n"
           "~/.local/share/MRW/MRW/defaults.\n"
           "A serial port refused for lack of permission: add yourself to the dialout\n"
           "group (sudo adduser $USER dialout), then log out and in.\n";
#endif
}

ModelScan ScanModelTypes(const std::filesystem::path& globalIni) {
    ModelScan scan;
    for (int type = 1; type <= kModelMenuLength; ++type) {
        const std::string use = ReadProfileValue(globalIni, "model" + std::to_string(type), "use");
        if (use.empty()) {
            break;
        }
        if (Val(use) == 1.0) {
            scan.usable[type - 1] = true;
            scan.lastUsable = type;
            ++scan.count;
        }
    }
    return scan;
}

int ChooseModelType(const ModelScan& scan, const std::string& lastModel) {
    const std::optional<double> value = ParseNumber(lastModel);
    if (value && *value == std::floor(*value) && *value >= 1 && *value < kModelMenuLength) {
        const int type = static_cast<int>(*value);
        if (scan.usable[type - 1]) {
            return type;
        }
    }
    return scan.lastUsable;
}

void SaveLastModel(Config& config) {
    config.settings().Set("Settings", "lastmodel", std::to_string(config.state.ModelType));
}

std::string WindowCaption(const AppState& state) {
    std::string caption = std::string(kAppTitle) + "  " + state.TitleText;
    if (!state.CurrentFileName.empty()) {
        const std::string& path = state.CurrentFileName;
        const size_t cut = path.find_last_of("/\\");
        caption += " - " + ToLower(cut == std::string::npos ? path : path.substr(cut + 1));
    }
    return caption;
}

int TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

double PixelsToTwips(int pixels, int dpi) {
    return dpi > 0 ? pixels * 1440.0 / dpi : pixels * 15.0;
}

}  // namespace mrw
