// Fuzzes the readers' own file handling: the input is written to one file on a memory file
// system (/dev/shm when there is one), reused for every input and never synced, and opened as
// the Open commands open it: as a settings file, then as a raw image file. The parity of the
// length chooses a model with or without ATIS; the prompt agrees to every change of region.
//
// Properties:
// - a refused settings file changes neither model nor image nor the current file name;
// - an opened settings file changes the image at most in its region byte, which then names a
//   region, becomes the current file, and gives the same model as reading its text in memory
//   over the defaults;
// - a raw image file of another length is refused before it is read, changing nothing, and the
//   reader itself, given a shorter one, reports a read failure and changes nothing; a file of
//   the image's length gives what loading its bytes in memory gives.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "files/hex_file.h"
#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"
#include "model/catalogue.h"

using namespace mrw;

namespace {

using fuzz::Check;

struct State {
    State() {
        std::error_code ec;
        std::filesystem::path root = "/dev/shm";
        if (!std::filesystem::is_directory(root, ec)) {
            root = std::filesystem::temp_directory_path();
        }
        folder = root / ("mrw_fuzz_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        path = folder / "input.dat";
        fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
        Check(fd >= 0, "cannot create the input file");
    }
    ~State() {
        close(fd);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    void Store(const uint8_t* data, size_t size) const {
        Check(ftruncate(fd, 0) == 0, "cannot empty the input file");
        size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            Check(n > 0, "cannot write the input file");
            done += static_cast<size_t>(n);
        }
    }

    fuzz::FuzzConfig f;
    std::filesystem::path folder;
    std::filesystem::path path;
    int fd = -1;
    DataModel expected;
    Image memoryImage;
    DataModel memoryModel;
};

void CheckSettings(State& s, const std::string& text) {
    fuzz::FuzzConfig& f = s.f;
    Config& config = f.config;
    const std::string name = "previous.dat";
    config.state.CurrentFileName = name;
    OpenSettingsFile(config, s.path);
    if (config.state.ErrorFlag) {
        Check(config.model == f.baseModel, "a refused settings file changed the model");
        Check(config.image.bytes == f.baseImage.bytes, "a refused settings file changed the image");
        Check(config.state.CurrentFileName == name, "a refused settings file became current");
        return;
    }
    Check(config.state.CurrentFileName == s.path.string(), "opened file did not become current");
    const uint8_t region = config.image.bytes[271];
    Check(RegionIndex(region) == region, "opened file left a region byte naming no region");
    config.image.bytes[271] = f.baseImage.bytes[271];
    Check(config.image.bytes == f.baseImage.bytes, "opened file changed more than the region");

    // The same text read in memory over the defaults, as opening a file starts from them (a
    // model without ATIS keeps the ATIS settings of the image it is opened over).
    s.expected = DefaultModel();
    if (!config.state.AtisSupported) {
        s.expected.Atis = DecodedModel(f.baseImage).Atis;
    }
    Check(ApplySettingsSections(ParseSections(text), config.state.AtisSupported, s.expected),
          "opened file refused when read in memory");
    Check(s.expected == config.model, "opened file differs from its text read in memory");
}

void CheckHex(State& s, const uint8_t* data, size_t size) {
    fuzz::FuzzConfig& f = s.f;
    Config& config = f.config;
    f.Reset();
    const bool opened = OpenHexFile(config, s.path);
    if (size != static_cast<size_t>(kImageSize)) {
        Check(!opened && config.state.ErrorFlag, "raw image file of another length opened");
        Check(f.prompt.messages.size() == 1 && f.prompt.messages[0].text == "bad file!!",
              "raw image file of another length read");
        Check(config.image.bytes == f.baseImage.bytes && config.model == f.baseModel,
              "refused raw image file changed the configuration");
        // The reader itself, given a file too short, fails as a read failure.
        f.Reset();
        ReadHexFile(config, s.path);
        if (size < static_cast<size_t>(kImageSize)) {
            Check(config.state.ErrorFlag && config.state.CancelFlag &&
                      f.prompt.messages.size() == 1 &&
                      f.prompt.messages[0].text == "FileRead Error!!",
                  "short raw image file read without a read failure");
        }
        Check(config.image.bytes == f.baseImage.bytes && config.model == f.baseModel,
              "short raw image file changed the configuration");
        return;
    }
    s.memoryImage = config.image;
    s.memoryModel = config.model;
    const bool taken = !config.state.ErrorFlag;
    f.Reset();
    LoadHexImage(config, std::string_view(reinterpret_cast<const char*>(data), size));
    Check(taken == !config.state.ErrorFlag && opened == taken,
          "raw image file and its bytes taken differently");
    Check(s.memoryImage.bytes == config.image.bytes && s.memoryModel == config.model,
          "raw image file and its bytes give different configurations");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static State s;
    if (size > kMaxSettingsFileSize) {
        return 0;
    }
    s.Store(data, size);
    s.f.Reset();
    s.f.config.state.AtisSupported = (size & 1) != 0;
    CheckSettings(s, std::string(reinterpret_cast<const char*>(data), size));
    CheckHex(s, data, size);
    return 0;
}
