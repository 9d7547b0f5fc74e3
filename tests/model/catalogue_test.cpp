#include "model/catalogue.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(ChannelCatalogue, HoldsTheMarineChannelsByAccumulatedSteps) {
    const auto& cat = ChannelCatalogue();
    ASSERT_EQ(cat.size(), 120U);
    EXPECT_NEAR(cat[16].F1, 156.800, 1e-9);
    EXPECT_NEAR(cat[16].F3, 161.400, 1e-9);
    EXPECT_NEAR(cat[60].F1, 156.025, 1e-9);
    EXPECT_NEAR(cat[119].F1, 156.025 + 59 * 0.05, 1e-9);
    EXPECT_EQ(cat[0].Label, "00");
    EXPECT_EQ(cat[7].Label, "07");
    EXPECT_EQ(cat[119].Label, "119");
    for (const auto& row : cat) {
        EXPECT_TRUE(row.Flag1);
        EXPECT_FALSE(row.Flag2);
        EXPECT_FALSE(row.Valid);
        EXPECT_EQ(row.F1, row.F2);
        EXPECT_TRUE(row.FreqText.empty());
    }
}

TEST(WeatherTable, HoldsTenReceiveOnlyRows) {
    const auto& wx = WeatherTable();
    EXPECT_FALSE(wx[0].Valid);
    EXPECT_EQ(wx[1].Label, "WX01[162.550MHz]");
    EXPECT_EQ(wx[1].FreqText, "162.550MHZ");
    EXPECT_EQ(wx[10].FreqText, "163.275MHZ");
    for (int i = 1; i <= 10; ++i) {
        EXPECT_TRUE(wx[i].Valid);
        EXPECT_EQ(wx[i].F1, 0.0);
        EXPECT_GT(wx[i].F2, 161.0);
        EXPECT_EQ(wx[i].F2, wx[i].F3);
    }
}

TEST(ModelTypes, NamesCodesAndSuffixes) {
    EXPECT_EQ(ModelNameOf(1), "HV2300");
    EXPECT_EQ(ModelNameOf(2), "HV2400");
    EXPECT_EQ(ModelNameOf(11), "HV2300M");
    EXPECT_EQ(ModelNameOf(3), "Unknown model");
    EXPECT_EQ(ModelCaptionOf(3), "");
    EXPECT_EQ(ModelFileSuffix(1), "_08FD");
    EXPECT_EQ(ModelFileSuffix(2), "_0961");
    EXPECT_EQ(ModelFileSuffix(11), "-M_08FD");
    EXPECT_EQ(ModelFileSuffix(5), "");
    EXPECT_EQ(ModelCode(11), 2301);
    EXPECT_FALSE(ModelCode(0));
}

TEST(Regions, IndexAndNames) {
    EXPECT_EQ(RegionIndex(5), 5);
    EXPECT_EQ(RegionIndex(6), 255);
    EXPECT_EQ(RegionIndex(-1), 255);
    EXPECT_EQ(RegionName(1), "UK");
    EXPECT_EQ(RegionName(6), "USA");
    EXPECT_EQ(RegionName(255), "USA");
    EXPECT_EQ(RegionCodeOfName("grmn"), 5);
    EXPECT_EQ(RegionCodeOfName("usa"), 255);
    EXPECT_FALSE(RegionCodeOfName("XX"));
}

}  // namespace
}  // namespace mrw
