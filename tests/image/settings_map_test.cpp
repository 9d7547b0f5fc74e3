// Directory and settings memory maps: entry layout and list end of the MMSI directories,
// flag bytes and bits, byte values, the shared bytes 185 and 663, priority channels and the
// auto-position record.
#include <gtest/gtest.h>

#include "image/directory_map.h"
#include "image/memory_map.h"
#include "image/settings_map.h"

#include "hex_bytes.h"
#include "model_fields.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace l = layout;

using testing::Hex;
using testing::SetHex;

int Entry(const l::DirectoryLayout& d, int record) {
    return d.base + d.entrySize * (record - 1);
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
    for (const auto& c : testing::ReadCases(testing::TestData("image/settings_encoded.txt"))) {
        SCOPED_TRACE(c.where);
        DataModel m;
        testing::SetFields(m, c[0]);
        Image image;
        image.bytes.fill(static_cast<uint8_t>(std::stoi(c[1], nullptr, 16)));
        EncodeSettingsMap(m, image);
        EXPECT_EQ(Hex(image, std::stoi(c[2]), static_cast<int>(c[3].size()) / 2), c[3]);
        EXPECT_TRUE(m.AutoPos.Records[0] == AutoPosRecord{});  // record 0 is not in the image
    }
    DataModel m;
    m.Common.OffsetTime = 30;
    Image image;
    EncodeSettingsMap(m, image);
    EXPECT_EQ(m.Common.OffsetTime, 24);  // the model is clamped too
}

TEST(SettingsMap, DecodedValues) {
    for (const auto& c : testing::ReadCases(testing::TestData("image/settings_decoded.txt"))) {
        SCOPED_TRACE(c.where);
        Image image;
        SetHex(image, std::stoi(c[0]), c[1]);
        DataModel d;
        d.Common.TimeDisplay = d.Common.Format = true;
        d.AutoPos.Records[1].LastAddress = 77;
        DecodeSettingsMap(image, d);
        EXPECT_EQ(testing::GetFields(d, c[2]), c[3]);
    }
}

}  // namespace
}  // namespace mrw
