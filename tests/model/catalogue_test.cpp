#include "model/catalogue.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(ChannelCatalogue, MarineAndWeatherRows) {
    const auto& cat = ChannelCatalogue();
    ASSERT_EQ(cat.size(), 120U);
    // {row, F1, F3, label}: the frequencies accumulate in 25 kHz steps.
    const std::tuple<int, double, double, const char*> rows[] = {{16, 156.800, 161.400, "16"},
                                                                 {60, 156.025, 160.625, "60"},
                                                                 {119, 158.975, 163.575, "119"},
                                                                 {0, 156.000, 160.600, "00"},
                                                                 {7, 156.350, 160.950, "07"}};
    for (const auto& [i, f1, f3, label] : rows) {
        const auto& row = cat[static_cast<size_t>(i)];
        EXPECT_NEAR(row.F1, f1, 1e-9) << i;
        EXPECT_NEAR(row.F3, f3, 1e-9) << i;
        EXPECT_EQ(row.Label, label);
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
    // {model type, name, file suffix, model code}
    const std::tuple<int, const char*, const char*, int> types[] = {
        {1, "HV2300", "_08FD", 2301},
        {2, "HV2400", "_0961", 2401},
        {11, "HV2300M", "-M_08FD", 2301},
        {3, "Unknown model", "", 0}};
    for (const auto& [type, name, suffix, code] : types) {
        EXPECT_EQ(ModelNameOf(type), name);
        EXPECT_EQ(ModelFileSuffix(type), suffix);
        EXPECT_EQ(ModelCode(type).value_or(0), code) << type;
    }
    EXPECT_EQ(ModelCaptionOf(3), "");
    const std::pair<int, int> indexes[] = {{5, 5}, {6, 255}, {-1, 255}};
    for (auto [code, index] : indexes) {
        EXPECT_EQ(RegionIndex(code), index);
    }
    EXPECT_EQ(RegionName(1), "UK");
    EXPECT_EQ(RegionName(6), "USA");
    EXPECT_EQ(RegionName(255), "USA");
    EXPECT_EQ(RegionCodeOfName("grmn"), 5);
    EXPECT_EQ(RegionCodeOfName("usa"), 255);
    EXPECT_FALSE(RegionCodeOfName("XX"));
}

}  // namespace
}  // namespace mrw
