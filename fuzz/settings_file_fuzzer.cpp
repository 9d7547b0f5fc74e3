// Fuzzes the settings file reader: parsing, applying to the model, the whole ReadSettingsFile
// path through a real file, and encoding whatever was read into an image. Properties checked:
// no crash or undefined behaviour; what was read survives writing and reading back; a file that
// the reader accepted gives the same model as applying its sections directly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"

using namespace mrw;

namespace {

using fuzz::Check;

// Reads `text` into a copy of `base`; false when the reader refuses it.
bool Apply(const std::string& text, bool atis, const DataModel& base, DataModel& out) {
    out = base;
    return ApplySettingsSections(ParseSections(text), atis, out);
}

// The sections applied in memory, written, read again, and encoded. The model read, or
// nothing when the reader refused the sections.
std::optional<DataModel> CheckInMemory(fuzz::FuzzConfig& f, const std::string& text, bool atis) {
    f.Reset();
    f.config.state.AtisSupported = atis;
    DataModel read;
    if (!Apply(text, atis, f.baseModel, read)) {
        return std::nullopt;
    }
    // Written and read again, and once more: the second round changes nothing (the first may
    // round a double to the 15 digits the file keeps).
    f.config.model = read;
    DataModel once;
    Check(Apply(SettingsFileText(f.config), atis, f.baseModel, once), "rewritten file refused");
    f.config.model = once;
    DataModel twice;
    Check(Apply(SettingsFileText(f.config), atis, f.baseModel, twice), "second round refused");
    Check(once == twice, "model changed by a second save and open");

    // Whatever the reader let in is either encoded or refused as a whole.
    Image image = f.baseImage;
    DataModel encoded = read;
    std::string error;
    if (!EncodeImage(encoded, image, &error)) {
        Check(image.bytes == f.baseImage.bytes, "refused encoding changed the image");
    }
    return read;
}

// The whole reader through a file: all or nothing, and the same model as the sections give.
void CheckFileReader(fuzz::FuzzConfig& f, const std::string& text, bool atis,
                     const std::optional<DataModel>& direct) {
    f.Reset();
    f.config.state.AtisSupported = atis;
    std::filesystem::path path = f.folder / "input.dat";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    ReadSettingsFile(f.config, path);
    if (f.config.state.ErrorFlag) {
        Check(f.config.model == f.baseModel, "refused file changed the model");
        return;
    }
    Check(direct.has_value(), "file accepted but its sections refused");
    Check(*direct == f.config.model, "file read differs from its sections");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::FuzzConfig f;
    if (size > kMaxSettingsFileSize) {
        return 0;
    }
    std::string text(reinterpret_cast<const char*>(data), size);
    // With or without the ATIS sections, chosen by the input so that both are covered.
    const bool atis = (size & 1) != 0;
    std::optional<DataModel> read = CheckInMemory(f, text, atis);
    CheckFileReader(f, text, atis, read);
    return 0;
}
