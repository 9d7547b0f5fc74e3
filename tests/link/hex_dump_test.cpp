// The hex dump lines of the memory image.
#include "link/hex_dump.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(HexDumpTest, HeaderLinesThenOneLinePerSixteenBytesUpToTheLastAddress) {
    Image image;
    image.ImageLastAddress = 8191;
    auto lines = HexDumpLines(image);
    ASSERT_EQ(lines.size(), 2u + 512u);
    EXPECT_EQ(lines[0], "       00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F");
    EXPECT_EQ(lines[1], " ----  -- -- -- -- -- -- -- -- -- -- -- -- -- -- -- --");
    image.ImageLastAddress = 32767;
    lines = HexDumpLines(image);
    EXPECT_EQ(lines.size(), 2u + 2048u);
    EXPECT_EQ(lines.back().substr(0, 6), " 7FF0:");

    // A data line shows the bytes, then the printable characters.
    image.bytes.fill(0);
    image.bytes[16] = 'A';
    image.bytes[17] = 0x7F;
    image.bytes[18] = 0x1F;
    image.bytes[19] = ' ';
    image.bytes[20] = '~';
    image.bytes[31] = 0xFF;
    lines = HexDumpLines(image);
    EXPECT_EQ(lines[3],
              " 0010: 41 7F 1F 20 7E 00 00 00 00 00 00 00 00 00 00 FF     A.. ~...........");
}

}  // namespace
}  // namespace mrw
