// Field primitives of the memory image: bit access, texts, BCD fields, half hours and the
// display renderings the editor and the report share.
#include <gtest/gtest.h>

#include <cmath>

#include "image/image.h"
#include "model/catalogue.h"

namespace mrw {
namespace {

std::array<uint8_t, 5> Bytes5(const Image& image, int address) {
    std::array<uint8_t, 5> out{};
    for (int i = 0; i < 5; ++i) {
        out[static_cast<size_t>(i)] = image.Get(address + i);
    }
    return out;
}

TEST(ImageAccess, AddressesOutsideTheImageFailWithoutWriting) {
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
    for (uint8_t b : image.bytes) {
        ASSERT_EQ(b, 0x5A);
    }
    image.Set(kImageSize - 1, 7);
    EXPECT_EQ(image.Get(kImageSize - 1), 7);
}

TEST(ImageAccess, ValuesThatDoNotFitInAByteAreRefused) {
    Image image;
    EXPECT_THROW(image.Set(10, 256), ByteOverflowError);
    EXPECT_THROW(image.Set(10, -1), ByteOverflowError);
    EXPECT_EQ(image.Get(10), 0);
    image.Set(10, 255);
    EXPECT_EQ(image.Get(10), 255);
}

TEST(BitAccess, ConventionsAndRanges) {
    EXPECT_EQ(GetBit(0x80, 7), 1);
    EXPECT_EQ(GetBit(0x80, 8), 0);
    EXPECT_EQ(GetBit(0xFF, -1), 0);
    EXPECT_TRUE(TestBit(0x01, 1));
    EXPECT_TRUE(TestBit(0x80, 8));
    EXPECT_FALSE(TestBit(0xFF, 0));
    EXPECT_FALSE(TestBit(0x1FF, 9));
    EXPECT_EQ(BitMask(true, 1), 1);
    EXPECT_EQ(BitMask(true, 8), 128);
    EXPECT_EQ(BitMask(true, 9), 0);
    EXPECT_EQ(BitMask(false, 3), 0);
    Image image;
    image.Set(3, 0x81);
    EXPECT_TRUE(ImageBit(image, 3, 0));
    EXPECT_FALSE(ImageBit(image, 3, 1));
    EXPECT_TRUE(ImageBit(image, 3, 7));
    EXPECT_FALSE(ImageBit(image, 3, 8));
}

TEST(BitAccess, SetBitOnlySetsForExactlyOne) {
    uint8_t b = 0x00;
    SetBit(b, 1, 3);
    EXPECT_EQ(b, 0x08);
    SetBit(b, -1, 3);  // a Boolean True is not 1
    EXPECT_EQ(b, 0x00);
    b = 0xFF;
    SetBit(b, 1, 8);
    SetBit(b, 0, -1);
    EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(BoolToBit(true), 1);
    EXPECT_EQ(BoolToBit(false), 0);
}

TEST(BitAccess, BitFields) {
    EXPECT_EQ(GetBits(0xB4, 2, 7), 2);
    EXPECT_EQ(GetBits(0xB4, 3, 2), 4);
    uint8_t b = 0x00;
    SetBits(b, 2, 5, 3);
    EXPECT_EQ(b, 0x30);
    SetBits(b, 2, 5, 300);
    EXPECT_EQ(b, 0x30);
    SetBits(b, 2, 5, -1);
    EXPECT_EQ(b, 0x30);
    // Higher bits of the value are dropped; the neighbours stay.
    b = 0xFF;
    SetBits(b, 2, 3, 0x04);
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
    EXPECT_EQ(BitString(5, 4), "0101");
    EXPECT_EQ(BitString(0x80, 8), "10000000");
}

TEST(BitAccess, ValToBoolRoundsFirst) {
    EXPECT_TRUE(ValToBool("1"));
    EXPECT_TRUE(ValToBool("-1"));
    EXPECT_FALSE(ValToBool("0"));
    EXPECT_FALSE(ValToBool("0.4"));
    EXPECT_FALSE(ValToBool("0.5"));  // halves go to the even neighbour
    EXPECT_TRUE(ValToBool("1.5"));
    EXPECT_FALSE(ValToBool("abc"));
}

TEST(OtherValues, SplitWordAndByteSum) {
    uint8_t hi = 1;
    uint8_t lo = 2;
    SplitWord(0x1234, hi, lo);
    EXPECT_EQ(hi, 0x12);
    EXPECT_EQ(lo, 0x34);
    SplitWord(-1, hi, lo);
    EXPECT_EQ(hi, 0xFF);
    EXPECT_EQ(lo, 0xFF);
    hi = 1;
    lo = 2;
    SplitWord(70000, hi, lo);  // does not fit: nothing built, no wrap
    EXPECT_EQ(hi, 1);
    EXPECT_EQ(lo, 2);
    Image image;
    image.Fill(66, 29, 0x10);
    EXPECT_EQ(ByteSum(image, 66, 29), (29 * 0x10) % 256);
    EXPECT_EQ(ByteSum(image, 66, 0), 0);
}

TEST(OtherValues, HalfHours) {
    int16_t v = -30;
    EXPECT_EQ(EncodeHalfHours(v), 24);
    EXPECT_EQ(v, -24);
    v = 0;
    EXPECT_EQ(EncodeHalfHours(v), 0x20);
    v = 24;
    EXPECT_EQ(EncodeHalfHours(v), 0x38);
    v = 31;
    EXPECT_EQ(EncodeHalfHours(v), 0x38);
    EXPECT_EQ(v, 24);
    v = -11;
    EXPECT_EQ(EncodeHalfHours(v), 0x0B);
    EXPECT_EQ(DecodeHalfHours(0x05), -5);
    EXPECT_EQ(DecodeHalfHours(0x20), 0);
    EXPECT_EQ(DecodeHalfHours(0x38), 24);
    EXPECT_EQ(DecodeHalfHours(0xF8), 24);  // bits 6 and 7 are not part of the value
    for (int16_t h = -24; h <= 24; ++h) {
        int16_t copy = h;
        ASSERT_EQ(DecodeHalfHours(EncodeHalfHours(copy)), h);
    }
}

TEST(OtherValues, FirstEnabledIndex) {
    ChannelTable table(3);
    EXPECT_EQ(FirstEnabledIndex(table), -1);
    table[2].Enable = true;
    EXPECT_EQ(FirstEnabledIndex(table), 2);
    EXPECT_EQ(FirstEnabledIndex(ChannelTable{}), -1);
}

TEST(Text, CharacterCode) {
    EXPECT_EQ(CharToCode("a"), 97);
    EXPECT_EQ(CodeToChar(97), "a");
    EXPECT_EQ(CharToCode("_"), 255);
    EXPECT_EQ(CharToCode(""), 255);
    EXPECT_EQ(CharToCode(","), ',');
    EXPECT_EQ(CharToCode("\xC4"), 255);
    EXPECT_EQ(CodeToChar(0), "");
    EXPECT_EQ(CodeToChar(0xFF), "");
    EXPECT_EQ(CodeToChar('#'), "");
    const std::string set =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-+().*/ ,";
    int count = 0;
    for (int c = 0; c < 256; ++c) {
        if (!CodeToChar(c).empty()) {
            ++count;
            ASSERT_NE(set.find(static_cast<char>(c)), std::string::npos) << c;
        }
    }
    EXPECT_EQ(count, static_cast<int>(set.size()));
}

TEST(Text, ReadTextStopsAtFirstByteOutsideTheSet) {
    Image image;
    image.Set(100, 'A');
    image.Set(101, 'B');
    image.Set(102, 0xFF);
    image.Set(103, 'C');
    EXPECT_EQ(ReadText(image, 100, 4), "AB");
    image.Set(102, ' ');
    image.Set(103, ' ');
    EXPECT_EQ(ReadText(image, 100, 4), "AB");
    image.Set(102, 0x00);
    EXPECT_EQ(ReadText(image, 100, 4), "AB");
    image.Set(102, 'x');
    image.Set(103, 'y');
    image.Set(104, 'z');
    EXPECT_EQ(ReadText(image, 100, 4), "ABxy");
}

TEST(Text, WriteTextWithAndWithoutPadding) {
    Image image;
    std::string text = "AB";
    WriteText(image, 200, text, 4, false);
    EXPECT_EQ(image.Get(200), 0x41);
    EXPECT_EQ(image.Get(201), 0x42);
    EXPECT_EQ(image.Get(202), 0xFF);
    EXPECT_EQ(image.Get(203), 0xFF);
    EXPECT_EQ(text, "AB");
    WriteText(image, 200, text, 4, true);
    EXPECT_EQ(image.Get(202), 0x20);
    EXPECT_EQ(image.Get(203), 0x20);
    EXPECT_EQ(text, "AB  ");
    std::string longText = "ABCDEF";
    WritePaddedText(image, 200, longText, 4);
    EXPECT_EQ(longText, "ABCD");
    EXPECT_EQ(image.Get(204), 0x00);  // nothing past the field
    std::string odd = "a_";
    WriteText(image, 300, odd, 2, false);
    EXPECT_EQ(image.Get(300), 'a');
    EXPECT_EQ(image.Get(301), 0xFF);
}

TEST(Text, DisplayCharacters) {
    Image image;
    image.Set(10, 0xFF);
    image.Set(11, '7');
    image.Set(12, 'a');
    image.Set(13, '-');
    image.Set(14, ' ');
    EXPECT_EQ(ReadDisplayChar(image, 10), " ");
    EXPECT_EQ(ReadDisplayChar(image, 11), "7");
    EXPECT_EQ(ReadDisplayChar(image, 12), "");
    EXPECT_EQ(ReadDisplayChar(image, 13), "");
    EXPECT_EQ(ReadDisplayChar(image, 14), " ");
    EXPECT_EQ(TrimAtNul(std::string("AB\0CD", 5)), "AB");
    EXPECT_EQ(TrimAtNul("ABCD"), "");
}

TEST(BcdFrequency, Read) {
    Image image;
    auto put = [&](uint8_t a, uint8_t b, uint8_t c) {
        image.Set(0x100, a);
        image.Set(0x101, b);
        image.Set(0x102, c);
        return ReadBcdFrequency(image, 0x100);
    };
    EXPECT_DOUBLE_EQ(put(0x56, 0x02, 0x50), 156.025);
    EXPECT_EQ(put(0xFF, 0xFF, 0xFF), 0.0);
    EXPECT_EQ(put(0x00, 0x00, 0x00), 0.0);  // 100.0 is not above 100
    EXPECT_DOUBLE_EQ(put(0x00, 0x00, 0x01), 100.0001);
    EXPECT_DOUBLE_EQ(put(0x99, 0x99, 0x99), 199.9999);
    EXPECT_DOUBLE_EQ(put(0x62, 0x5F, 0xFF), 162.5);  // a hexadecimal letter ends the number
    EXPECT_EQ(put(0xA1, 0x00, 0x00), 0.0);
}

TEST(BcdFrequency, Write) {
    using Field = std::array<uint8_t, 3>;
    EXPECT_EQ(WriteBcdFrequency(156.8), (Field{0x56, 0x80, 0x00}));
    EXPECT_EQ(WriteBcdFrequency(156.025), (Field{0x56, 0x02, 0x50}));
    EXPECT_EQ(WriteBcdFrequency(157.425), (Field{0x57, 0x42, 0x50}));
    EXPECT_EQ(WriteBcdFrequency(0), (Field{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteBcdFrequency(100), (Field{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteBcdFrequency(-3), (Field{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteBcdFrequency(105.00004), (Field{0x05, 0x00, 0x00}));  // rounded to 100 Hz
    EXPECT_EQ(WriteBcdFrequency(156.01236), (Field{0x56, 0x01, 0x24}));
    // 200 MHz and more cannot be carried; the field never receives a wrapped value.
    EXPECT_EQ(WriteBcdFrequency(250.0), (Field{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteBcdFrequency(199.99996), (Field{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteBcdFrequency(std::nan("")), (Field{0xFF, 0xFF, 0xFF}));
    // Every frequency on the 100 Hz grid survives the field.
    Image image;
    for (int n = 1; n < 1000000; n += 97) {
        double mhz = 100.0 + n / 10000.0;
        Field f = WriteBcdFrequency(mhz);
        for (int i = 0; i < 3; ++i) {
            image.Set(i, f[static_cast<size_t>(i)]);
        }
        ASSERT_NEAR(ReadBcdFrequency(image, 0), mhz, 1e-9) << n;
    }
}

TEST(BcdDigits, WriteAndRead) {
    Image image;
    WriteBcdDigits(image, 640, "123456789", false);
    EXPECT_EQ(Bytes5(image, 640), (std::array<uint8_t, 5>{0x12, 0x34, 0x56, 0x78, 0x9F}));
    EXPECT_EQ(ReadBcdDigits(image, 640), "123456789");
    WriteBcdDigits(image, 640, "123456789", true);
    EXPECT_EQ(Bytes5(image, 640), (std::array<uint8_t, 5>{0x12, 0x34, 0x56, 0x78, 0x90}));
    EXPECT_EQ(ReadBcdDigits(image, 640), "1234567890");
    WriteBcdDigits(image, 640, "1234567891", true);  // tenth digit replaced by 0
    EXPECT_EQ(ReadBcdDigits(image, 640), "1234567890");
    WriteBcdDigits(image, 640, "1234567891", false);
    EXPECT_EQ(ReadBcdDigits(image, 640), "1234567891");
    WriteBcdDigits(image, 640, "   ", true);
    EXPECT_EQ(Bytes5(image, 640), (std::array<uint8_t, 5>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ReadBcdDigits(image, 640), "");
    WriteBcdDigits(image, 640, "12A", false);
    EXPECT_EQ(Bytes5(image, 640), (std::array<uint8_t, 5>{0x12, 0xFF, 0xFF, 0xFF, 0xFF}));
    WriteBcdDigits(image, 640, "", false);
    EXPECT_EQ(image.Get(640), 0xFF);
    image.Set(640, 0x12);
    image.Set(641, 0x3F);
    EXPECT_EQ(ReadBcdDigits(image, 640), "123");
    image.Set(640, 0xA1);
    EXPECT_EQ(ReadBcdDigits(image, 640), "");
    image.Fill(640, 5, 0x00);
    EXPECT_EQ(ReadBcdDigits(image, 640), "0000000000");
}

TEST(Renderings, Frequencies) {
    EXPECT_EQ(FormatFreq3(156.025), "156.025");
    EXPECT_EQ(FormatFreq3(0), "---.---");
    EXPECT_EQ(FormatFreq3(-1), "---.---");
    EXPECT_EQ(FormatFreq3(99.5), "099.500");
    EXPECT_EQ(FormatFreq3Blank(156.8, true), "---.---");
    EXPECT_EQ(FormatFreq3Blank(156.8, false), "156.800");
    double f = 156.0375;
    EXPECT_EQ(FormatFreq4(f), "156.0375");  // on the 12.5 kHz grid
    f = 156.0371;
    EXPECT_EQ(FormatFreq4(f), "156.0350");
    EXPECT_NEAR(f, 156.035, 1e-9);
    f = 156.0250;
    EXPECT_EQ(FormatFreq4(f), "156.0250");
    f = 0;
    EXPECT_EQ(FormatFreq4(f), "---.----");
    f = 161.4;
    SnapFrequency(f);
    EXPECT_DOUBLE_EQ(f, 161.4);
    EXPECT_TRUE(IsOn25kHzGrid(156.025));
    EXPECT_TRUE(IsOn25kHzGrid(156.8));
    EXPECT_FALSE(IsOn25kHzGrid(156.0125));
    EXPECT_FALSE(IsOn25kHzGrid(156.005));
}

TEST(Renderings, TimeOffsets) {
    const auto& list = TimeOffsetList();
    ASSERT_EQ(list.size(), 49u);
    EXPECT_EQ(list[0], "-12:00");
    EXPECT_EQ(list[1], "-11:30");
    EXPECT_EQ(list[23], "-0:30");
    EXPECT_EQ(list[24], " 0");
    EXPECT_EQ(list[25], "+0:30");
    EXPECT_EQ(list[26], "+1:00");
    EXPECT_EQ(list[48], "+12:00");
    EXPECT_EQ(TimeOffsetText(-1), "-0:30");
    EXPECT_EQ(TimeOffsetText(0), " 0");
    EXPECT_EQ(TimeOffsetText(-11), "-5:30");
    EXPECT_EQ(TimeOffsetText(25), "");
    EXPECT_EQ(TimeOffsetText(-25), "");
}

TEST(Renderings, ChannelLabels) {
    EXPECT_EQ(ChannelNumberText(0), "0");
    EXPECT_EQ(ChannelNumberText(10), "10");
    EXPECT_EQ(ChannelNumberText(100), "00");
    EXPECT_EQ(ChannelNumberText(127), "");
    EXPECT_EQ(ChannelNumberText(101), "");
    EXPECT_EQ(ChannelSuffixText(2), "B");
    EXPECT_EQ(ChannelSuffixText(1), "A");
    EXPECT_EQ(ChannelSuffixText(0), "");
    EXPECT_EQ(ChannelSuffixText(3), "");
    ChannelRecord r;
    r.Position = 22;
    r.StatusNo = 127;
    r.StatusIcon = 1;
    EXPECT_EQ(ChannelLabel(r), "22A");
    r.Position = 5;
    r.StatusNo = 10;
    r.StatusIcon = 0;
    EXPECT_EQ(ChannelLabel(r), "1005");
    r.Position = 120;
    EXPECT_EQ(ChannelLabel(r), "10");
}

TEST(Renderings, CatalogueFrequenciesByDuplex) {
    ChannelRecord r;
    r.Position = 16;  // F1 = F2 = 156.800, F3 = 161.400
    r.TxEnable = true;
    r.Duplex = 0;
    EXPECT_EQ(CatalogueRxText(r), "156.800");
    EXPECT_EQ(CatalogueTxText(r), "156.800");
    r.Duplex = 1;
    EXPECT_EQ(CatalogueRxText(r), "161.400");
    EXPECT_EQ(CatalogueTxText(r), "161.400");
    r.Duplex = 2;
    EXPECT_EQ(CatalogueRxText(r), "161.400");
    EXPECT_EQ(CatalogueTxText(r), "156.800");
    r.Duplex = 3;
    EXPECT_EQ(CatalogueRxText(r), "156.800");
    EXPECT_EQ(CatalogueTxText(r), "161.400");
    r.TxEnable = false;
    EXPECT_EQ(CatalogueTxText(r), "---.---");
    r.Position = -1;
    EXPECT_EQ(CatalogueRxText(r), "");
    EXPECT_EQ(CatalogueTxText(r), "");
    r.Position = 120;
    EXPECT_EQ(CatalogueRxText(r), "");
}

}  // namespace
}  // namespace mrw
