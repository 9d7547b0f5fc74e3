// Field primitives of the memory image: bit access, texts, BCD fields, half hours and the
// display renderings the editor and the report share.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "hex_bytes.h"
#include "image/image.h"
#include "model/catalogue.h"
#include "test_files.h"

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

TEST(BitAccess, BitsAndBitFields) {
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
    EXPECT_EQ(GetBits(0xB4, 2, 7), 2);
    EXPECT_EQ(GetBits(0xB4, 3, 2), 4);
    b = 0x30;
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

TEST(OtherValues, SplitWordByteSumFirstEnabledAndHalfHours) {
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
    for (int16_t h = -24; h <= 24; ++h) {
        int16_t copy = h;
        ASSERT_EQ(DecodeHalfHours(EncodeHalfHours(copy)), h);
    }
}

TEST(Text, CharacterCodeAndDisplaySet) {
    const std::string set =
        "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-+().*/ ,";
    for (int c = 0; c < 256; ++c) {
        bool inSet = c != 0 && set.find(static_cast<char>(c)) != std::string::npos;
        ASSERT_EQ(CodeToChar(c), inSet ? std::string(1, static_cast<char>(c)) : "") << c;
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

TEST(Bcd, FrequencyOnThe100HzGridAndDigitsUpToANonDigit) {
    Image image;
    for (int n = 1; n < 1000000; n += 97) {
        double mhz = 100.0 + n / 10000.0;
        auto f = WriteBcdFrequency(mhz);
        std::copy(f.begin(), f.end(), image.bytes.begin());
        ASSERT_NEAR(ReadBcdFrequency(image, 0), mhz, 1e-9) << n;
    }
    // BCD digits stop at the first non-digit.
    image.Set(640, 0x12);
    image.Set(641, 0x3F);
    EXPECT_EQ(ReadBcdDigits(image, 640), "123");
    image.Set(640, 0xA1);
    EXPECT_EQ(ReadBcdDigits(image, 640), "");
    image.Fill(640, 5, 0x00);
    EXPECT_EQ(ReadBcdDigits(image, 640), "0000000000");
}

// What the function named in a row of values.txt gives for the row's arguments.
std::string Evaluate(const std::string& fn, const std::vector<std::string>& a) {
    auto i = [&](size_t k) { return std::stoi(a.at(k)); };
    auto d = [&](size_t k) { return std::stod(a.at(k)); };
    auto f4 = [](double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%.4f", v);
        return std::string(text);
    };
    auto s = [](auto... v) {
        std::string out = ((std::to_string(v) + " ") + ...);
        return out.substr(0, out.size() - 1);
    };
    Image image;
    if (fn == "bits") {
        return s(GetBit(i(0), i(1)), TestBit(i(0), i(1)), BitMask(true, i(1)));
    } else if (fn == "valtobool") {
        return std::to_string(ValToBool(a[0]));
    } else if (fn == "halfhours") {
        int16_t v = static_cast<int16_t>(i(0));
        const int byte = EncodeHalfHours(v);
        return s(byte, v);
    } else if (fn == "decodehalfhours") {
        return std::to_string(DecodeHalfHours(i(0)));
    } else if (fn == "displaychar") {
        image.Set(10, i(0));
        return ReadDisplayChar(image, 10);
    } else if (fn == "chartocode") {
        return std::to_string(CharToCode(a[0]));
    } else if (fn == "bcdread") {
        for (int k = 0; k < 3; ++k) {
            image.Set(k, std::stoi(a[0].substr(2 * k, 2), nullptr, 16));
        }
        return f4(ReadBcdFrequency(image, 0));
    } else if (fn == "bcdwrite") {
        const auto field = WriteBcdFrequency(d(0));
        std::copy(field.begin(), field.end(), image.bytes.begin());
        return Hex(image, 0, 3);
    } else if (fn == "bcddigits") {
        image.Fill(640, 5, 0x00);
        WriteBcdDigits(image, 640, a[0], i(1) == 1);
        const std::string read = ReadBcdDigits(image, 640);
        return Hex(image, 640, 5) + (read.empty() ? "" : " " + read);
    } else if (fn == "freq3") {
        return FormatFreq3(d(0));
    } else if (fn == "freq3blank") {
        return FormatFreq3Blank(d(0), i(1) == 1);
    } else if (fn == "freq4") {
        return FormatFreq4(d(0)) + " " + f4(SnapFrequency(d(0)));
    } else if (fn == "grid25") {
        return std::to_string(IsOn25kHzGrid(d(0)));
    } else if (fn == "offset") {
        const auto& list = TimeOffsetList();
        const bool listed = list.size() == 49 && std::abs(i(0)) <= 24;
        if (listed && list[static_cast<size_t>(i(0) + 24)] != TimeOffsetText(i(0))) {
            return "not as listed";
        }
        return TimeOffsetText(i(0));
    } else if (fn == "number") {
        return ChannelNumberText(i(0));
    } else if (fn == "suffix") {
        return ChannelSuffixText(i(0));
    }
    ChannelRecord r;
    r.Position = static_cast<int16_t>(i(0));
    if (fn == "label") {
        r.StatusNo = static_cast<int16_t>(i(1));
        r.StatusIcon = static_cast<int16_t>(i(2));
        return ChannelLabel(r);
    }
    r.Duplex = static_cast<int16_t>(i(1));
    r.TxEnable = i(2) == 1;
    return fn == "catalogueRx" ? CatalogueRxText(r) : CatalogueRxText(r) + "/" + CatalogueTxText(r);
}

TEST(Values, PrimitivesAndRenderings) {
    for (const auto& c : testing::ReadCases(testing::TestData("image/values.txt"))) {
        SCOPED_TRACE(c.where);
        const std::vector<std::string> args(c.fields.begin() + 1, c.fields.end() - 1);
        EXPECT_EQ(Evaluate(c[0], args), c.fields.back());
    }
}

}  // namespace
}  // namespace mrw
