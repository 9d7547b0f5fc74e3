// The settings report text: whole reports against reviewed golden files, and the rows and
// renderings where a fault would show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/config.h"
#include "core/text.h"
#include "image/channel_ref.h"
#include "report/report.h"
#include "report_fixture.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

// Compares with the golden file; MRW_UPDATE_GOLDEN=1 rewrites it instead (review it by eye).
void ExpectGolden(const std::string& text, const std::string& name) {
    fs::path path = fs::path(MRW_TEST_SOURCE_DIR) / "tests" / "report" / "golden" / name;
    if (std::getenv("MRW_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << path;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream golden;
    golden << in.rdbuf();
    EXPECT_EQ(golden.str(), text) << "report differs from " << path;
}

// The line of a row as the report pads it.
std::string Row(const std::string& label, const std::string& cell) {
    return "\r\n" + PadRight(label, 35) + PadRight(cell, 18) + "\r\n";
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override { FillCraftedConfig(config); }
    std::string Text() { return ReportText(config); }
    Config config;
};

// ---- Whole reports -----------------------------------------------------------------------

// The golden files pin every row, column width, the order of the sections, the CR LF line
// ends and the blank line before each title.
TEST_F(ReportTest, GoldenCraftedAndWithoutOptionalTables) {
    ExpectGolden(Text(), "crafted.txt");
    for (ChannelTable* t : {&config.model.CHUSA, &config.model.CHINT, &config.model.CHCAN,
                            &config.model.CHRG, &config.model.CHEXP}) {
        t->clear();
    }
    ExpectGolden(Text(), "no_tables.txt");
}

TEST(ReportGolden, FactoryConfigurations) {
    // The region default images are generated into the program folder by the build.
    const char* env = std::getenv("MRW_BIN_DIR");
    const fs::path bin = env != nullptr ? fs::path(env) : fs::path(MRW_TEST_BIN_DIR);
    for (const auto& [file, modelType, golden] :
         {std::tuple{"INTL_08FD.ini", 1, "factory_intl_hv2300.txt"},
          std::tuple{"USA_0961.ini", 2, "factory_usa_hv2400.txt"}}) {
        fs::path path = bin / file;
        ASSERT_TRUE(fs::exists(path)) << path;
        Config config;
        ASSERT_TRUE(LoadFactoryConfig(config, path, modelType)) << path;
        ExpectGolden(ReportText(config), golden);
    }
}

// The rows the crafted report does not show: cells that cannot be rendered stay empty (a
// position outside the catalogue, a priority channel that names no record), the user channel
// header follows the status names' lengths, an unusable group, a full MMSI count.
TEST_F(ReportTest, GoldenVariantRows) {
    config.model.CHUSA.push_back(
        {.Position = 500, .Enable = true, .ChTag = "BAD", .StatusNo = 127});
    config.model.Groups[0].PriorityCH = 77;
    config.model.Groups[0].StatusName = "ABCD";
    config.model.Groups[1].StatusName = "ABC";
    config.model.Groups[2].StatusName = "AB";
    config.model.Groups[3].Usable = false;
    config.image.Set(645, 255);
    config.model.Common.ResumeTime = 6;
    ExpectGolden(Text(), "variants.txt");
}

// ---- Renderings --------------------------------------------------------------------------

TEST(ReportValues, ResumeTimeAndIntervalCoverEveryOfferedValue) {
    const std::pair<int, const char*> resume[] = {{0, "--"},   {3, "3Sec"}, {4, "4Sec"},
                                                  {5, "5Sec"}, {6, ""},     {-1, ""}};
    for (const auto& [value, text] : resume) {
        EXPECT_EQ(ResumeTimeText(value), text) << value;
    }
    const std::pair<int, const char*> interval[] = {{0, "OFF"},     {1, "15 sec"}, {6, "10 min"},
                                                    {7, "15 min"},  {9, "25 min"}, {10, "30 min"},
                                                    {14, "50 min"}, {15, ""}};
    for (const auto& [value, text] : interval) {
        EXPECT_EQ(IntervalText(value), text) << value;
    }
}

TEST_F(ReportTest, IntervalRowShowsWhatTheRadioReceives) {
    for (const auto& [held, shown] : {std::pair{"12", "40 min"},
                                      {"3x", "1 min"},
                                      {"abc", "OFF"},
                                      {"", "OFF"},
                                      {"2.5", "30 sec"},
                                      {"1e999", ""}}) {
        config.model.AutoPos.Records[1].Interval = held;
        EXPECT_NE(Text().find(Row("Interval:", shown)), std::string::npos) << held;
    }
}

TEST_F(ReportTest, AutoPosChannelDesignation) {
    const struct {
        int16_t group;
        std::string channel;
        const char* shown;
    } cases[] = {
        {1, "16", "16"},   // enabled in CHUSA
        {1, "6", ""},      // in CHUSA, disabled
        {1, "70", ""},     // not in CHUSA
        {3, "70", "70"},   // CHCAN holds it
        {0, "16", "16"},   // no group chosen: the USA table
        {1, "16x", "16"},  // the leading number, as the radio receives it
        // EXP channels are numbered from 239.
        {0, std::to_string(ExpChannelRef(0)), "A1"},
        {0, std::to_string(ExpChannelRef(1)), "B2X"},
        {0, std::to_string(ExpChannelRef(2)), ""},  // disabled
        {0, "4096", ""},
        {0, "garbage", ""},
    };
    for (const auto& c : cases) {
        AutoPosRecord r = {.MarineEnable = c.group, .Channel = c.channel};
        EXPECT_EQ(AutoPosChannelText(config.model, r), c.shown) << c.group << " " << c.channel;
    }
}

TEST_F(ReportTest, AutoPosDirectoryNameBySelectCall) {
    const struct {
        int32_t last;
        int16_t select;
        const char* name;
    } cases[] = {{0, 0, "HARBOUR MASTER"}, {0, 1, "FLEET"}, {32, 1, ""},
                 {79, 0, "LAST"},          {79, 2, ""},     {-1, 0, ""}};
    for (const auto& c : cases) {
        AutoPosRecord r = {.SelectCall = c.select, .LastAddress = c.last};
        EXPECT_EQ(AutoPosDirectoryName(config.model, r), c.name) << c.last << " " << c.select;
    }
}

}  // namespace
}  // namespace mrw
