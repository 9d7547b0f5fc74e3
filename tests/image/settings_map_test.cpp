// Directory and settings memory maps: entry layout and list end of the MMSI directories,
// flag bytes and bits, byte values, the shared bytes 185 and 663, priority channels and the
// auto-position record.
#include <gtest/gtest.h>

#include "image/directory_map.h"
#include "image/memory_map.h"
#include "image/settings_map.h"

#include "hex_bytes.h"

namespace mrw {
namespace {

namespace l = layout;

using testing::Hex;

int Entry(const l::DirectoryLayout& d, int record) {
    return d.base + d.entrySize * (record - 1);
}

TEST(DirectoryMap, EntryLayoutAndForcedLastNibble) {
    DataModel m;
    m.CHMMSID[0] = {true, "COASTGUARD", "123456789"};
    m.CHMMSID[1] = {true, "ABCDEFGHIJKL", "1234567891"};
    m.CHGRPID[0] = {true, "FLT", "023456780"};
    Image image;
    image.bytes.fill(0x00);
    EncodeDirectories(m, image);
    int a = Entry(l::kIndividualDirectory, 1);
    // Digits with the last nibble 0, ten characters of name, then 0xFF.
    EXPECT_EQ(Hex(image, a, 16), "1234567890434F4153544755415244FF");
    int b = Entry(l::kIndividualDirectory, 2);
    EXPECT_EQ(image.Get(b + 4), 0x90);  // tenth digit replaced by 0
    EXPECT_EQ(image.Get(b + 15), 'K');  // twelfth character cut
    int g = Entry(l::kGroupDirectory, 1);
    EXPECT_EQ(Hex(image, g + 5, 11), "464C54" + std::string(16, 'F'));
    // Unused entries are blank, all of them, in both directories.
    EXPECT_EQ(Hex(image, Entry(l::kIndividualDirectory, 80), 16), std::string(32, 'F'));
    EXPECT_EQ(Hex(image, Entry(l::kGroupDirectory, 32), 17), std::string(32, 'F') + "00");
}

TEST(DirectoryMap, TheFirstEntryWithoutDigitsEndsTheList) {
    DataModel m;
    m.CHMMSID[0] = {true, "ONE", "111111111"};
    m.CHMMSID[1] = {true, "TWO", "222222222"};
    m.CHMMSID[3] = {true, "FOUR", "444444444"};  // after the gap at record 3
    Image image;
    EncodeDirectories(m, image);
    DataModel d;
    for (auto& r : d.CHMMSID) {
        r = {true, "OLD", "999999999"};
    }
    DecodeDirectories(image, d);
    EXPECT_TRUE(d.CHMMSID[0].Enable);
    EXPECT_TRUE(d.CHMMSID[1].Enable);
    for (size_t i = 2; i < d.CHMMSID.size(); ++i) {
        EXPECT_EQ(d.CHMMSID[i], DirectoryRecord{}) << i;
    }
    // A first entry beginning with a nibble above 9 disables the whole directory.
    image.Set(Entry(l::kIndividualDirectory, 1), 0xA1);
    DecodeDirectories(image, d);
    for (const auto& r : d.CHMMSID) {
        EXPECT_EQ(r, DirectoryRecord{});
    }
}

TEST(DirectoryMap, DisabledRecordsAreStillWritten) {
    DataModel m;
    m.CHGRPID[0] = {false, "GRP", "123456789"};
    Image image;
    EncodeDirectories(m, image);
    DataModel d;
    DecodeDirectories(image, d);
    EXPECT_EQ(d.CHGRPID[0], (DirectoryRecord{true, "GRP", "1234567890"}));
}

TEST(SettingsMap, TimeByteBuildOrder) {
    // {offset, time display, format, byte 185, offset after clamping}
    const std::tuple<int16_t, bool, bool, int, int16_t> rows[] = {{-11, true, false, 0x8B, -11},
                                                                  {24, false, false, 0x38, 24},
                                                                  {24, false, true, 0x78, 24},
                                                                  {30, false, false, 0x38, 24}};
    DataModel m;
    Image image;
    image.Set(l::kTimeByte, 0xFF);
    for (const auto& [offset, display, format, byte, clamped] : rows) {
        m.Common.OffsetTime = offset;
        m.Common.TimeDisplay = display;
        m.Common.Format = format;
        EncodeSettingsMap(m, image);
        EXPECT_EQ(image.Get(l::kTimeByte), byte) << offset;
        EXPECT_EQ(m.Common.OffsetTime, clamped);
    }
    DataModel d;
    d.Common.TimeDisplay = true;
    d.Common.Format = true;
    DecodeSettingsMap(image, d);
    EXPECT_EQ(d.Common.OffsetTime, 24);
    EXPECT_FALSE(d.Common.TimeDisplay);
    EXPECT_FALSE(d.Common.Format);
    image.Set(l::kTimeByte, 0xC5);
    DecodeSettingsMap(image, d);
    EXPECT_EQ(d.Common.OffsetTime, -5);
    EXPECT_TRUE(d.Common.TimeDisplay);
    EXPECT_TRUE(d.Common.Format);
}

TEST(SettingsMap, FlagBytesReadAnyNonZeroAndWriteOne) {
    Image image;
    image.Set(l::kScan, 0x02);
    image.Set(l::kBeepBytes[3].address, 0x80);  // beep element 4 at 670
    image.Set(l::GroupBlock(3) + l::kGroupAtisUsableOffset, 0x10);
    DataModel d;
    DecodeSettingsMap(image, d);
    EXPECT_TRUE(d.Common.Scan);
    EXPECT_TRUE(d.DscBasic.BeepOut[4]);
    EXPECT_FALSE(d.DscBasic.BeepOut[5]);
    EXPECT_TRUE(d.Atis.UsableAtis[3]);
    EncodeSettingsMap(d, image);
    EXPECT_EQ(image.Get(l::kScan), 0x01);
    EXPECT_EQ(image.Get(670), 0x01);
    EXPECT_EQ(image.Get(668), 0x00);
    EXPECT_EQ(image.Get(l::GroupBlock(3) + l::kGroupAtisUsableOffset), 0x01);
}

TEST(SettingsMap, BeepOutputsLieInTheirOddOrder) {
    DataModel m;
    m.DscBasic.BeepOut = {true, false, false, false, true, false, false, true};
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(Hex(image, 665, 6), "000000000001");
    EXPECT_EQ(image.Get(663), 0x80);
    m.DscBasic.BeepOut = {false, false, false, false, false, true, true, false};
    EncodeSettingsMap(m, image);
    EXPECT_EQ(Hex(image, 665, 6), "000000010100");
}

TEST(SettingsMap, SharedByte663KeepsItsUnmappedBits) {
    Image image;
    image.Set(l::kDscFlags, 0x23);
    DataModel m;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(l::kDscFlags), 0x23);
    m.DscBasic.PosRequest[0] = true;
    m.DscDisplay = {true, false, true};
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(l::kDscFlags), 0x23 | 0x40 | 0x10 | 0x04);
    DataModel d;
    DecodeSettingsMap(image, d);
    EXPECT_TRUE(d.DscBasic.PosRequest[0]);
    EXPECT_FALSE(d.DscBasic.BeepOut[0]);
    EXPECT_EQ(d.DscDisplay, (std::array<bool, 3>{true, false, true}));
}

TEST(SettingsMap, DscAdvancedBitLayout) {
    DataModel m;
    m.DscAdvanced[0].List = {true, false, false, false};
    m.DscAdvanced[0].Tx = {false, false, false, true};
    m.DscAdvanced[5].List = {false, true, true, false};
    m.DscAdvanced[5].Tx = {true, false, true, false};
    Image image;
    image.Fill(657, 6, 0xFF);
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(657), 0x81);
    EXPECT_EQ(image.Get(658), 0x00);
    EXPECT_EQ(image.Get(662), 0x6A);
}

TEST(SettingsMap, PriorityChannelsAndGroupBlocks) {
    DataModel m;
    m.Groups[0].PriorityCH = -1;
    m.Groups[1].PriorityCH = 7;
    m.Groups[2].PriorityCH = 0x1234;
    m.Groups[1].StatusName = "IN";
    m.Groups[3].StatusName = "EXPCH";
    m.Groups[3].Usable = true;
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(Hex(image, 224, 6), "FFFF00071234");
    EXPECT_EQ(Hex(image, 304 + 16 + 3, 4), "494EFFFF");
    EXPECT_EQ(Hex(image, 304 + 48 + 3, 4), "45585043");
    EXPECT_EQ(image.Get(304 + 48), 1);
    DataModel d;
    DecodeSettingsMap(image, d);
    EXPECT_EQ(d.Groups[0].PriorityCH, 0xFFFF);
    EXPECT_EQ(d.Groups[2].PriorityCH, 0x1234);
    EXPECT_EQ(d.Groups[1].StatusName, "IN");
    EXPECT_EQ(d.Groups[3].StatusName, "EXPC");
    EXPECT_EQ(d.Groups[3].PriorityCH, 0);  // the Exp CH group has no priority bytes
}

TEST(SettingsMap, AutoPositionChannelIsFifteenBits) {
    DataModel m;
    AutoPosRecord& r = m.AutoPos.Records[1];
    r.Channel = "33025";  // 0x8101: bit 15 is dropped
    r.Interval = "5";
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(705), 0x01);
    EXPECT_EQ(image.Get(706), 0x01);
    EXPECT_EQ(image.Get(707), 5);
    image.Set(705, 0x81);  // bit 7 of 705 is not part of the value
    image.Set(706, 0x2A);
    DataModel d;
    DecodeSettingsMap(image, d);
    EXPECT_EQ(d.AutoPos.Records[1].Channel, "298");
    EXPECT_EQ(d.AutoPos.Records[1].Interval, "5");
    r.Channel = "241.6";  // a number held as text is rounded
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(706), 242);
    EXPECT_TRUE(m.AutoPos.Records[0] == AutoPosRecord{});  // record 0 is not in the image
}

TEST(SettingsMap, LastAddressFollowsSelectCall) {
    DataModel m;
    AutoPosRecord& r = m.AutoPos.Records[1];
    Image image;
    image.Set(731, 0x11);
    image.Set(732, 0x22);
    r.SelectCall = 2;
    r.LastAddress = 9;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(731), 0x11);
    EXPECT_EQ(image.Get(732), 0x22);
    DataModel d;
    d.AutoPos.Records[1].LastAddress = 77;
    DecodeSettingsMap(image, d);
    EXPECT_EQ(d.AutoPos.Records[1].SelectCall, 2);
    EXPECT_EQ(d.AutoPos.Records[1].LastAddress, 77);  // left as it was
    r.SelectCall = 0;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(731), 9);
    EXPECT_EQ(image.Get(732), 0x22);
    r.SelectCall = 1;
    r.LastAddress = 12;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(731), 9);
    EXPECT_EQ(image.Get(732), 12);
    DecodeSettingsMap(image, d);
    EXPECT_EQ(d.AutoPos.Records[1].LastAddress, 12);
}

TEST(SettingsMap, MmsiFieldsForceTheLastNibbleAndTheAtisCodeDoesNot) {
    DataModel m;
    m.DscBasic.UserMmsi = "2111111117";
    m.AutoPos.Records[1].Mmsi = "366123456";
    m.Atis.AtisCode = "9211234567";
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(644), 0x10);
    EXPECT_EQ(image.Get(713), 0x60);
    EXPECT_EQ(image.Get(650), 0x67);
}

TEST(SettingsMap, ByteValuesAreCopied) {
    DataModel m;
    m.Common.ResumeTime = 255;
    m.Common.Sog = 2;
    m.Common.Weater = 3;
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(image.Get(184), 255);
    EXPECT_EQ(image.Get(186), 2);
    EXPECT_EQ(image.Get(190), 3);
}

}  // namespace
}  // namespace mrw
