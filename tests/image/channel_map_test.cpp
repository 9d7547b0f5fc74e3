// Channel memory map: bitmaps, tags, four-byte and sixteen-byte records of the six tables.
#include <gtest/gtest.h>

#include "image/channel_map.h"
#include "image/codec.h"
#include "image/memory_map.h"

#include "hex_bytes.h"

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

ChannelRecord UserChannel(double rx, double tx) {
    ChannelRecord r;
    r.Enable = true;
    r.Rxfreq = rx;
    r.Txfreq = tx;
    r.CHDisplayL = "M1";
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

TEST(ChannelMapEncode, EmptyStandardTableFreesEverySlot) {
    Image image;
    image.bytes.fill(0x5A);
    DataModel m;
    EncodeChannelTable(m, image, ChannelTableId::CHUSA);
    EXPECT_EQ(Hex(image, kUsa.enableBitmap, kUsa.enableBytes), std::string(24, '0'));
    EXPECT_EQ(Hex(image, kUsa.scanBitmap, kUsa.enableBytes), std::string(24, '0'));
    EXPECT_EQ(Hex(image, kUsa.tagBase, 96 * 16), std::string(96 * 32, 'F'));
    EXPECT_EQ(Hex(image, kUsa.recordBase, 96 * 4 + 1), std::string(96 * 8, 'F') + "5A");
}

TEST(ChannelMapEncode, FourByteRecordFields) {
    DataModel m;
    ChannelRecord r = StandardChannel(16);
    r.Duplex = 2;
    r.TxEnable = true;
    r.LowPower = true;
    r.PowUp = true;
    r.StatusIcon = 2;
    r.InterShipCH = true;
    r.StatusNo = 10;
    r.ScrambleOn = true;
    r.Scramble = 5;
    m.CHUSA = {r, StandardChannel(3)};
    m.CHUSA[1].ScanMemory = true;
    Image image;
    image.bytes.fill(0xFF);
    EncodeChannelTable(m, image, ChannelTableId::CHUSA);
    int a = kUsa.recordBase;
    EXPECT_EQ(image.Get(a), 16);
    EXPECT_EQ(image.Get(a + 1), 0x80 | 0x10 | 0x08 | 0x02);
    EXPECT_EQ(image.Get(a + 2), 0x80 | 10);
    EXPECT_EQ(image.Get(a + 3), 0x85);  // bit 6 written 0
    EXPECT_EQ(image.Get(kUsa.enableBitmap), 0xC0);
    EXPECT_EQ(image.Get(kUsa.scanBitmap), 0x40);
    EXPECT_EQ(image.Get(a + 4 + 1), 0x30);  // transmit, full power
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

TEST(ChannelMapEncode, SixteenByteRecordFieldsAndTheBytesLeftAlone) {
    DataModel m;
    ChannelRecord r = UserChannel(157.425, 0);
    r.ExpCB = {true, false, true};
    r.TxEnable = true;
    r.LowPower = true;
    r.PowUp = true;
    r.ScrambleOn = true;
    r.Scramble = 63;
    m.CHEXP = {r};
    Image image;
    image.bytes.fill(0x5A);
    EncodeChannelTable(m, image, ChannelTableId::CHEXP);
    int a = kExp.recordBase;
    // Bits 4 and 0 of byte 0 cleared, bytes 12-15 the radio's own, the free slot blank whole.
    EXPECT_EQ(Hex(image, a, 32), "A6BFFFFF4D31574250FFFFFF5A5A5A5A" + std::string(32, 'F'));
    DataModel d;
    DecodeChannelTable(image, d, ChannelTableId::CHEXP);
    ASSERT_EQ(d.CHEXP.size(), 1u);
    EXPECT_NEAR(d.CHEXP[0].Rxfreq, 157.425, 1e-9);
    d.CHEXP[0].Rxfreq = m.CHEXP[0].Rxfreq;
    EXPECT_EQ(d.CHEXP[0], m.CHEXP[0]);
}

TEST(ChannelMapEncode, DisplayTextIsPaddedInTheModelToo) {
    DataModel m;
    m.CHEXP = {UserChannel(156.8, 156.8)};
    m.CHEXP[0].CHDisplayL = "5";
    Image image;
    EncodeChannelTable(m, image, ChannelTableId::CHEXP);
    EXPECT_EQ(image.Get(kExp.recordBase + 4), 0x35);
    EXPECT_EQ(image.Get(kExp.recordBase + 5), 0x20);
    EXPECT_EQ(m.CHEXP[0].CHDisplayL, "5 ");
    DataModel d;
    DecodeChannelTable(image, d, ChannelTableId::CHEXP);
    EXPECT_EQ(d.CHEXP[0].CHDisplayL, "5 ");
    // Bytes outside the display set add nothing; 0xFF reads as a space.
    image.Set(kExp.recordBase + 4, 'a');
    image.Set(kExp.recordBase + 5, 0xFF);
    DecodeChannelTable(image, d, ChannelTableId::CHEXP);
    EXPECT_EQ(d.CHEXP[0].CHDisplayL, " ");
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
