// The weather rows of pictD: what each row shows and how its boxes store.
#include <gtest/gtest.h>

#include "edit/weather_rules.h"
#include "model/catalogue.h"

namespace mrw {
namespace {

struct Fixture {
    Config config;
    ScriptedPrompt prompt;
    VirtualClock clock;
    MemorySettingsStore settings;
    Shell shell;

    Fixture() {
        config.services = {&clock, &prompt, &settings, &shell, {}};
        config.model.CHWX.resize(kWeatherChannels);
    }
};

TEST(WeatherRulesTest, EachRowShowsItsRecordAndOpensWithEnable) {
    Fixture f;
    f.config.model.CHWX[0] = {.Enable = true, .ScanMemory = true, .ChTag = "NOAA"};
    f.config.model.CHWX[9].ScanMemory = true;  // kept while the row is closed
    const WeatherRowView first = ViewWeatherRow(f.config.model, 0);
    EXPECT_EQ(first.label, "WX01");
    EXPECT_EQ(first.frequency, "162.550 MHz");
    EXPECT_TRUE(first.enable && first.scan && first.open);
    EXPECT_EQ(first.name, "NOAA");
    const WeatherRowView last = ViewWeatherRow(f.config.model, 9);
    EXPECT_EQ(last.label, "WX10");
    EXPECT_EQ(last.frequency, "163.275 MHz");
    EXPECT_TRUE(last.scan);
    EXPECT_FALSE(last.enable || last.open);

    const WeatherRowView missing = ViewWeatherRow(DataModel{}, 3);  // a table not built yet
    EXPECT_EQ(missing.label, "WX04");
    EXPECT_FALSE(missing.open);
}

TEST(WeatherRulesTest, BoxesStoreThroughTheEditingEntryPoint) {
    Fixture f;
    EXPECT_TRUE(StoreWeatherEnable(f.config, 2, true));
    EXPECT_TRUE(StoreWeatherScan(f.config, 2, true));
    EXPECT_TRUE(StoreWeatherName(f.config, 2, "Coast #3 \u00e9"));  // every character
    const ChannelRecord& r = f.config.model.CHWX[2];
    EXPECT_TRUE(r.Enable && r.ScanMemory);
    EXPECT_EQ(r.ChTag, "Coast #3 \u00e9");
    EXPECT_TRUE(f.config.state.DataChanged);

    EXPECT_TRUE(StoreWeatherScan(f.config, 2, false));  // out of the scan
    EXPECT_FALSE(f.config.model.CHWX[2].ScanMemory);
    EXPECT_FALSE(StoreWeatherScan(f.config, 10, true));  // no such record

    Fixture loading;
    loading.config.state.Loading = true;  // the program fills its rows: nothing is stored
    EXPECT_FALSE(StoreWeatherEnable(loading.config, 0, true));
    EXPECT_FALSE(loading.config.model.CHWX[0].Enable);
    EXPECT_FALSE(loading.config.state.DataChanged);
}

TEST(WeatherRulesTest, MarkerAndHints) {
    EXPECT_EQ(WeatherMarkCaption(true), ">");
    EXPECT_EQ(WeatherMarkCaption(false), " ");
    EXPECT_EQ(WeatherControlHint("chkDEnable_3"), "Select[x]Enable/[]Disable.");
    EXPECT_EQ(WeatherControlHint("chkDScan_0"), "[Space]:An effective and invalid change.");
    EXPECT_EQ(WeatherControlHint("txtDTagName_9"), "A maximum of 16 characters");
    EXPECT_EQ(WeatherControlHint("lblWX_1"), "");
    EXPECT_EQ(kWeatherNameLength, 16);
}

}  // namespace
}  // namespace mrw
