#include "model/catalogue.h"

#include <gtest/gtest.h>

#include <tuple>

#include "test_files.h"

namespace mrw {
namespace {

TEST(ChannelCatalogue, MarineAndWeatherRows) {
    const auto& cat = ChannelCatalogue();
    ASSERT_EQ(cat.size(), 120U);
    for (const auto& c : testing::ReadCases(testing::TestData("model/catalogue_rows.txt"))) {
        SCOPED_TRACE(c.where);
        const auto& row = cat.at(std::stoul(c[0]));
        EXPECT_NEAR(row.F1, std::stod(c[1]), 1e-9);
        EXPECT_NEAR(row.F3, std::stod(c[2]), 1e-9);
        EXPECT_EQ(row.Label, c[3]);
    }
    for (const auto& row : cat) {
        EXPECT_TRUE(row.Flag1 && !row.Flag2 && !row.Valid && row.FreqText.empty());
        EXPECT_EQ(row.F1, row.F2);
    }
    const auto& wx = WeatherTable();
    EXPECT_FALSE(wx[0].Valid);
    EXPECT_EQ(wx[1].Label, "WX01[162.550MHz]");
    EXPECT_EQ(wx[1].FreqText, "162.550MHZ");
    EXPECT_EQ(wx[10].FreqText, "163.275MHZ");
    for (int i = 1; i <= 10; ++i) {
        EXPECT_TRUE(wx[i].Valid && wx[i].F1 == 0.0 && wx[i].F2 > 161.0 && wx[i].F2 == wx[i].F3);
    }
}

TEST(ModelTypes, NamesCodesSuffixesAndRegions) {
    for (const auto& c : testing::ReadCases(testing::TestData("model/model_types.txt"))) {
        const int type = std::stoi(c[0]);
        EXPECT_EQ(ModelNameOf(type), c[1]) << c.where;
        EXPECT_EQ(ModelFileSuffix(type), c[2]) << c.where;
        EXPECT_EQ(ModelCode(type).value_or(0), std::stoi(c[3])) << c.where;
    }
    EXPECT_EQ(ModelCaptionOf(3), "");
    for (const auto& c : testing::ReadCases(testing::TestData("model/region_codes.txt"))) {
        EXPECT_EQ(std::tuple(RegionIndex(std::stoi(c[0])), RegionName(std::stoi(c[0]))),
                  std::tuple(std::stoi(c[1]), c[2]))
            << c.where;
        EXPECT_EQ(RegionCodeOfName(c[3]).value_or(-1), c[3] == "-" ? -1 : std::stoi(c[0]));
    }
    EXPECT_FALSE(RegionCodeOfName("XX"));
}

}  // namespace
}  // namespace mrw
