// Regions and model types at work: region default images, the region menu, the reset to
// defaults, the region and model menu commands and the region test of a settings file.
#include <algorithm>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "core/config_fixture.h"
#include "core/filled_model.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "test_files.h"

namespace mrw {
namespace {

using Names = std::vector<std::string>;

class Regions : public testing::ConfigFixture {
protected:
    void SetUp() override {
        WriteFile("global.ini", "[model1]\nuse=1\natis=False\n[model2]\nuse=1\natis=True\n");
        ApplyModelType(config, 1);
    }

    // A region image of `type` for region code `region` whose CHUSA holds `channels`
    // channels (catalogue rows 1, 2, ...).
    std::string ImageBytes(int type, int region, int channels) {
        Image image;
        DataModel model;
        NewImage(image, model, type);
        image.Set(checkmap::kRegionAddress, region);
        const auto& table = layout::TableLayout(layout::ChannelTableId::CHUSA);
        for (int k = 0; k < channels; ++k) {
            image.At(table.enableBitmap + k / 8) |= static_cast<uint8_t>(0x80 >> (k % 8));
            image.Set(table.recordBase + 4 * k, k + 1);
        }
        return std::string(image.bytes.begin(), image.bytes.end());
    }
    // Writes the image as name + suffix + ".ini".
    void WriteRegion(const std::string& name, int type, int region, int channels = 1) {
        WriteFile(name + ModelFileSuffix(type) + ".ini", ImageBytes(type, region, channels));
    }
    // UK (2 channels) and INTL (5 channels) for model type 1.
    void WriteUkAndIntl() {
        WriteRegion("UK", 1, 1, 2);
        WriteRegion("INTL", 1, 0, 5);
        config.model.CHWX.resize(10);
    }

    Names Captions() const {
        Names out;
        for (const auto& e : config.regionMenu.entries) {
            if (e.visible) {
                out.push_back(e.caption);
            }
        }
        return out;
    }
    int Checked() const {
        const auto& e = config.regionMenu.entries;
        const auto it = std::find_if(e.begin(), e.end(), [](const auto& x) { return x.checked; });
        return it == e.end() ? -1 : static_cast<int>(it - e.begin());
    }
    std::string Stored() { return store.Get("IniFilePath", "IniFileName_1"); }
    // CHWX as the weather channel table gives it: WX01 to WX10, receive only, enabled, not
    // scanned ("+"), tagged with their frequencies.
    void ExpectWeatherTable() {
        std::string got;
        for (const ChannelRecord& r : config.model.CHWX) {
            const bool flags = r.Enable && !r.TxEnable && !r.ScanMemory && !r.LowPower;
            got += std::to_string(r.Position) + (flags ? "+" : "-") + r.ChTag + " ";
        }
        EXPECT_EQ(got,
                  "1+162.550MHZ 2+162.400MHZ 3+162.475MHZ 4+162.425MHZ 5+162.450MHZ "
                  "6+162.500MHZ 7+162.525MHZ 8+161.650MHZ 9+161.775MHZ 10+163.275MHZ ");
    }
};

TEST_F(Regions, LoadRegionImageRefusalsThenALoad) {
    const std::string good = ImageBytes(1, 1, 3);
    std::string differing = good;
    differing[32767] = 0x00;  // second copy of the model code no longer matches
    WriteFile("short.ini", good.substr(0, 32767));
    WriteFile("differing.ini", differing);
    WriteFile("other.ini", ImageBytes(2, 0, 2));
    const Image before = config.image;
    for (const auto& c : testing::ReadCases(testing::TestData("model/region_image_refusals.txt"))) {
        SCOPED_TRACE(c.where);
        config.state.ErrorFlag = config.state.CancelFlag = false;
        config.state.ModelType = static_cast<int16_t>(std::stoi(c[1]));
        EXPECT_FALSE(LoadRegionImage(config, dir / c[0]));
        EXPECT_EQ(config.state.ErrorFlag, c[2] == "1");
        EXPECT_EQ(config.state.CancelFlag, c[3] == "1");
        EXPECT_FALSE(config.state.Loading);
        EXPECT_EQ(config.image.bytes, before.bytes);
    }
    WriteFile("UK_08FD.ini", good);
    config.model.CHWX.resize(10);
    EXPECT_TRUE(LoadRegionImage(config, dir / "UK_08FD.ini"));
    EXPECT_EQ(config.image.Get(checkmap::kRegionAddress), 1);
    ASSERT_EQ(config.model.CHUSA.size(), 3u);
    EXPECT_EQ(config.model.CHUSA[2].Position, 3);
    EXPECT_FALSE(config.state.Loading || config.state.ErrorFlag);
}

TEST_F(Regions, RegionNamesAndPaths) {
    auto words = [](const std::string& text) {
        std::istringstream in(text);
        return Names(std::istream_iterator<std::string>(in), {});
    };
    for (const auto& c : testing::ReadCases(testing::TestData("model/region_names.txt"))) {
        EXPECT_EQ(RegionNamesFromFiles(words(c[0]), c[1]), words(c[2])) << c.where;
    }
    EXPECT_EQ(RegionImagePath(config, "intl-m"), dir / "INTL_08FD.ini");  // a trailing M goes
    EXPECT_EQ(RegionImagePath(config, "-M"), dir / "-M_08FD.ini");
    WriteRegion("sw", 1, 4);  // a lower-case file name is still found
    std::error_code ec;       // the same file (a file system may ignore case)
    EXPECT_TRUE(
        std::filesystem::equivalent(RegionImagePath(config, "SW"), dir / "sw_08FD.ini", ec));
}

TEST_F(Regions, BuildRegionMenuLoadsTheStoredRegionOrTheFirst) {
    WriteUkAndIntl();
    WriteRegion("USA", 2, 255);                    // another model type's file is not offered
    WriteFile("INTL-M_08FD.ini", "not an image");  // the -M entry loads the plain file
    // Stored caption before (SW: its file is gone); checked entry, stored after, channels.
    const std::tuple<const char*, int, const char*, size_t> cases[] = {
        {"", 0, "INTL", 5}, {"uk", 2, "uk", 2}, {"SW", 0, "INTL", 5}, {"INTL-M", 1, "INTL-M", 5}};
    for (const auto& [stored, checked, storedAfter, channels] : cases) {
        SCOPED_TRACE(stored);
        store.Set("IniFilePath", "IniFileName_1", stored);
        BuildRegionMenu(config);
        EXPECT_TRUE(config.regionMenu.enabled);
        EXPECT_EQ(Captions(), (Names{"INTL", "INTL-M", "UK"}));
        EXPECT_EQ(Checked(), checked);
        EXPECT_EQ(Stored(), storedAfter);
        EXPECT_EQ(config.model.CHUSA.size(), channels);
    }
}

TEST_F(Regions, WithoutUsableRegionImagesTheDefaultsStay) {
    config.model.CHUSA.resize(7);
    config.model.CHMMSID[0].Mmsid = "123456789";
    ResetToStoredRegion(config);
    EXPECT_FALSE(config.regionMenu.enabled);
    EXPECT_EQ(prompt.Texts(), Names{"Ini files are not found!!"});
    EXPECT_TRUE(config.model.CHUSA.empty());
    EXPECT_TRUE(config.model.CHMMSID[0].Mmsid.empty());
    EXPECT_EQ(config.image.Get(checkmap::kModelCodeAddress + 1), 0xFD);
    ExpectWeatherTable();  // not the erased weather area of the default image
}

TEST_F(Regions, ResetNewRegionMenuCommandAndTheImageRegion) {
    WriteUkAndIntl();
    WriteRegion("USA", 1, 255);
    store.Set("IniFilePath", "IniFileName_1", "UK");
    ResetToStoredRegion(config);
    EXPECT_EQ(Checked(), 1);
    const DataModel uk = config.model;
    // What no image holds is at its documented default.
    EXPECT_EQ(uk.Common.TxPowerMode, 0);
    EXPECT_EQ(uk.AutoPos.Records[0], AutoPosRecord{});
    EXPECT_EQ(uk.CHUSA.size(), 2u);

    // File > New over a configuration in which every field was set.
    testing::FillWithNonDefaults(config.model);
    ResetToStoredRegion(config);
    EXPECT_EQ(config.model, uk);

    // Region > INTL, once from that configuration and once from an empty model.
    testing::FillWithNonDefaults(config.model);
    prompt.answers.push_back(Answer::Ok);
    ASSERT_TRUE(RegionMenuCommand(config, 0));
    const DataModel intlAfterFilled = config.model;
    EXPECT_EQ(intlAfterFilled.Groups[3].ExpChGroup, (std::array<bool, 3>{}));
    config.model = DataModel{};
    ASSERT_TRUE(RegionMenuCommand(config, 0));
    EXPECT_EQ(config.model, intlAfterFilled);

    // Mode -2 rebuilds only the weather table (from the weather channels) and the views.
    config.model.CHUSA.resize(7);
    config.model.CHWX.resize(3);
    RebuildWeatherAndViews(config);
    EXPECT_EQ(config.model.CHUSA.size(), 7u);
    ExpectWeatherTable();

    // Region > UK with changes asks; cancelled, INTL stays checked.
    prompt.messages.clear();
    config.state.DataChanged = true;
    prompt.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(RegionMenuCommand(config, 1));
    EXPECT_EQ(prompt.Texts(), Names{"Do you want to change to UK?"});
    EXPECT_EQ(Checked(), 0);
    EXPECT_TRUE(config.state.DataChanged);

    config.history.Record(DataModel{}, config.model, "SOG", "Common");
    EXPECT_TRUE(RegionMenuCommand(config, 1));
    EXPECT_FALSE(config.history.CanUndo());  // the edits belonged to the other region
    EXPECT_EQ(Checked(), 1);
    EXPECT_EQ(Stored(), "UK");
    EXPECT_EQ(config.image.Get(checkmap::kRegionAddress), 1);
    EXPECT_EQ(config.model.CHUSA.size(), 2u);
    EXPECT_FALSE(config.state.DataChanged);
    prompt.messages.clear();
    EXPECT_TRUE(RegionMenuCommand(config, 1));  // checked: reloaded without asking
    EXPECT_TRUE(prompt.messages.empty());

    // The image's region code checks its entry: UK, USA (7), none for SW (4).
    for (auto [region, entry] : {std::pair{1, 1}, {7, 2}, {4, -1}}) {
        config.image.Set(checkmap::kRegionAddress, region);
        ShowImageRegion(config);
        EXPECT_EQ(Checked(), entry) << region;
    }
    // A failed change checks the previous entry again.
    config.image.Set(checkmap::kRegionAddress, 1);
    ShowImageRegion(config);
    std::filesystem::remove(dir / "INTL_08FD.ini");
    EXPECT_FALSE(ChangeRegion(config, 0));
    EXPECT_EQ(Checked(), 1);  // the previous entry is checked again
    EXPECT_EQ(Stored(), "UK");
    EXPECT_EQ(prompt.messages.back().text, "IniFileRead Error!!");
}

TEST_F(Regions, ModelMenuCommandChangesTypeAfterTheQuestion) {
    int news = 0;
    auto performNew = [&] { ++news; };
    EXPECT_FALSE(ModelMenuCommand(config, 0, performNew));  // already type 1
    prompt.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(ModelMenuCommand(config, 1, performNew));
    EXPECT_EQ(config.state.ModelType, 1);
    EXPECT_TRUE(ModelMenuCommand(config, 1, performNew));
    EXPECT_EQ(config.state.ModelType, 2);
    EXPECT_TRUE(config.state.AtisSupported);
    EXPECT_EQ(store.Get("Settings", "lastmodel"), "2");
    EXPECT_EQ(news, 1);
}

TEST_F(Regions, CheckFileRegionDecisions) {
    for (const auto& c : testing::ReadCases(testing::TestData("model/file_region.txt"))) {
        SCOPED_TRACE(c.where);
        config.image.Set(checkmap::kRegionAddress, std::stoi(c[0]));
        config.state.ErrorFlag = false;
        prompt.messages.clear();
        if (c[3] != "-") {
            prompt.answers.push_back(c[3] == "Yes" ? Answer::Yes : Answer::No);
        }
        const int taken = std::stoi(c[2]);
        const std::optional<int> result = CheckFileRegion(config, "[MAIN]\n" + c[1]);
        EXPECT_EQ(result, taken < 0 ? std::nullopt : std::optional<int>(taken));
        EXPECT_EQ(config.state.ErrorFlag, taken < 0);
        EXPECT_EQ(prompt.messages.empty() ? "" : prompt.messages.back().text, c[4]);
    }
}

}  // namespace
}  // namespace mrw
