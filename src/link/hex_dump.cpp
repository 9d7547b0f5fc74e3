#include "link/hex_dump.h"

#include <algorithm>

#include "core/text.h"

namespace mrw {

namespace {
constexpr int kBytesPerLine = 16;
constexpr int kFirstPrintable = 32;
constexpr int kLastPrintable = 126;
}  // namespace

std::vector<std::string> HexDumpLines(const Image& image) {
    std::vector<std::string> lines;
    const int last = std::clamp(image.ImageLastAddress, -1, kImageSize - 1);
    lines.reserve(static_cast<size_t>(last / kBytesPerLine + 3));

    std::string header1(6, ' ');
    std::string header2 = " ---- ";
    for (int column = 0; column < kBytesPerLine; ++column) {
        header1 += " " + HexPad(static_cast<uint32_t>(column), 2);
        header2 += " --";
    }
    lines.push_back(header1);
    lines.push_back(header2);

    for (int address = 0; address <= last; address += kBytesPerLine) {
        std::string hex = " " + HexPad(static_cast<uint32_t>(address), 4) + ":";
        std::string text;
        for (int i = 0; i < kBytesPerLine; ++i) {
            // A line never reads past the image, even for a last address inside a line.
            const int a = address + i;
            const uint8_t value = a < kImageSize ? image.bytes[static_cast<size_t>(a)] : 0xFF;
            hex += " " + HexPad(value, 2);
            text += value >= kFirstPrintable && value <= kLastPrintable ? static_cast<char>(value)
                                                                        : '.';
        }
        lines.push_back(hex + "     " + text);
    }
    return lines;
}

}  // namespace mrw
