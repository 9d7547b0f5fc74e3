// Image checks and defaults: the consistency pass, the checksum, the model identity tests and
// the default image of each model type.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "image/channel_ref.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"

#include "hex_bytes.h"
#include "model_fields.h"
#include "test_files.h"

namespace mrw {
namespace {

using namespace checkmap;
using testing::Hex;
using testing::SetHex;

int Word(const Image& image, int address) {
    return image.Get(address) * 256 + image.Get(address + 1);
}

TEST(ConsistencyPass, BytesBeforeAndAfter) {
    for (const auto& c : testing::ReadCases(testing::TestData("image/consistency_pass.txt"))) {
        SCOPED_TRACE(c.where);
        Image image;
        image.bytes.fill(0xFF);
        for (int g = 0; g < 4; ++g) {
            image.Set(GroupUsableAddress(g), 0);
        }
        for (const auto& table : layout::kChannelTables) {
            image.Fill(table.enableBitmap, table.enableBytes, 0);
        }
        SetHex(image, kCurrentGroup, "000000050005");
        std::istringstream before(c[0]);
        for (std::string item; before >> item;) {
            SetHex(image, std::stoi(item), item.substr(item.find('=') + 1));
        }
        DataModel model;
        if (c[1] != "-") {
            testing::SetFields(model, c[1]);
        }
        PrepareImageForWrite(image, model);
        std::istringstream after(c[2]);
        for (std::string item; after >> item;) {
            const std::string value = item.substr(item.find('=') + 1);
            const size_t slash = item.find('/');
            if (slash == std::string::npos) {
                EXPECT_EQ(Hex(image, std::stoi(item), static_cast<int>(value.size() / 2)), value)
                    << item;
            } else {
                EXPECT_EQ(
                    IsChannelRefUsable(image, std::stoi(item), std::stoi(item.substr(slash + 1))),
                    value == "1")
                    << item;
            }
        }
    }
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
