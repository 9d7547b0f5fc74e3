// Directory and settings memory maps: entry layout and list end of the MMSI directories,
// flag bytes and bits, byte values, the shared bytes 185 and 663, priority channels and the
// auto-position record.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

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

void SetHex(Image& image, int address, const std::string& hex) {
    for (size_t i = 0; i < hex.size() / 2; ++i) {
        image.Set(address + static_cast<int>(i), std::stoi(hex.substr(2 * i, 2), nullptr, 16));
    }
}

TEST(DirectoryMap, EntryLayoutAndForcedLastNibble) {
    DataModel m;
    m.CHMMSID[0] = {true, "COASTGUARD", "123456789"};
    m.CHMMSID[1] = {true, "ABCDEFGHIJKL", "1234567891"};
    m.CHGRPID[0] = {false, "FLT", "023456780"};  // a disabled record is still written
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
    EXPECT_EQ(Hex(image, g, 16), "0234567800464C54" + std::string(16, 'F'));
    // Unused entries are blank, all of them, in both directories.
    EXPECT_EQ(Hex(image, Entry(l::kIndividualDirectory, 80), 16), std::string(32, 'F'));
    EXPECT_EQ(Hex(image, Entry(l::kGroupDirectory, 32), 17), std::string(32, 'F') + "00");
    DataModel d;
    DecodeDirectories(image, d);
    EXPECT_EQ(d.CHGRPID[0], (DirectoryRecord{true, "FLT", "0234567800"}));
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
    EXPECT_EQ(d.CHMMSID[1], (DirectoryRecord{true, "TWO", "2222222220"}));
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

TEST(SettingsMap, EncodedBytes) {
    struct Row {
        std::function<void(DataModel&)> change;
        uint8_t fill;  // every image byte before the encoding
        int address;
        const char* hex;
    };
    const Row rows[] = {
        // Time byte 185: display bit 7, format bit 6, offset in half hours clamped to +-24.
        {[](DataModel& m) { m.Common.OffsetTime = -11, m.Common.TimeDisplay = true; }, 0xFF, 185,
         "8B"},
        {[](DataModel& m) { m.Common.OffsetTime = 24; }, 0xFF, 185, "38"},
        {[](DataModel& m) { m.Common.OffsetTime = 30, m.Common.Format = true; }, 0xFF, 185, "78"},
        // Flag bytes write 1, byte values are copied.
        {[](DataModel& m) { m.Common.Scan = true; }, 0x02, 181, "01"},
        {[](DataModel& m) { m.Common.ResumeTime = 255, m.Common.Sog = 2; }, 0, 184, "FF2002"},
        {[](DataModel& m) { m.Common.Weater = 3; }, 0, 190, "03"},
        {[](DataModel& m) { m.Atis.UsableAtis[3] = true; }, 0x10,
         l::GroupBlock(3) + l::kGroupAtisUsableOffset, "01"},
        // Beep outputs lie in their odd order; element 0 is a bit of the shared byte 663.
        {[](DataModel& m) {
             m.DscBasic.BeepOut = {true, false, false, false, true, false, false, true};
         },
         0, 663, "8000000000000001"},
        {[](DataModel& m) { m.DscBasic.BeepOut = {false, false, false, false, false, true, true}; },
         0xFF, 665, "000000010100"},
        // Byte 663 keeps its unmapped bits.
        {[](DataModel&) {}, 0x23, 663, "23"},
        {[](DataModel& m) {
             m.DscBasic.PosRequest[0] = true, m.DscDisplay = {true, false, true};
         },
         0x23, 663, "77"},
        {[](DataModel& m) {
             m.DscAdvanced[0].List = {true, false, false, false};
             m.DscAdvanced[0].Tx = {false, false, false, true};
             m.DscAdvanced[5].List = {false, true, true, false};
             m.DscAdvanced[5].Tx = {true, false, true, false};
         },
         0xFF, 657, "81000000006A"},
        // Priority channels of the three standard groups, then the group blocks.
        {[](DataModel& m) {
             m.Groups[0].PriorityCH = -1, m.Groups[1].PriorityCH = 7;
             m.Groups[2].PriorityCH = 0x1234;
         },
         0, 224, "FFFF00071234"},
        {[](DataModel& m) { m.Groups[1].StatusName = "IN"; }, 0, 304 + 16 + 3, "494EFFFF"},
        {[](DataModel& m) { m.Groups[3].StatusName = "EXPCH", m.Groups[3].Usable = true; }, 0,
         304 + 48, "01000045585043"},
        // MMSI fields force the last nibble to 0, the ATIS code does not.
        {[](DataModel& m) { m.DscBasic.UserMmsi = "2111111117"; }, 0, 640, "2111111110"},
        {[](DataModel& m) { m.AutoPos.Records[1].Mmsi = "366123456"; }, 0, 709, "3661234560"},
        {[](DataModel& m) { m.Atis.AtisCode = "9211234567"; }, 0, 646, "9211234567"},
        // The auto-position channel is fifteen bits; a number held as text is rounded.
        {[](DataModel& m) {
             m.AutoPos.Records[1].Channel = "33025", m.AutoPos.Records[1].Interval = "5";
         },
         0, 705, "010105"},
        {[](DataModel& m) { m.AutoPos.Records[1].Channel = "241.6"; }, 0, 705, "00F2"},
        // Only the LASTADDRESS byte that SELECTCALL names is written.
        {[](DataModel& m) {
             m.AutoPos.Records[1].SelectCall = 2, m.AutoPos.Records[1].LastAddress = 9;
         },
         0x11, 730, "021111"},
        {[](DataModel& m) {
             m.AutoPos.Records[1].SelectCall = 0, m.AutoPos.Records[1].LastAddress = 9;
         },
         0x11, 730, "000911"},
        {[](DataModel& m) {
             m.AutoPos.Records[1].SelectCall = 1, m.AutoPos.Records[1].LastAddress = 12;
         },
         0x11, 730, "01110C"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hex);
        DataModel m;
        row.change(m);
        Image image;
        image.bytes.fill(row.fill);
        EncodeSettingsMap(m, image);
        EXPECT_EQ(Hex(image, row.address, static_cast<int>(strlen(row.hex)) / 2), row.hex);
        EXPECT_TRUE(m.AutoPos.Records[0] == AutoPosRecord{});  // record 0 is not in the image
    }
    DataModel m;
    m.Common.OffsetTime = 30;
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(m.Common.OffsetTime, 24);  // the model is clamped too
}

TEST(SettingsMap, DecodedValues) {
    struct Row {
        int address;
        const char* hex;
        std::function<std::string(const DataModel&)> field;
        const char* value;
    };
    auto flags = [](std::initializer_list<bool> bits) {
        std::string s;
        for (bool b : bits) {
            s += b ? '1' : '0';
        }
        return s;
    };
    const Row rows[] = {
        {185, "C5",
         [&](const DataModel& d) {
             return std::to_string(d.Common.OffsetTime) +
                    flags({d.Common.TimeDisplay, d.Common.Format});
         },
         "-511"},
        {185, "F8",
         [&](const DataModel& d) {
             return std::to_string(d.Common.OffsetTime) +
                    flags({d.Common.TimeDisplay, d.Common.Format});
         },
         "2411"},
        {185, "38",
         [&](const DataModel& d) {
             return std::to_string(d.Common.OffsetTime) +
                    flags({d.Common.TimeDisplay, d.Common.Format});
         },
         "2400"},
        // Flag bytes read any non-zero byte as set.
        {181, "02", [&](const DataModel& d) { return flags({d.Common.Scan}); }, "1"},
        {670, "80",
         [&](const DataModel& d) {
             return flags({d.DscBasic.BeepOut[4], d.DscBasic.BeepOut[5]});
         },
         "10"},
        {l::GroupBlock(3) + l::kGroupAtisUsableOffset, "10",
         [&](const DataModel& d) {
             return flags({d.Atis.UsableAtis[3], d.Atis.UsableAtis[2]});
         },
         "10"},
        {663, "54",
         [&](const DataModel& d) {
             return flags({d.DscBasic.PosRequest[0], d.DscBasic.BeepOut[0], d.DscDisplay[0],
                           d.DscDisplay[1], d.DscDisplay[2]});
         },
         "10101"},
        {224, "FFFF00071234",
         [](const DataModel& d) {
             return std::to_string(d.Groups[0].PriorityCH) + " " +
                    std::to_string(d.Groups[1].PriorityCH) + " " +
                    std::to_string(d.Groups[2].PriorityCH) + " " +
                    std::to_string(d.Groups[3].PriorityCH);
         },
         "65535 7 4660 0"},  // the Exp CH group has no priority bytes
        {304 + 48 + 3, "45585043", [](const DataModel& d) { return d.Groups[3].StatusName; },
         "EXPC"},
        {705, "812A05",
         [](const DataModel& d) {  // bit 7 of 705 is not part of the value
             return d.AutoPos.Records[1].Channel + " " + d.AutoPos.Records[1].Interval;
         },
         "298 5"},
        {730, "020C0D",
         [](const DataModel& d) { return std::to_string(d.AutoPos.Records[1].LastAddress); },
         "77"},  // left as it was
        {730, "000C0D",
         [](const DataModel& d) { return std::to_string(d.AutoPos.Records[1].LastAddress); }, "12"},
        {730, "010C0D",
         [](const DataModel& d) { return std::to_string(d.AutoPos.Records[1].LastAddress); }, "13"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hex);
        Image image;
        SetHex(image, row.address, row.hex);
        DataModel d;
        d.Common.TimeDisplay = d.Common.Format = true;
        d.AutoPos.Records[1].LastAddress = 77;
        DecodeSettingsMap(image, d);
        EXPECT_EQ(row.field(d), row.value);
    }
}

}  // namespace
}  // namespace mrw
