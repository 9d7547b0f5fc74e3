// The start-up decisions of the desktop program that do not need a window: the command line,
// the model types offered by global.ini and the stored choice of the last run.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "core/config.h"

namespace mrw {

/// The command line after our own options were taken out.
struct CommandLine {
    bool debug = false;      ///< "/D", "/DE" or "/ED".
    bool baud19200 = false;  ///< "/E", "/DE" or "/ED".
    std::string portDevice;  ///< --port DEVICE
    bool help = false;       ///< --help or -h
    bool version = false;    ///< --version
    std::string file;        ///< A settings file (.dat) or raw image (.hex) to open at start-up.
    std::string error;       ///< An option of ours used wrongly (--port without a device).
};

/// Parses the program's arguments (without the program name). The options --port DEVICE
/// (or --port=DEVICE), --help, -h and --version are taken out first, then the argument whose
/// name ends in ".dat" or ".hex" (any case), the file to open (two are an error); the rest is
/// joined with blanks, trimmed, upper-cased and compared as a whole with "/D", "/E", "/DE" and
/// "/ED".
CommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The text printed for --help.
std::string CommandLineHelp();

/// Number of entries of the model menu; entry i-1 stands for model type i.
inline constexpr int kModelMenuLength = 10;

/// What global.ini offers: which model menu entries are enabled.
struct ModelScan {
    std::array<bool, kModelMenuLength> usable{};  ///< Entry i-1: model type i is offered.
    int count = 0;                                ///< Number of usable types.
    int lastUsable = 0;                           ///< The last usable type found (0 when none).
};

/// Reads "use" of the sections "model1".."model10" of global.ini; the first empty value ends
/// the scan, a value whose number is 1 (a leading "#" removed) makes the type usable.
ModelScan ScanModelTypes(const std::filesystem::path& globalIni);

/// The model type to start with: the stored "lastmodel" when it is a whole number from 1 to 9
/// naming a usable entry, else the last usable type of the scan.
int ChooseModelType(const ModelScan& scan, const std::string& lastModel);

/// Writes ModelType to "Settings"/"lastmodel" as decimal text.
void SaveLastModel(Config& config);

/// The window caption: AppTitle, two blanks, TitleText and, with a current file, " - " and
/// the file's name (after the last "/" or "\") in lower case.
std::string WindowCaption(const AppState& state);

/// Twips (1/1440 inch) to pixels at the given dots per inch, and back.
int TwipsToPixels(double twips, int dpi);
double PixelsToTwips(int pixels, int dpi);

}  // namespace mrw
