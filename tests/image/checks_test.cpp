// Image checks and defaults: the consistency pass, the checksum, the model identity tests and
// the default image of each model type.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "image/channel_ref.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"

#include "hex_bytes.h"
#include "test_files.h"

namespace mrw {
namespace {

using namespace checkmap;
using testing::Hex;

const int kUsaBitmap = layout::TableLayout(layout::ChannelTableId::CHUSA).enableBitmap;
const int kIntBitmap = layout::TableLayout(layout::ChannelTableId::CHINT).enableBitmap;
const int kExpBitmap = kExpTable.enableBitmap;
const int kWxBitmap = kWeatherTable.enableBitmap;

int Word(const Image& image, int address) {
    return image.Get(address) * 256 + image.Get(address + 1);
}

void SetWord(Image& image, int address, int value) {
    image.Set(address, (value >> 8) & 0xFF);
    image.Set(address + 1, value & 0xFF);
}

void SetSlot(Image& image, int bitmap, int slot) {
    image.At(bitmap + slot / 8) |= static_cast<uint8_t>(0x80 >> (slot % 8));
}

ChannelTable EnabledAt(int count, int firstEnabled) {
    ChannelTable table(static_cast<size_t>(count));
    if (firstEnabled >= 0) {
        table[static_cast<size_t>(firstEnabled)].Enable = true;
    }
    return table;
}

// An image in channel mode with all channel groups unusable, all bitmaps clear and all
// remembered lists empty; each test switches on what it needs.
class ConsistencyPass : public ::testing::Test {
protected:
    void SetUp() override {
        image.bytes.fill(0xFF);
        for (int g = 0; g < 4; ++g) {
            image.Set(GroupUsableAddress(g), 0);
        }
        for (const auto& table : layout::kChannelTables) {
            image.Fill(table.enableBitmap, table.enableBytes, 0);
        }
        image.Set(kCurrentMode, kChannelMode);
        image.Set(kCurrentGroup, 0);
        SetWord(image, kCurrentRef, 5);
        SetWord(image, kSecondRef, 5);
    }

    Image image;
    DataModel model;
};

TEST_F(ConsistencyPass, CurrentGroupMovesToTheNextUsableGroup) {
    image.Set(GroupUsableAddress(2), 1);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentGroup), 2);

    image.Set(kCurrentGroup, 1);
    image.Set(GroupUsableAddress(0), 0x02);  // any non-zero flag byte counts
    image.Set(GroupUsableAddress(2), 0);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentGroup), 0);  // 1 + 2 modulo 3

    image.Set(kCurrentGroup, 7);  // no group: left alone, nothing repaired
    SetWord(image, kCurrentRef, 0x0123);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentGroup), 7);
    EXPECT_EQ(Word(image, kCurrentRef), 0x0123);
}

TEST_F(ConsistencyPass, UsableCurrentChannelIsKeptAndCopiedToTheSecondReference) {
    image.Set(GroupUsableAddress(0), 1);
    SetSlot(image, kUsaBitmap, 5);
    SetWord(image, kSecondRef, 0x4444);
    model.CHUSA = EnabledAt(10, 0);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(Word(image, kCurrentRef), 5);
    EXPECT_EQ(Word(image, kSecondRef), 5);
}

TEST_F(ConsistencyPass, UnusableCurrentChannelFallsBackToTableThenExtraChannels) {
    // All groups unusable: group 1 stays current, its reference fails and the first enabled
    // CHINT record replaces it.
    image.Set(kCurrentGroup, 1);
    SetWord(image, kCurrentRef, 0x00FF);
    model.CHINT = EnabledAt(6, 3);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentGroup), 1);
    EXPECT_EQ(Word(image, kCurrentRef), 3);
    EXPECT_EQ(Word(image, kSecondRef), 3);

    // No enabled CHINT record: the first enabled CHEXP record, by its channel reference.
    model.CHINT = EnabledAt(6, -1);
    model.CHEXP = EnabledAt(5, 2);
    SetWord(image, kCurrentRef, 0x00FF);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(Word(image, kCurrentRef), ExpChannelRef(2));
    EXPECT_EQ(Word(image, kCurrentRef), 241);
    EXPECT_EQ(Word(image, kSecondRef), 241);
    EXPECT_EQ(ExpRecordOfRef(Word(image, kCurrentRef)), 2);

    // Nothing enabled anywhere: both references stay as they were.
    model.CHEXP.clear();
    SetWord(image, kCurrentRef, 0x00FF);
    SetWord(image, kSecondRef, 0x1234);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(Word(image, kCurrentRef), 0x00FF);
    EXPECT_EQ(Word(image, kSecondRef), 0x1234);
}

TEST_F(ConsistencyPass, UsableChannelReferences) {
    image.Set(GroupUsableAddress(0), 1);
    image.Fill(kUsaBitmap, 15, 0xFF);  // bytes after the bitmap set too
    EXPECT_TRUE(IsChannelRefUsable(image, 95, 0));
    // Beyond the slots, or no such group.
    for (auto [ref, group] : {std::pair{96, 0}, {119, 0}, {5, 3}, {5, -1}}) {
        EXPECT_FALSE(IsChannelRefUsable(image, ref, group)) << ref << " " << group;
    }
    image.Set(GroupUsableAddress(0), 0);
    EXPECT_FALSE(IsChannelRefUsable(image, 5, 0));  // group switched off
    // Extra channels use one numbering across the groups.
    image.Set(GroupUsableAddress(kExpGroup), 1);
    SetSlot(image, kExpBitmap, 0);
    SetSlot(image, kExpBitmap, 1);
    SetSlot(image, kExpBitmap, 63);
    // Records 0, 1 and 63 enabled: references 239 + k, from any group.
    const std::tuple<int, int, bool> rows[] = {{239, 0, true}, {240, 1, true},  {241, 2, false},
                                               {302, 2, true}, {303, 0, false}, {238, 0, false}};
    for (const auto& [ref, group, usable] : rows) {
        EXPECT_EQ(IsChannelRefUsable(image, ref, group), usable) << ref;
    }
    image.Set(GroupUsableAddress(kExpGroup), 0);
    EXPECT_FALSE(IsChannelRefUsable(image, 239, 0));
}

TEST_F(ConsistencyPass, RememberedListsKeepOnlyUsableChannels) {
    image.Set(GroupUsableAddress(0), 1);
    image.Set(GroupUsableAddress(kExpGroup), 1);
    SetSlot(image, kUsaBitmap, 7);
    SetSlot(image, kIntBitmap, 7);  // group 1 itself unusable
    SetSlot(image, kExpBitmap, 1);
    SetSlot(image, kExpBitmap, 63);
    const int refs[8] = {7, 240, 302, 239, 303, 304, 238, 8};
    const int kept[8] = {7, 240, 302, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    for (int j = 0; j < 8; ++j) {
        SetWord(image, RememberedEntryAddress(0, j), refs[j]);
        SetWord(image, RememberedEntryAddress(1, j), refs[j]);
    }
    SetWord(image, RememberedEntryAddress(2, 0), 240);  // extra channels count for every group
    SetWord(image, RememberedEntryAddress(3, 0), 7);    // 480: past the three lists, not a list
    image.Set(kCurrentMode, 5);                         // neither mode: only the lists change
    SetWord(image, kCurrentRef, 0x00FF);
    PrepareImageForWrite(image, model);
    for (int j = 0; j < 8; ++j) {
        EXPECT_EQ(Word(image, RememberedEntryAddress(0, j)), kept[j]) << "group 0 entry " << j;
        int group1 = refs[j] == 240 || refs[j] == 302 ? refs[j] : 0xFFFF;
        EXPECT_EQ(Word(image, RememberedEntryAddress(1, j)), group1) << "group 1 entry " << j;
    }
    EXPECT_EQ(Word(image, RememberedEntryAddress(2, 0)), 240);
    EXPECT_EQ(Word(image, RememberedEntryAddress(3, 0)), 7);
    EXPECT_EQ(Word(image, kCurrentRef), 0x00FF);
}

TEST_F(ConsistencyPass, WeatherModeRepairsTheWeatherChannel) {
    image.Set(kCurrentMode, kWeatherMode);
    model.CHWX = EnabledAt(10, 4);
    image.Set(kCurrentWeather, 12);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentWeather), 4);
    EXPECT_EQ(Word(image, kCurrentRef), 4);
    EXPECT_EQ(Word(image, kSecondRef), 5);  // only the current reference follows

    SetSlot(image, kWxBitmap, 9);
    image.Set(kCurrentWeather, 9);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentWeather), 9);
    EXPECT_EQ(Word(image, kCurrentRef), 9);

    model.CHWX = EnabledAt(10, -1);
    image.Set(kCurrentWeather, 3);
    SetWord(image, kCurrentRef, 0x0777);
    PrepareImageForWrite(image, model);
    EXPECT_EQ(image.Get(kCurrentWeather), 3);
    EXPECT_EQ(Word(image, kCurrentRef), 0x0777);
}

TEST(Checksum, CoversBytes66To94) {
    Image image;
    for (int a = 0; a < 200; ++a) {
        image.Set(a, (a * 37 + 11) & 0xFF);
    }
    UpdateChecksum(image);
    int sum = 0;
    for (int a = 66; a <= 95; ++a) {
        sum += image.Get(a);
    }
    EXPECT_EQ(sum % 256, (2 * image.Get(95)) % 256);
    int before = image.Get(95);
    image.Set(80, (image.Get(80) + 9) & 0xFF);
    image.Set(65, 0);  // outside the block
    image.Set(96, 0);
    UpdateChecksum(image);
    EXPECT_EQ(image.Get(95), (before + 9) & 0xFF);
}

TEST(ModelIdentity, ModelCodeCheckPerModelType) {
    for (const auto& c : testing::ReadCases(testing::TestData("image/model_codes.txt"))) {
        const auto code = [&](size_t k) { return std::stoi(c[k], nullptr, 16); };
        EXPECT_EQ(IsModelCodeValid(std::stoi(c[0]), code(1), code(2)), c[3] == "1") << c.where;
    }
}

TEST(ModelIdentity, ConfigurationRangeAndFileLength) {
    Image image;
    EXPECT_EQ(ConfigurationRange(image), (std::pair<int, int>{128, 32766}));
    auto dir =
        std::filesystem::temp_directory_path() / ("mrw_checks_length_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, size_t size) {
        std::ofstream(dir / name, std::ios::binary) << std::string(size, '\xFF');
        return dir / name;
    };
    EXPECT_TRUE(IsImageFileLengthValid(write("full.hex", 32768), image));
    EXPECT_FALSE(IsImageFileLengthValid(write("short.hex", 32767), image));
    EXPECT_FALSE(IsImageFileLengthValid(write("long.hex", 32769), image));
    EXPECT_FALSE(IsImageFileLengthValid(dir / "absent.hex", image));
    EXPECT_FALSE(IsImageFileLengthValid(dir, image));
    std::filesystem::remove_all(dir);
}

TEST(NewImageTest, DefaultImageOfEachModelTypeAndNoneOfAnUnknownType) {
    struct Case {
        int type;
        uint16_t code;
        bool product;
    };
    for (Case c : {Case{1, 0x08FD, true}, Case{2, 0x0961, true}, Case{11, 0x08FD, false}}) {
        SCOPED_TRACE(c.type);
        Image image;
        image.bytes.fill(0x5A);
        image.ImageLastAddress = 100;
        DataModel model;
        NewImage(image, model, c.type);
        EXPECT_EQ(image.ImageLastAddress, 32767);
        EXPECT_EQ(Word(image, 128), c.code);
        EXPECT_EQ(Word(image, 32766), c.code);
        EXPECT_EQ(Hex(image, 256, 6), c.product ? "4B5435363257" : "FFFFFFFFFFFF");  // KT562W
        EXPECT_EQ(Word(image, kCurrentRef), 30);
        EXPECT_EQ(Word(image, kSecondRef), 30);
        EXPECT_EQ(ReadText(image, 311, 5), "RADIO");
        EXPECT_EQ(ReadText(image, 343, 4), "RAM2");
        for (const auto& row : testing::ReadCases(testing::TestData("image/default_image.txt"))) {
            EXPECT_EQ(image.Get(std::stoi(row[0])), std::stoi(row[1], nullptr, 16)) << row.where;
        }
        // The settings part is decoded; the channel tables of the new image would be empty.
        EXPECT_EQ(model.Common.ResumeTime, 3);
        EXPECT_EQ(model.Groups[2].PriorityCH, 32);
        EXPECT_TRUE(model.DscAdvanced[0].List[1]);
        EXPECT_TRUE(model.DscBasic.UserMmsi.empty());
        DataModel decoded;
        decoded.CHWX.resize(10);
        DecodeImage(image, decoded);
        EXPECT_EQ(decoded.CHUSA.size() + decoded.CHINT.size() + decoded.CHCAN.size() +
                      decoded.CHEXP.size() + decoded.CHRG.size(),
                  0u);
    }
    // An unknown model type leaves everything alone.
    for (int type : {0, 3, 10, 12, -1}) {
        Image image;
        image.bytes.fill(0x5A);
        image.ImageLastAddress = 1000;
        DataModel model;
        model.Common.ResumeTime = 4;
        Image before = image;
        NewImage(image, model, type);
        EXPECT_EQ(image.bytes, before.bytes) << type;
        EXPECT_EQ(image.ImageLastAddress, 1000);
        EXPECT_EQ(model.Common.ResumeTime, 4);
    }
}

}  // namespace
}  // namespace mrw
