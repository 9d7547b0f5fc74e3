// Channel memory map: bitmaps, tags, four-byte and sixteen-byte records of the six tables.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "image/channel_map.h"
#include "image/codec.h"
#include "image/memory_map.h"

#include "hex_bytes.h"
#include "model_fields.h"
#include "test_files.h"

namespace mrw {
namespace {

using layout::ChannelTableId;
using layout::TableLayout;
using testing::Hex;

const layout::ChannelTableLayout& kUsa = TableLayout(ChannelTableId::CHUSA);
const layout::ChannelTableLayout& kExp = TableLayout(ChannelTableId::CHEXP);
const layout::ChannelTableLayout& kWx = TableLayout(ChannelTableId::CHWX);

ChannelRecord StandardChannel(int position) {
    ChannelRecord r;
    r.Enable = true;
    r.Position = static_cast<int16_t>(position);
    r.TxEnable = true;
    r.StatusNo = 127;
    return r;
}

TEST(ChannelMapDecode, TableLengthIsTheRunOfLeadingSetBits) {
    // {first two bitmap bytes, table length}; the other bitmap bytes are all set.
    const std::pair<int, size_t> rows[] = {{0xE000, 3}, {0xB0FF, 1}, {0x0000, 0}, {0xFFFE, 15}};
    Image image;
    image.Fill(kUsa.enableBitmap, kUsa.enableBytes, 0xFF);
    for (const auto& [bits, length] : rows) {
        image.Set(kUsa.enableBitmap, bits >> 8);
        image.Set(kUsa.enableBitmap + 1, bits & 0xFF);
        DataModel m;
        DecodeChannelTable(image, m, ChannelTableId::CHUSA);
        EXPECT_EQ(m.CHUSA.size(), length) << std::hex << bits;
    }
}

TEST(ChannelMapDecode, FourByteRecordsStopAtTheFirstNonCatalogueIndex) {
    DataModel m;
    m.CHUSA = {StandardChannel(16), StandardChannel(119), StandardChannel(1), StandardChannel(2)};
    m.CHUSA[3].Duplex = 2;
    Image image;
    ASSERT_NO_THROW(EncodeChannelTable(m, image, ChannelTableId::CHUSA));
    image.Set(kUsa.recordBase + 2 * kUsa.recordSize, 120);
    DataModel d;
    DecodeChannelTable(image, d, ChannelTableId::CHUSA);
    ASSERT_EQ(d.CHUSA.size(), 4u);
    EXPECT_EQ(d.CHUSA[0].Position, 16);
    EXPECT_EQ(d.CHUSA[1].Position, 119);
    EXPECT_EQ(d.CHUSA[2].Position, 0);
    EXPECT_FALSE(d.CHUSA[2].TxEnable);
    EXPECT_EQ(d.CHUSA[3].Position, 0);  // later records stay initial too
    EXPECT_EQ(d.CHUSA[3].Duplex, 0);
}

TEST(ChannelMapDecode, TransmitModeTwoReadsAsTransmitOffAndEncodesAsZero) {
    Image image;
    image.Set(kUsa.enableBitmap, 0x80);
    image.Set(kUsa.recordBase, 5);
    image.Set(kUsa.recordBase + 1, 0x20);  // transmit mode 2
    DataModel m;
    DecodeChannelTable(image, m, ChannelTableId::CHUSA);
    ASSERT_EQ(m.CHUSA.size(), 1u);
    EXPECT_FALSE(m.CHUSA[0].TxEnable);
    EXPECT_FALSE(m.CHUSA[0].LowPower);
    EncodeChannelTable(m, image, ChannelTableId::CHUSA);
    EXPECT_EQ(GetBits(image.Get(kUsa.recordBase + 1), 2, 5), 0);
}

// "XX*n ..." written out: n bytes XX.
std::string Expand(const std::string& text) {
    std::istringstream in(text);
    std::string out;
    for (std::string item; in >> item;) {
        const size_t star = item.find('*');
        const int n = star == std::string::npos ? 1 : std::stoi(item.substr(star + 1));
        for (int k = 0; k < n; ++k) {
            out += item.substr(0, star);
        }
    }
    return out;
}

TEST(ChannelMapEncode, BytesOfTheTables) {
    const std::map<std::string, ChannelTableId> ids = {{"CHUSA", ChannelTableId::CHUSA},
                                                       {"CHEXP", ChannelTableId::CHEXP}};
    for (const auto& c : testing::ReadCases(testing::TestData("image/channel_map_bytes.txt"))) {
        SCOPED_TRACE(c.where);
        Image image;
        image.bytes.fill(static_cast<uint8_t>(std::stoi(c[0], nullptr, 16)));
        DataModel m;
        if (c[1] != "-") {
            testing::SetFields(m, c[1]);
        }
        EncodeChannelTable(m, image, ids.at(c[2]));
        const std::string want = Expand(c[4]);
        EXPECT_EQ(Hex(image, std::stoi(c[3]), static_cast<int>(want.size() / 2)), want);
    }
}

TEST(ChannelMapDecode, DisplayTextOutsideTheSetAddsNothingAndFFIsASpace) {
    Image image;
    image.Set(kExp.enableBitmap, 0x80);
    image.Set(kExp.recordBase + 4, 'a');
    image.Set(kExp.recordBase + 5, 0xFF);
    DataModel d;
    DecodeChannelTable(image, d, ChannelTableId::CHEXP);
    ASSERT_EQ(d.CHEXP.size(), 1u);
    EXPECT_EQ(d.CHEXP[0].CHDisplayL, " ");
}

TEST(ChannelMapEncode, TagsAreCutToSixteenAndEndAtCharactersOutsideTheSet) {
    DataModel m;
    m.CHUSA = {StandardChannel(1), StandardChannel(2), StandardChannel(3)};
    m.CHUSA[0].ChTag = "ABCDEFGHIJKLMNOPQRST";
    m.CHUSA[1].ChTag = "harbour master";
    m.CHUSA[2].ChTag = "MY_BOAT";
    Image image;
    EncodeChannelTable(m, image, ChannelTableId::CHUSA);
    EXPECT_EQ(image.Get(kUsa.tagBase + 16), 'h');  // the next tag starts at its own slot
    DataModel d;
    DecodeChannelTable(image, d, ChannelTableId::CHUSA);
    EXPECT_EQ(d.CHUSA[0].ChTag, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(d.CHUSA[1].ChTag, "harbour master");
    EXPECT_EQ(d.CHUSA[2].ChTag, "MY");
}

TEST(ChannelMapWeather, DecodingSetsOnlyEnableScanAndTagOfExistingRecords) {
    DataModel m;
    m.CHWX.resize(kWeatherChannels);
    for (int k = 0; k < kWeatherChannels; ++k) {
        m.CHWX[static_cast<size_t>(k)].Position = static_cast<int16_t>(k + 1);
        m.CHWX[static_cast<size_t>(k)].Enable = true;
        m.CHWX[static_cast<size_t>(k)].TxEnable = false;
    }
    Image image;
    image.Set(kWx.enableBitmap, 0xA0);  // 1 0 1 0 ...: not a run, every bit counts
    image.Set(kWx.enableBitmap + 1, 0x40);
    image.Set(kWx.scanBitmap + 1, 0x80);
    image.Fill(kWx.tagBase, 16 * kWeatherChannels, 0xFF);
    std::string tag = "162.550MHZ";
    WriteText(image, kWx.tagBase + 16 * 9, tag, 16, false);
    DecodeChannelTable(image, m, ChannelTableId::CHWX);
    ASSERT_EQ(m.CHWX.size(), 10u);
    std::string enable;
    std::string scan;
    for (const ChannelRecord& r : m.CHWX) {
        enable += r.Enable ? '1' : '0';
        scan += r.ScanMemory ? '1' : '0';
    }
    EXPECT_EQ(enable, "1010000001");
    EXPECT_EQ(scan, "0000000010");
    EXPECT_EQ(m.CHWX[9].ChTag, "162.550MHZ");
    EXPECT_EQ(m.CHWX[9].Position, 10);
    // Records past the sixteen bitmap bits keep their flag; the byte after the bitmap is not read.
    m.CHWX.resize(17);
    image.Set(kWx.enableBitmap + 2, 0xFF);
    DecodeChannelTable(image, m, ChannelTableId::CHWX);
    EXPECT_FALSE(m.CHWX[16].Enable);
    // An empty weather table stays empty.
    DataModel empty;
    DecodeChannelTable(image, empty, ChannelTableId::CHWX);
    EXPECT_TRUE(empty.CHWX.empty());
}

}  // namespace
}  // namespace mrw
