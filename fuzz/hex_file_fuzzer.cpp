// Fuzzes the raw image loader and the decoder in memory. The input is a list of patches to the
// default image, three bytes each: address high, address low, value. An address with its top
// bit set fills the 256 bytes from it (wrapping at the image's end) with a pseudo-random run
// started from the value, so that a small input can also turn large areas into noise. A random
// patch seldom hits the four bytes of the model codes, so most inputs reach the decoder. Inputs
// longer than 8 KB are left alone (they would only make the corpus large). The first byte's low
// bit chooses a model with or without ATIS, its next bit which of the last two properties below
// is checked (each costs about as much as the loading).
//
// Properties:
// - the image is taken exactly when both model codes are the model type's code (2301 for
//   model type 1, 2401 for model type 2) and the region byte names a region (the prompt agrees
//   to every change of region); a refused image changes neither image nor model;
// - a taken image is the file byte for byte;
// - the settings text of the decoded model is lines of printable ASCII ending in CR LF, every
//   number plain decimal in its field's range, one section per table record;
// - the decoded model encodes back into the image, or is refused leaving the image as it was;
//   encoding leaves the identity bytes (model codes, product code) alone.
#include <cstdint>
#include <cstring>
#include <string>

#include "files/hex_file.h"
#include "files/settings_file.h"
#include "fuzz_config.h"
#include "image/codec.h"
#include "settings_text_check.h"

using namespace mrw;

using fuzz::Check;

namespace {

constexpr int kLast = kImageSize - 1;
constexpr size_t kMaxPatches = 8192;

uint16_t Word(const std::string& bytes, int address) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[static_cast<size_t>(address)]) << 8 |
                                 static_cast<uint8_t>(bytes[static_cast<size_t>(address) + 1]));
}

// Applies the patches of the input to the image bytes.
__attribute__((no_sanitize("coverage"))) void Patch(std::string& bytes, const uint8_t* data,
                                                    size_t size) {
    for (size_t i = 0; i + 2 < size; i += 3) {
        const size_t address = (static_cast<size_t>(data[i]) << 8 | data[i + 1]) % kImageSize;
        if ((data[i] & 0x80) == 0) {
            bytes[address] = static_cast<char>(data[i + 2]);
            continue;
        }
        uint32_t x = data[i + 2] * 2654435761u + 1;
        for (size_t k = 0; k < 256; ++k) {
            x = x * 1664525u + 1013904223u;
            bytes[(address + k) % kImageSize] = static_cast<char>(x >> 24);
        }
    }
}

struct State {
    fuzz::FuzzConfig f;
    std::string bytes;
    Image encoded;
    DataModel model;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static State s;
    if (size > kMaxPatches) {
        return 0;
    }
    fuzz::FuzzConfig& f = s.f;
    f.Reset();
    Config& config = f.config;
    config.state.AtisSupported = size > 0 && (data[0] & 1) != 0;
    std::string& bytes = s.bytes;
    bytes.assign(reinterpret_cast<const char*>(f.baseImage.bytes.data()), kImageSize);
    Patch(bytes, data, size);
    // An image of the second model type is tested as that model type.
    const bool second = Word(bytes, 128) == 2401;
    const int modelType = second ? 2 : 1;
    config.state.ModelType = static_cast<int16_t>(modelType);
    LoadHexImage(config, bytes);

    const uint16_t code = second ? 2401 : 2301;
    const uint8_t region = static_cast<uint8_t>(bytes[271]);
    const bool expected = Word(bytes, 128) == code && Word(bytes, kLast - 1) == code && region <= 5;
    Check(config.state.ErrorFlag != expected, "image taken or refused against its codes");
    if (size == 0) {
        return 0;
    }
    if (config.state.ErrorFlag) {
        Check(config.image.bytes == f.baseImage.bytes, "refused image changed the image");
        Check(config.model == f.baseModel, "refused image changed the model");
        return 0;
    }
    Check(std::memcmp(bytes.data(), config.image.bytes.data(), bytes.size()) == 0,
          "accepted image differs from the file");

    if ((data[0] & 2) == 0) {
        const std::string text = SettingsFileText(config);
        fuzz::CheckSettingsText(text, config.model, modelType, config.state.AtisSupported,
                                fuzz::ByteSet{});
        return 0;
    }

    // Out again as for programming.
    s.encoded = config.image;
    s.model = config.model;
    std::string error;
    if (!EncodeImage(s.model, s.encoded, &error)) {
        Check(s.encoded.bytes == config.image.bytes, "refused encoding changed the image");
        return 0;
    }
    for (int a : {128, 129, 256, 257, 258, 259, 260, 261, kLast - 1, kLast}) {
        Check(s.encoded.bytes[static_cast<size_t>(a)] == config.image.bytes[static_cast<size_t>(a)],
              "encoding changed an identity byte");
    }
    return 0;
}
