// The factory region default images generated at build time: each is a valid image of its
// model, decodes to the channel plans its region table names, and survives a decode and
// encode unchanged.
#include <cstdlib>
#include <string>

#include "core/config_fixture.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "region_tables.h"
#include "test_files.h"

namespace mrw {
namespace {

class FactoryImages : public testing::ConfigFixture,
                      public ::testing::WithParamInterface<std::tuple<std::string, int>> {
protected:
    void SetUp() override {
        const char* env = std::getenv("MRW_BIN_DIR");
        const std::filesystem::path bin = env ? env : MRW_TEST_BIN_DIR;
        std::tie(region, type) = GetParam();
        file = bin / regiongen::FactoryFileName(region, type);
        std::string error;
        auto parsed = regiongen::ReadRegion(data / "regions" / (region + ".ini"), error);
        ASSERT_TRUE(parsed) << error;
        spec = *parsed;
        config.services.programFolder = bin;
        config.state.ModelType = static_cast<int16_t>(type);
        RebuildWeatherTable(config.model);
        ASSERT_TRUE(LoadRegionImage(config, file)) << file;
    }

    const ChannelTable& Table(int group) const {
        const DataModel& m = config.model;
        return group == 0 ? m.CHUSA : group == 1 ? m.CHINT : m.CHCAN;
    }

    // The table of the group holding `plan`, or nullptr.
    const ChannelTable* PlanTable(const std::string& plan) const {
        for (int g = 0; g < 3; ++g) {
            if (spec.groups[static_cast<size_t>(g)].plan == plan) {
                return &Table(g);
            }
        }
        return nullptr;
    }

    static int IndexOf(const ChannelTable* t, const std::string& label) {
        for (size_t i = 0; t && i < t->size(); ++i) {
            if (ChannelLabel((*t)[i]) == label) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    const std::filesystem::path data = MRW_DATA_DIR;  // the tables the images came from
    std::filesystem::path file;
    std::string region;
    int type = 0;
    regiongen::RegionSpec spec;
};

TEST_P(FactoryImages, IdentityPlansAndADecodeEncodeChangesNothing) {
    const Image& image = config.image;
    EXPECT_EQ(std::filesystem::file_size(file), 32768u);
    EXPECT_TRUE(IsModelCodeValid(type, static_cast<uint16_t>(image.Get(128) * 256 + image.Get(129)),
                                 static_cast<uint16_t>(image.Get(32766) * 256 + image.Get(32767))));
    EXPECT_EQ(ReadText(image, 256, 6), "KT562W");
    EXPECT_EQ(RegionName(image.Get(checkmap::kRegionAddress)), region);
    EXPECT_EQ(image.Get(95), ByteSum(image, 66, 29));
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        const regiongen::GroupSpec& settings = spec.groups[static_cast<size_t>(g)];
        std::string error;
        const auto plan =
            settings.plan.empty()
                ? std::optional<ChannelTable>(ChannelTable{})
                : regiongen::ReadPlan(data / "plans" / (settings.plan + ".csv"), error);
        ASSERT_TRUE(plan) << error;
        const ChannelTable& table = Table(g);
        ASSERT_EQ(table.size(), plan->size());
        for (size_t i = 0; i < plan->size(); ++i) {
            const ChannelRecord& want = (*plan)[i];
            const ChannelRecord& got = table[i];
            SCOPED_TRACE(ChannelLabel(want));
            auto fields = [](const ChannelRecord& r, bool lowPower) {
                return std::tuple(r.Enable, r.Position, r.StatusNo, r.StatusIcon, r.Duplex,
                                  r.TxEnable, lowPower, r.ScanMemory, r.InterShipCH, r.ChTag);
            };
            EXPECT_EQ(fields(got, got.LowPower), fields(want, want.LowPower && want.TxEnable));
        }
        const ChannelGroup& group = config.model.Groups[static_cast<size_t>(g)];
        EXPECT_EQ(std::tuple(group.Usable, group.StatusName,
                             config.model.DscBasic.UsableDsc[static_cast<size_t>(g)],
                             config.model.Atis.UsableAtis[static_cast<size_t>(g)]),
                  std::tuple(settings.usable, settings.name, settings.dsc, settings.atis));
        const int distress = IndexOf(&table, "16");
        EXPECT_EQ(group.PriorityCH, distress >= 0 ? distress + 1 : 0xFFFF);  // none: 0xFF 0xFF
    }
    EXPECT_EQ(config.model.Groups[3].Usable, spec.expUsable);
    ASSERT_EQ(config.model.CHEXP.size(), spec.extra.size());
    for (size_t i = 0; i < spec.extra.size(); ++i) {
        const ChannelRecord& r = config.model.CHEXP[i];
        EXPECT_EQ(std::tuple(r.CHDisplayL, r.Rxfreq, r.Txfreq),
                  std::tuple(spec.extra[i].CHDisplayL, spec.extra[i].Rxfreq, spec.extra[i].Txfreq));
    }
    EXPECT_TRUE(config.model.CHRG.empty());
    EXPECT_EQ(config.model.CHMMSID[0].Mmsid + config.model.CHGRPID[0].Mmsid, "");
    for (const ChannelRecord& wx : config.model.CHWX) {
        EXPECT_EQ(wx.Enable, spec.weather);
    }
    // Extra channels are referred to as 239 + record index.
    const int extra = static_cast<int>(spec.extra.size());
    EXPECT_EQ(IsChannelRefUsable(config.image, 238 + extra, 0), extra > 0 && spec.expUsable);
    EXPECT_FALSE(IsChannelRefUsable(config.image, 239 + extra, 0));
    for (const auto& c : testing::ReadCases(testing::TestData("model/extra_channels.txt"))) {
        if (c[0] == region) {
            const ChannelRecord& r = config.model.CHEXP.at(std::stoul(c[1]));
            EXPECT_EQ(std::tuple(r.CHDisplayL, r.Rxfreq, r.Txfreq),
                      std::tuple(c[2], std::stod(c[3]), std::stod(c[4])))
                << c.where;
        }
    }
    for (const auto& c : testing::ReadCases(testing::TestData("model/hand_known_channels.txt"))) {
        const ChannelTable* table = PlanTable(c[0]);
        const int i = IndexOf(table, c[1]);
        if (table) {
            const ChannelRecord* r = i >= 0 ? &(*table)[static_cast<size_t>(i)] : nullptr;
            EXPECT_EQ(r ? CatalogueRxText(*r) + "/" + CatalogueTxText(*r) : "absent", c[2])
                << c.where;
        }
    }
    ASSERT_GE(IndexOf(PlanTable("itu"), "16"), 0);
    EXPECT_EQ(PlanTable("usa") || PlanTable("canada"), spec.weather);
    EXPECT_EQ(!PlanTable("usa"), !PlanTable("canada"));
    // The radio starts on channel 16 of its first group.
    EXPECT_EQ(config.image.Get(checkmap::kCurrentMode), checkmap::kChannelMode);
    EXPECT_EQ(config.image.Get(checkmap::kCurrentGroup), 0);
    EXPECT_EQ(config.image.Get(checkmap::kCurrentRef + 1), IndexOf(&Table(0), "16"));
    // A decode and encode leaves the image unchanged.
    Image copy = config.image;
    DataModel model;
    model.CHWX.resize(kWeatherChannels);
    DecodeImage(copy, model);
    std::string error;
    ASSERT_TRUE(EncodeImage(model, copy, &error)) << error;
    PrepareImageForWrite(copy, model);
    UpdateChecksum(copy);
    EXPECT_EQ(copy.bytes, config.image.bytes);
}

std::vector<std::tuple<std::string, int>> AllImages() {
    std::vector<std::tuple<std::string, int>> all;
    for (const char* r : regiongen::kRegions) {
        for (int t : regiongen::kModelTypes) {
            all.emplace_back(r, t);
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(AllRegions, FactoryImages, ::testing::ValuesIn(AllImages()),
                         [](const auto& info) {
                             return std::get<0>(info.param) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

TEST(RegionTables, ChannelLabels) {
    for (const auto& c : testing::ReadCases(testing::TestData("model/channel_labels.txt"))) {
        const auto r = regiongen::ParseChannelLabel(c[0]);
        EXPECT_EQ(r ? std::to_string(r->Position) + " " + std::to_string(r->StatusIcon) + " " +
                          std::to_string(r->StatusNo)
                    : "refused",
                  c[1])
            << c.where;
    }
}

}  // namespace
}  // namespace mrw
