// The difference listing: every kind of setup key, channel and directory records key by key,
// records added and removed, section MAIN, image bytes outside the data model, and the lines
// and groups the command line and the program preview show.
#include "files/config_diff.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/codec.h"
#include "model/regions.h"
#include "test_files.h"

namespace mrw {
namespace {

std::vector<std::string> Lines(const std::vector<Difference>& differences) {
    std::vector<std::string> lines;
    for (const Difference& d : differences) {
        lines.push_back(DifferenceLine(d));
    }
    return lines;
}

/// A model with three CHUSA records, two CHRG records and the ten weather channels.
DataModel BaseModel() {
    DataModel m;
    RebuildWeatherTable(m);
    for (int i = 0; i < 3; ++i) {
        ChannelRecord& r = AppendRecord(m.CHUSA);
        r.Enable = true;
        r.Position = static_cast<int16_t>(i + 5);
        r.ChTag = "CH" + std::to_string(i);
    }
    for (int i = 0; i < 2; ++i) {
        ChannelRecord& r = AppendRecord(m.CHRG);
        r.Enable = true;
        r.Rxfreq = 156.8;
        r.Txfreq = 156.8;
        r.CHDisplayL = "R" + std::to_string(i);
    }
    m.CHEXP = m.CHRG;
    m.Common.ResumeTime = 2;
    return m;
}

TEST(ModelDifferencesTest, ListsEveryChangeInTheSettingsFilesTermsAndOrder) {
    const DataModel older = BaseModel();
    EXPECT_TRUE(ModelDifferences(older, older, true).empty());
    DataModel m = older;
    m.Common.Scan = true;                // flag
    m.Groups[3].ExpChGroup[1] = true;    // word
    m.Common.ResumeTime = 5;             // number
    m.Common.OffsetTime = -3;            // negative number
    m.Groups[2].PriorityCH = 65535;      // wide number
    m.Groups[0].StatusName = "HOME";     // text
    m.DscBasic.UserMmsi = "2320012340";  // marked text
    m.DscBasic.UsableDsc[1] = true;      // group name
    m.DscAdvanced[1].Tx[2] = true;       // call type
    m.DscDisplay[1] = true;              // display menu
    m.AutoPos.Records[1].Enable = true;  // leading flag
    m.AutoPos.Records[0].Interval = "15";
    m.Common.Distance = 2;
    m.Atis.AtisCode = "9232012345";
    m.Atis.UsableKikker[3] = true;
    m.CallSigns[2].Mid = "232";
    m.CallSigns[31].Disp = "SHIP";
    m.CHUSA[1].ChTag = "MARINA";
    m.CHUSA[1].Duplex = 2;
    m.CHUSA[2].ScanMemory = true;
    AppendRecord(m.CHUSA).Position = 40;
    m.CHWX[0].ScanMemory = !m.CHWX[0].ScanMemory;  // weather channels count from zero
    m.CHMMSID[0].Enable = true;
    m.CHMMSID[2] = {true, "HARBOUR", "2320012340"};
    m.CHGRPID[31].TagName = "FLEET";
    m.CHRG.clear();
    m.CHEXP[0].Rxfreq = 157.025;
    m.CHEXP[0].ExpCB[1] = true;
    m.CHEXP[1].CHDisplayR = "X";
    m.CHEXP[1].LowPower = true;
    const std::string wx = older.CHWX[0].ScanMemory ? "1 -> 0" : "0 -> 1";
    for (bool atis : {false, true}) {
        std::vector<std::string> want;
        for (const testing::Case& c :
             testing::ReadCases(testing::TestData("files/model_differences.txt"))) {
            if (atis || c[0] == "0") {
                want.push_back(c[1].ends_with("{wx}") ? c[1].substr(0, c[1].size() - 4) + wx
                                                      : c[1]);
            }
        }
        EXPECT_EQ(Lines(ModelDifferences(older, m, atis)), want);
    }
}

TEST(GroupBySectionTest, SectionsInOrderOfTheirFirstDifference) {
    const std::vector<Difference> differences = {
        {DifferenceKind::Changed, "Common Setup", "SCAN", "0", "1"},
        {DifferenceKind::Added, "CHUSA4", "", "", ""},
        {DifferenceKind::Changed, "Common Setup", "SOG", "0", "1"},
    };
    const std::vector<DifferenceGroup> groups = GroupBySection(differences);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].section, "Common Setup");
    EXPECT_EQ(
        Lines(groups[0].differences),
        (std::vector<std::string>{"[Common Setup] SCAN: 0 -> 1", "[Common Setup] SOG: 0 -> 1"}));
    EXPECT_EQ(groups[1].section, "CHUSA4");
    EXPECT_EQ(groups[1].differences.size(), 1u);
}

// ---- Whole configurations and raw images ----------------------------------------------------

/// Two uppercase hexadecimal digits.
std::string Hex2(uint8_t value) {
    static constexpr const char* kDigits = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 15]};
}

/// The factory image of model type 1, region UK, decoded: a configuration as opening the raw
/// image gives it.
Config FactoryConfig() {
    Config config;
    config.state.ModelType = 1;
    config.state.AtisSupported = true;
    const std::vector<uint8_t> bytes =
        testing::ReadFileBytes(testing::ProgramBinDir() / "UK_08FD.ini");
    EXPECT_EQ(bytes.size(), static_cast<size_t>(kImageSize));
    std::copy(bytes.begin(), bytes.end(), config.image.bytes.begin());
    RebuildWeatherTable(config.model);
    DecodeImage(config.image, config.model);
    return config;
}

TEST(ConfigDifferencesTest, RegionAndModelTypeInSectionMain) {
    const Config older = FactoryConfig();
    Config newer = older;
    newer.image.bytes[271] = 3;
    newer.state.ModelType = 2;
    EXPECT_EQ(Lines(ConfigDifferences(older, newer, false)),
              (std::vector<std::string>{"[MAIN] MODELTYPE: 1 -> 2", "[MAIN] REGION: 1 -> 3"}));
}

TEST(ConfigDifferencesTest, BytesTheModelCarriesAreListedOnlyAsSettings) {
    const Config older = FactoryConfig();
    ASSERT_FALSE(older.model.CHUSA.empty());
    Config newer = older;
    newer.model.CHUSA[0].ChTag = "EDITED";
    ASSERT_TRUE(EncodeImage(newer.model, newer.image));
    ASSERT_NE(newer.image.bytes, older.image.bytes);
    EXPECT_EQ(Lines(ConfigDifferences(older, newer, true)),
              (std::vector<std::string>{"[CHUSA1] ChTag: \"" + older.model.CHUSA[0].ChTag +
                                        "\" -> \"EDITED\""}));
}

TEST(ConfigDifferencesTest, BytesOutsideTheModelAsAddressRanges) {
    const Config older = FactoryConfig();
    Config newer = older;
    // The DSC log (26880 = 0x6900) and the checksum byte 95 are no part of the data model.
    for (int i = 0; i < 4; ++i) {
        newer.image.bytes[static_cast<size_t>(0x6900 + i)] = static_cast<uint8_t>(i + 1);
    }
    newer.image.bytes[95] = static_cast<uint8_t>(older.image.bytes[95] ^ 0x5A);
    for (int i = 0; i < 20; ++i) {
        newer.image.bytes[static_cast<size_t>(0x7000 + i)] = static_cast<uint8_t>(0xA0 + i);
    }
    std::string oldRun;
    for (int i = 0; i < 16; ++i) {
        oldRun += (i > 0 ? " " : "") + Hex2(older.image.bytes[static_cast<size_t>(0x7000 + i)]);
    }
    auto at = [&](int address) { return Hex2(older.image.bytes[static_cast<size_t>(address)]); };
    EXPECT_EQ(Lines(ConfigDifferences(older, newer, true)),
              (std::vector<std::string>{
                  "[Image] 0x005F: " + at(95) + " -> " + Hex2(newer.image.bytes[95]),
                  "[Image] 0x6900-0x6903 (4 bytes): " + at(0x6900) + " " + at(0x6901) + " " +
                      at(0x6902) + " " + at(0x6903) + " -> 01 02 03 04",
                  "[Image] 0x7000-0x7013 (20 bytes): " + oldRun +
                      " ... -> A0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF ..."}));
    // Without the images only the settings count.
    EXPECT_TRUE(ConfigDifferences(older, newer, false).empty());
}

}  // namespace
}  // namespace mrw
