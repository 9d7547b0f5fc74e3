// Image bytes as hexadecimal text, so that a test states a run of bytes on one line.
#pragma once

#include <string>

#include "core/text.h"
#include "image/image.h"

namespace mrw::testing {

/// The `count` bytes from `address` on, two upper-case hexadecimal digits a byte.
inline std::string Hex(const Image& image, int address, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += HexPad(image.Get(address + i), 2);
    }
    return out;
}

/// Writes the bytes that the hexadecimal text `hex` names from `address` on.
inline void SetHex(Image& image, int address, const std::string& hex) {
    for (size_t i = 0; i < hex.size() / 2; ++i) {
        image.Set(address + static_cast<int>(i), std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    }
}

}  // namespace mrw::testing
