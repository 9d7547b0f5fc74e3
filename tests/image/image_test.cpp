// Field primitives of the memory image: bit access, texts, BCD fields, half hours and the
// display renderings the editor and the report share.
#include <gtest/gtest.h>

#include <cmath>

#include "hex_bytes.h"
#include "image/image.h"
#include "model/catalogue.h"

namespace mrw {
namespace {

using testing::Hex;

TEST(ImageAccess, OutOfRangeAddressesAndValuesFailWithoutWriting) {
    Image image;
    image.bytes.fill(0x5A);
    EXPECT_THROW(image.Get(kImageSize), ImageRangeError);
    EXPECT_THROW(image.Get(-1), ImageRangeError);
    EXPECT_THROW(image.Set(kImageSize, 1), ImageRangeError);
    EXPECT_THROW(image.At(-5), ImageRangeError);
    // Multi-byte writes that would run past the end write nothing at all.
    EXPECT_THROW(image.Fill(kImageSize - 2, 4, 0), ImageRangeError);
    std::string text = "ABCD";
    EXPECT_THROW(WriteText(image, kImageSize - 2, text, 4, true), ImageRangeError);
    EXPECT_EQ(text, "ABCD");
    EXPECT_THROW(WriteBcdDigits(image, kImageSize - 3, "123456789", true), ImageRangeError);
    EXPECT_THROW(ReadBcdFrequency(image, kImageSize - 2), ImageRangeError);
    EXPECT_THROW(image.Set(10, 256), ByteOverflowError);
    EXPECT_THROW(image.Set(10, -1), ByteOverflowError);
    for (uint8_t b : image.bytes) {
        ASSERT_EQ(b, 0x5A);
    }
    image.Set(kImageSize - 1, 255);
    EXPECT_EQ(image.Get(kImageSize - 1), 255);
}

TEST(BitAccess, TheThreeBitNumberings) {
    // {byte, bit, GetBit (0..7), TestBit (1..8), BitMask (1..8)}
    const int rows[][5] = {{0x80, 7, 1, 0, 64}, {0x80, 8, 0, 1, 128}, {0xFF, -1, 0, 0, 0},
                           {0x01, 1, 0, 1, 1},  {0xFF, 0, 1, 0, 0},   {0x1FF, 9, 0, 0, 0}};
    for (const auto& r : rows) {
        EXPECT_EQ(GetBit(r[0], r[1]), r[2]) << r[0] << " " << r[1];
        EXPECT_EQ(TestBit(r[0], r[1]), r[3] == 1) << r[0] << " " << r[1];
        EXPECT_EQ(BitMask(true, r[1]), r[4]) << r[1];
    }
    EXPECT_EQ(BitMask(false, 3), 0);
    Image image;
    image.Set(3, 0x81);
    EXPECT_TRUE(ImageBit(image, 3, 0) && ImageBit(image, 3, 7));
    EXPECT_FALSE(ImageBit(image, 3, 1) || ImageBit(image, 3, 8));
    uint8_t b = 0x00;
    SetBit(b, 1, 3);
    EXPECT_EQ(b, 0x08);
    SetBit(b, -1, 3);  // a Boolean True is not 1
    EXPECT_EQ(b, 0x00);
    b = 0xFF;
    SetBit(b, 1, 8);
    SetBit(b, 0, -1);
    EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(BitString(5, 4), "0101");
}

TEST(BitAccess, BitFields) {
    EXPECT_EQ(GetBits(0xB4, 2, 7), 2);
    EXPECT_EQ(GetBits(0xB4, 3, 2), 4);
    uint8_t b = 0x30;
    SetBits(b, 2, 5, 300);  // values outside 0..255 change nothing
    SetBits(b, 2, 5, -1);
    EXPECT_EQ(b, 0x30);
    b = 0xFF;
    SetBits(b, 2, 3, 0x04);  // higher bits of the value are dropped; the neighbours stay
    EXPECT_EQ(b, 0xF3);
    for (int w = 1; w <= 8; ++w) {
        for (int t = w - 1; t <= 7; ++t) {
            for (int v = 0; v < (1 << w); ++v) {
                uint8_t x = 0xA5;
                SetBits(x, w, t, v);
                ASSERT_EQ(GetBits(x, w, t), v) << w << " " << t;
                int mask = ((1 << w) - 1) << (t - w + 1);
                ASSERT_EQ(x & ~mask & 0xFF, 0xA5 & ~mask & 0xFF);
            }
        }
    }
}

TEST(OtherValues, ValToBoolSplitWordByteSumAndFirstEnabled) {
    // Rounded first, halves to the even neighbour.
    for (const char* t : {"1", "-1", "1.5"}) {
        EXPECT_TRUE(ValToBool(t)) << t;
    }
    for (const char* t : {"0", "0.4", "0.5", "abc"}) {
        EXPECT_FALSE(ValToBool(t)) << t;
    }
    uint8_t hi = 1;
    uint8_t lo = 2;
    SplitWord(70000, hi, lo);  // does not fit: nothing built, no wrap
    EXPECT_EQ(hi * 256 + lo, 0x0102);
    SplitWord(0x1234, hi, lo);
    EXPECT_EQ(hi * 256 + lo, 0x1234);
    SplitWord(-1, hi, lo);
    EXPECT_EQ(hi * 256 + lo, 0xFFFF);
    Image image;
    image.Fill(66, 29, 0x10);
    EXPECT_EQ(ByteSum(image, 66, 29), (29 * 0x10) % 256);
    ChannelTable table(3);
    EXPECT_EQ(FirstEnabledIndex(table), -1);
    table[2].Enable = true;
    EXPECT_EQ(FirstEnabledIndex(table), 2);
}

TEST(OtherValues, HalfHoursClampAndIgnoreTheTopBits) {
    // {value, encoded byte, value after clamping}
    const int rows[][3] = {
        {-30, 24, -24}, {0, 0x20, 0}, {24, 0x38, 24}, {31, 0x38, 24}, {-11, 0x0B, -11}};
    for (const auto& r : rows) {
        int16_t v = static_cast<int16_t>(r[0]);
        EXPECT_EQ(EncodeHalfHours(v), r[1]) << r[0];
        EXPECT_EQ(v, r[2]);
    }
    EXPECT_EQ(DecodeHalfHours(0x05), -5);
    EXPECT_EQ(DecodeHalfHours(0xF8), 24);  // bits 6 and 7 are not part of the value
    for (int16_t h = -24; h <= 24; ++h) {
        int16_t copy = h;
        ASSERT_EQ(DecodeHalfHours(EncodeHalfHours(copy)), h);
    }
}

TEST(Text, CharacterCodeAndDisplaySet) {
    EXPECT_EQ(CharToCode("a"), 97);
    EXPECT_EQ(CharToCode(","), ',');
    for (const char* c : {"_", "", "\xC4"}) {
        EXPECT_EQ(CharToCode(c), 255) << c;
    }
    const std::string set =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-+().*/ ,";
    for (int c = 0; c < 256; ++c) {
        bool inSet = c != 0 && set.find(static_cast<char>(c)) != std::string::npos;
        ASSERT_EQ(CodeToChar(c), inSet ? std::string(1, static_cast<char>(c)) : "") << c;
    }
    Image image;
    const uint8_t bytes[] = {0xFF, '7', 'a', '-', ' '};
    const char* shown[] = {" ", "7", "", "", " "};
    for (int i = 0; i < 5; ++i) {
        image.Set(10 + i, bytes[i]);
        EXPECT_EQ(ReadDisplayChar(image, 10 + i), shown[i]) << i;
    }
    EXPECT_EQ(TrimAtNul(std::string("AB\0CD", 5)), "AB");
    EXPECT_EQ(TrimAtNul("ABCD"), "");
}

TEST(Text, ReadStopsOutsideTheSetAndWritePads) {
    Image image;
    for (int end : {0xFF, int{' '}, 0x00}) {
        image.Set(100, 'A');
        image.Set(101, 'B');
        image.Set(102, end);
        image.Set(103, end == ' ' ? ' ' : 'C');
        EXPECT_EQ(ReadText(image, 100, 4), "AB") << end;
    }
    std::string text = "xyz";
    WriteText(image, 102, text, 3, false);
    EXPECT_EQ(ReadText(image, 100, 4), "ABxy");

    text = "AB";
    WriteText(image, 200, text, 4, false);
    EXPECT_EQ(Hex(image, 200, 4), "4142FFFF");
    EXPECT_EQ(text, "AB");
    WriteText(image, 200, text, 4, true);
    EXPECT_EQ(Hex(image, 200, 5), "4142202000");
    EXPECT_EQ(text, "AB  ");
    std::string longText = "ABCDEF";
    WritePaddedText(image, 200, longText, 4);
    EXPECT_EQ(longText, "ABCD");
    EXPECT_EQ(image.Get(204), 0x00);  // nothing past the field
    std::string odd = "a_";
    WriteText(image, 300, odd, 2, false);
    EXPECT_EQ(Hex(image, 300, 2), "61FF");
}

TEST(BcdFrequency, ReadThroughTheHexadecimalText) {
    // 100.0 is not above 100; a hexadecimal letter ends the number.
    const std::pair<uint32_t, double> rows[] = {
        {0x560250, 156.025},  {0xFFFFFF, 0.0},   {0x000000, 0.0}, {0x000001, 100.0001},
        {0x999999, 199.9999}, {0x625FFF, 162.5}, {0xA10000, 0.0}};
    Image image;
    for (const auto& [field, mhz] : rows) {
        for (int i = 0; i < 3; ++i) {
            image.Set(0x100 + i, (field >> (16 - 8 * i)) & 0xFF);
        }
        EXPECT_DOUBLE_EQ(ReadBcdFrequency(image, 0x100), mhz) << std::hex << field;
    }
}

TEST(BcdFrequency, WriteRoundsTo100HzAndNeverWraps) {
    // A half of the written text rounds up whatever the binary value: 156.03125 is exact,
    // 156.02505 and 156.00005 lie just below their texts.
    const std::pair<double, const char*> rows[] = {
        {156.8, "568000"},     {156.025, "560250"},      {157.425, "574250"},
        {105.00004, "050000"}, {156.01236, "560124"},    {0, "FFFFFF"},
        {100, "FFFFFF"},       {-3, "FFFFFF"},           {250.0, "FFFFFF"},
        {199.99996, "FFFFFF"}, {std::nan(""), "FFFFFF"}, {156.03125, "560313"},
        {156.02505, "560251"}, {156.00005, "560001"}};
    Image image;
    for (const auto& [mhz, hex] : rows) {
        auto f = WriteBcdFrequency(mhz);
        std::copy(f.begin(), f.end(), image.bytes.begin());
        EXPECT_EQ(Hex(image, 0, 3), hex) << mhz;
    }
    for (int n = 1; n < 1000000; n += 97) {
        double mhz = 100.0 + n / 10000.0;
        auto f = WriteBcdFrequency(mhz);
        std::copy(f.begin(), f.end(), image.bytes.begin());
        ASSERT_NEAR(ReadBcdFrequency(image, 0), mhz, 1e-9) << n;
    }
}

TEST(BcdDigits, LastNibbleFlagBlanksAndStops) {
    // {digits, force the last nibble to 0, bytes, read back}
    const std::tuple<const char*, bool, const char*, const char*> rows[] = {
        {"123456789", false, "123456789F", "123456789"},
        {"123456789", true, "1234567890", "1234567890"},
        {"1234567891", true, "1234567890", "1234567890"},
        {"1234567891", false, "1234567891", "1234567891"},
        {"   ", true, "FFFFFFFFFF", ""},
        {"12A", false, "12FFFFFFFF", "12"},
        {"", false, "FFFFFFFFFF", ""}};
    Image image;
    for (const auto& [digits, forceZero, hex, read] : rows) {
        image.Fill(640, 5, 0x00);
        WriteBcdDigits(image, 640, digits, forceZero);
        EXPECT_EQ(Hex(image, 640, 5), hex) << digits;
        EXPECT_EQ(ReadBcdDigits(image, 640), read) << digits;
    }
    image.Set(640, 0x12);
    image.Set(641, 0x3F);
    EXPECT_EQ(ReadBcdDigits(image, 640), "123");
    image.Set(640, 0xA1);
    EXPECT_EQ(ReadBcdDigits(image, 640), "");
    image.Fill(640, 5, 0x00);
    EXPECT_EQ(ReadBcdDigits(image, 640), "0000000000");
}

TEST(Renderings, FrequenciesAndGrids) {
    const std::pair<double, const char*> three[] = {
        {156.025, "156.025"}, {0, "---.---"}, {-1, "---.---"}, {99.5, "099.500"}};
    for (const auto& [mhz, text] : three) {
        EXPECT_EQ(FormatFreq3(mhz), text);
    }
    EXPECT_EQ(FormatFreq3Blank(156.8, true), "---.---");
    EXPECT_EQ(FormatFreq3Blank(156.8, false), "156.800");
    // Four decimals snap to the 12.5 kHz grid, halves to the even step.
    const std::tuple<double, const char*, double> four[] = {{156.0375, "156.0375", 156.0375},
                                                            {156.0371, "156.0350", 156.035},
                                                            {156.025, "156.0250", 156.025},
                                                            {0, "---.----", 0},
                                                            {161.4, "161.4000", 161.4}};
    for (const auto& [in, text, snapped] : four) {
        EXPECT_EQ(FormatFreq4(in), text) << in;
        EXPECT_NEAR(SnapFrequency(in), snapped, 1e-9);
    }
    EXPECT_TRUE(IsOn25kHzGrid(156.025) && IsOn25kHzGrid(156.8));
    EXPECT_FALSE(IsOn25kHzGrid(156.0125) || IsOn25kHzGrid(156.005));
}

TEST(Renderings, TimeOffsetsAndChannelLabels) {
    const auto& list = TimeOffsetList();
    ASSERT_EQ(list.size(), 49u);
    const std::pair<int, const char*> offsets[] = {{0, "-12:00"}, {1, "-11:30"}, {23, "-0:30"},
                                                   {24, " 0"},    {25, "+0:30"}, {48, "+12:00"}};
    for (const auto& [i, text] : offsets) {
        EXPECT_EQ(list[static_cast<size_t>(i)], text);
        EXPECT_EQ(TimeOffsetText(i - 24), text);
    }
    EXPECT_EQ(TimeOffsetText(25) + TimeOffsetText(-25), "");
    const std::pair<int, const char*> numbers[] = {{0, "0"}, {100, "00"}, {127, ""}, {101, ""}};
    for (const auto& [n, text] : numbers) {
        EXPECT_EQ(ChannelNumberText(n), text) << n;
    }
    EXPECT_EQ(ChannelSuffixText(0) + ChannelSuffixText(2) + ChannelSuffixText(3), "B");
    // {Position, StatusNo, StatusIcon, label}
    const std::tuple<int16_t, int16_t, int16_t, const char*> labels[] = {
        {22, 127, 1, "22A"}, {5, 10, 0, "1005"}, {120, 10, 0, "10"}};
    for (const auto& [position, statusNo, icon, label] : labels) {
        EXPECT_EQ(ChannelLabel({.Position = position, .StatusIcon = icon, .StatusNo = statusNo}),
                  label);
    }
}

TEST(Renderings, CatalogueFrequenciesByDuplex) {
    ChannelRecord r;
    r.Position = 16;  // F1 = F2 = 156.800, F3 = 161.400
    r.TxEnable = true;
    const std::pair<const char*, const char*> byDuplex[] = {{"156.800", "156.800"},
                                                            {"161.400", "161.400"},
                                                            {"161.400", "156.800"},
                                                            {"156.800", "161.400"}};
    for (int16_t d = 0; d < 4; ++d) {
        r.Duplex = d;
        EXPECT_EQ(CatalogueRxText(r), byDuplex[d].first) << d;
        EXPECT_EQ(CatalogueTxText(r), byDuplex[d].second) << d;
    }
    r.TxEnable = false;
    EXPECT_EQ(CatalogueTxText(r), "---.---");
    r.Position = -1;
    EXPECT_EQ(CatalogueRxText(r) + CatalogueTxText(r), "");
    r.Position = 120;
    EXPECT_EQ(CatalogueRxText(r), "");
}

}  // namespace
}  // namespace mrw
