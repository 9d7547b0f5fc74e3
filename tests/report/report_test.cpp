// The settings report text: whole reports against reviewed golden files, and the rows and
// renderings where a fault would show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>

#include "core/text.h"
#include "report/report.h"
#include "report_fixture.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

// Compares with the reviewed golden file, byte for byte.
void ExpectGolden(const std::string& text, const std::string& name) {
    const fs::path path = fs::path(MRW_TEST_SOURCE_DIR) / "tests" / "report" / "golden" / name;
    EXPECT_EQ(testing::ReadFile(path), text) << "report differs from " << path;
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
TEST_F(ReportTest, GoldenCraftedWithoutOptionalTablesAndVariantRows) {
    ExpectGolden(Text(), "crafted.txt");
    for (ChannelTable* t : {&config.model.CHUSA, &config.model.CHINT, &config.model.CHCAN,
                            &config.model.CHRG, &config.model.CHEXP}) {
        t->clear();
    }
    ExpectGolden(Text(), "no_tables.txt");

    // The rows the crafted report does not show: cells that cannot be rendered stay empty (a
    // position outside the catalogue, a priority channel that names no record), the user channel
    // header follows the status names' lengths, an unusable group, a full MMSI count.
    FillCraftedConfig(config);
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

TEST(ReportGolden, FactoryConfigurations) {
    // The region default images are generated into the program folder by the build.
    const char* env = std::getenv("MRW_BIN_DIR");
    const fs::path bin = env != nullptr ? fs::path(env) : fs::path(MRW_TEST_BIN_DIR);
    for (const auto& [file, modelType, golden] :
         {std::tuple{"INTL_08FD.ini", 1, "factory_intl_hv2300.txt"},
          std::tuple{"USA_0961.ini", 2, "factory_usa_hv2400.txt"}}) {
        Config config;
        ASSERT_TRUE(LoadFactoryConfig(config, bin / file, modelType)) << file;
        ExpectGolden(ReportText(config), golden);
    }
}

// ---- Renderings --------------------------------------------------------------------------

TEST_F(ReportTest, RenderingsOfValuesChannelsAndNames) {
    for (const testing::Case& c : testing::ReadCases(testing::TestData("report/renderings.txt"))) {
        SCOPED_TRACE(c.where);
        const std::string& kind = c[0];
        if (kind == "resume time" || kind == "interval") {
            const int v = std::stoi(c[1]);
            EXPECT_EQ(kind == "interval" ? IntervalText(v) : ResumeTimeText(v), c[2]);
        } else if (kind == "interval row") {
            config.model.AutoPos.Records[1].Interval = c[1];
            const std::string row =
                "\r\n" + PadRight("Interval:", 35) + PadRight(c[2], 18) + "\r\n";
            EXPECT_NE(Text().find(row), std::string::npos);
        } else if (kind == "autopos channel") {
            AutoPosRecord r = {.MarineEnable = static_cast<int16_t>(std::stoi(c[1])),
                               .Channel = c[2]};
            EXPECT_EQ(AutoPosChannelText(config.model, r), c[3]);
        } else {
            ASSERT_EQ(kind, "autopos directory");
            AutoPosRecord r = {.SelectCall = static_cast<int16_t>(std::stoi(c[2])),
                               .LastAddress = std::stoi(c[1])};
            EXPECT_EQ(AutoPosDirectoryName(config.model, r), c[3]);
        }
    }
}

}  // namespace
}  // namespace mrw
