// Writes seed settings files for the settings file fuzzer: for every factory image given on the
// command line, the settings file of its configuration, with and without the ATIS sections.
// Usage: fuzz_settings_seeds <output folder> <image>...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/atomic_file.h"
#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"

using namespace mrw;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder> <image>...\n", argv[0]);
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    fuzz::FuzzConfig f;
    int written = 0;
    // The default image's configuration, with a few channels, also without factory images.
    f.config.model.CHUSA.push_back({.Position = 16, .Enable = true, .ChTag = "DISTRESS"});
    f.config.model.CHEXP.push_back({.Enable = true,
                                    .ChTag = "EXTRA",
                                    .CHDisplayL = "E1",
                                    .Txfreq = 157.0125,
                                    .Rxfreq = 157.0125});
    f.config.model.CHRG.push_back({.Enable = true, .Txfreq = 156.8, .Rxfreq = 161.4});
    for (bool atis : {false, true}) {
        f.config.state.AtisSupported = atis;
        std::string error;
        if (!WriteFileAtomically(out / (atis ? "default_atis.dat" : "default.dat"),
                                 SettingsFileText(f.config), &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        ++written;
    }
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (bytes.size() != static_cast<size_t>(kImageSize)) {
            std::fprintf(stderr, "%s: not an image, skipped\n", argv[i]);
            continue;
        }
        f.Reset();
        std::copy(bytes.begin(), bytes.end(), f.config.image.bytes.begin());
        DecodeImage(f.config.image, f.config.model);
        for (bool atis : {false, true}) {
            f.config.state.AtisSupported = atis;
            std::string name =
                std::filesystem::path(argv[i]).stem().string() + (atis ? "_atis" : "") + ".dat";
            std::string error;
            if (!WriteFileAtomically(out / name, SettingsFileText(f.config), &error)) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 1;
            }
            ++written;
        }
    }
    std::printf("%d seed settings files in %s\n", written, out.c_str());
    return 0;
}
