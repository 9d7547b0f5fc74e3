// Fuzzes the raw image loader. An input of exactly the image size is taken as an image file;
// any other input is applied as (address high, address low, value) patches to the default
// image with its model codes kept, so that small inputs reach the decoder too. Whatever the
// loader takes must decode, encode, pass the consistency pass and survive the settings file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/hex_file.h"
#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"

using namespace mrw;

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::FuzzConfig f;
    f.Reset();
    // An image of the second model type is tested as that model type.
    bool second = size > 129 && data[128] == 0x09 && data[129] == 0x61;
    f.config.state.ModelType = static_cast<int16_t>(second ? 2 : 1);
    std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadHexImage(f.config, bytes);  // any length: short inputs are read failures
    if (size != static_cast<size_t>(kImageSize)) {
        f.Reset();
        f.config.state.ModelType = 1;
        bytes.assign(reinterpret_cast<const char*>(f.baseImage.bytes.data()), kImageSize);
        for (size_t i = 0; i + 2 < size; i += 3) {
            size_t address = (static_cast<size_t>(data[i]) << 8 | data[i + 1]) % kImageSize;
            bool code = (address >= 128 && address <= 129) || address >= kImageSize - 2;
            if (!code) {
                bytes[address] = static_cast<char>(data[i + 2]);
            }
        }
        LoadHexImage(f.config, bytes);
    }
    if (f.config.state.ErrorFlag) {
        Check(f.config.image.bytes == f.baseImage.bytes, "refused image changed the image");
        Check(f.config.model == f.baseModel, "refused image changed the model");
        return 0;
    }
    Check(std::memcmp(bytes.data(), f.config.image.bytes.data(), bytes.size()) == 0,
          "accepted image differs from the file");

    // A decoded model goes through the settings file and back without refusal.
    std::string text = SettingsFileText(f.config);
    DataModel back = f.baseModel;
    Check(ApplySettingsSections(ParseSections(text), false, back), "decoded model not readable");

    // And out again as for programming.
    std::string error;
    if (EncodeImage(f.config.model, f.config.image, &error)) {
        PrepareImageForWrite(f.config.image, f.config.model);
        UpdateChecksum(f.config.image);
    }
    return 0;
}
