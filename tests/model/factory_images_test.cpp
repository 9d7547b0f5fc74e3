// The factory region default images generated at build time: each is a valid image of its
// model, decodes to the channel plans its region table names, and survives a decode and
// encode unchanged.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "core/config_fixture.h"
#include "image/check_map.h"
#include "image/checks.h"
#include "image/codec.h"
#include "model/catalogue.h"
#include "model/regions.h"
#include "region_tables.h"

namespace mrw {
namespace {

std::filesystem::path EnvPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::filesystem::path(value) : std::filesystem::path();
}

const ChannelRecord* FindChannel(const ChannelTable& table, const std::string& label) {
    for (const ChannelRecord& r : table) {
        if (ChannelLabel(r) == label) {
            return &r;
        }
    }
    return nullptr;
}

// "receive/transmit" as the editor shows them, or "absent".
std::string RxTx(const ChannelTable& table, const std::string& label) {
    const ChannelRecord* r = FindChannel(table, label);
    return r ? CatalogueRxText(*r) + "/" + CatalogueTxText(*r) : "absent";
}

int IndexOf(const ChannelTable& table, const std::string& label) {
    const ChannelRecord* r = FindChannel(table, label);
    return r ? static_cast<int>(r - table.data()) : -1;
}

class FactoryImages : public testing::ConfigFixture,
                      public ::testing::WithParamInterface<std::tuple<std::string, int>> {
protected:
    void SetUp() override {
        bin = EnvPath("MRW_BIN_DIR");
        if (bin.empty()) {
            bin = MRW_TEST_BIN_DIR;  // the build's own program folder
        }
        data = MRW_DATA_DIR;  // the tables the images were generated from
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

    ChannelTable Plan(int group) {
        const std::string& name = spec.groups[static_cast<size_t>(group)].plan;
        if (name.empty()) {
            return {};
        }
        std::string error;
        auto plan = regiongen::ReadPlan(data / "plans" / (name + ".csv"), error);
        EXPECT_TRUE(plan) << error;
        return plan.value_or(ChannelTable{});
    }

    const ChannelTable& Table(int group) const {
        const DataModel& m = config.model;
        return group == 0 ? m.CHUSA : group == 1 ? m.CHINT : m.CHCAN;
    }

    int GroupOfPlan(const std::string& plan) const {
        for (int g = 0; g < 3; ++g) {
            if (spec.groups[static_cast<size_t>(g)].plan == plan) {
                return g;
            }
        }
        return -1;
    }

    std::filesystem::path bin;
    std::filesystem::path data;
    std::filesystem::path file;
    std::string region;
    int type = 0;
    regiongen::RegionSpec spec;
};

TEST_P(FactoryImages, IdentityRegionAndChecksum) {
    const Image& image = config.image;
    EXPECT_EQ(std::filesystem::file_size(file), 32768u);
    const int code128 = image.Get(128) * 256 + image.Get(129);
    const int codeEnd = image.Get(32766) * 256 + image.Get(32767);
    EXPECT_TRUE(
        IsModelCodeValid(type, static_cast<uint16_t>(code128), static_cast<uint16_t>(codeEnd)));
    EXPECT_EQ(ReadText(image, 256, 6), "KT562W");
    EXPECT_EQ(image.Get(checkmap::kRegionAddress), RegionCodeOfName(region).value());
    EXPECT_EQ(RegionName(image.Get(checkmap::kRegionAddress)), region);
    EXPECT_EQ(image.Get(95), ByteSum(image, 66, 29));
}

TEST_P(FactoryImages, ChannelTablesAreTheRegionPlans) {
    for (int g = 0; g < 3; ++g) {
        SCOPED_TRACE(g);
        const ChannelTable plan = Plan(g);
        const ChannelTable& table = Table(g);
        ASSERT_EQ(table.size(), plan.size());
        for (size_t i = 0; i < plan.size(); ++i) {
            const ChannelRecord& want = plan[i];
            const ChannelRecord& got = table[i];
            SCOPED_TRACE(ChannelLabel(want));
            auto fields = [](const ChannelRecord& r, bool lowPower) {
                return std::tuple(r.Position, r.StatusNo, r.StatusIcon, r.Duplex, r.TxEnable,
                                  lowPower, r.ScanMemory, r.InterShipCH, r.ChTag);
            };
            EXPECT_EQ(fields(got, got.LowPower), fields(want, want.LowPower && want.TxEnable));
            EXPECT_TRUE(got.Enable);
        }
        const regiongen::GroupSpec& settings = spec.groups[static_cast<size_t>(g)];
        const ChannelGroup& group = config.model.Groups[static_cast<size_t>(g)];
        EXPECT_EQ(group.Usable, settings.usable);
        EXPECT_EQ(group.StatusName, settings.name);
        EXPECT_EQ(config.model.DscBasic.UsableDsc[static_cast<size_t>(g)], settings.dsc);
        EXPECT_EQ(config.model.Atis.UsableAtis[static_cast<size_t>(g)], settings.atis);
        const int distress = IndexOf(table, "16");
        EXPECT_EQ(group.PriorityCH, distress >= 0 ? distress + 1 : 0xFFFF);  // none: 0xFF 0xFF
    }
    EXPECT_EQ(config.model.Groups[3].Usable, spec.expUsable);
    ASSERT_EQ(config.model.CHEXP.size(), spec.extra.size());
    for (size_t i = 0; i < spec.extra.size(); ++i) {
        EXPECT_EQ(config.model.CHEXP[i].CHDisplayL, spec.extra[i].CHDisplayL);
        EXPECT_DOUBLE_EQ(config.model.CHEXP[i].Rxfreq, spec.extra[i].Rxfreq);
        EXPECT_DOUBLE_EQ(config.model.CHEXP[i].Txfreq, spec.extra[i].Txfreq);
    }
    EXPECT_TRUE(config.model.CHRG.empty());
    EXPECT_EQ(config.model.CHMMSID[0].Mmsid + config.model.CHGRPID[0].Mmsid, "");
    for (const ChannelRecord& wx : config.model.CHWX) {
        EXPECT_EQ(wx.Enable, spec.weather);
    }
}

TEST_P(FactoryImages, InternationalChannelsSixteenAndSeventy) {
    const int g = GroupOfPlan("itu");
    ASSERT_GE(g, 0);
    const ChannelTable& table = Table(g);
    const ChannelRecord* ch16 = FindChannel(table, "16");
    ASSERT_NE(ch16, nullptr);
    EXPECT_EQ(ch16->ChTag, "DISTRESS");
    EXPECT_TRUE(ch16->TxEnable);
    EXPECT_FALSE(ch16->LowPower);
    // 70 receives only, 24 is duplex, 2019 simplex on the coast frequency, 75 guards 16.
    const std::pair<const char*, const char*> rows[] = {
        {"16", "156.800/156.800"},   {"70", "156.525/---.---"},   {"24", "161.800/157.200"},
        {"2019", "161.550/161.550"}, {"1019", "156.950/156.950"}, {"75", "absent"}};
    for (const auto& [label, rxTx] : rows) {
        EXPECT_EQ(RxTx(table, label), rxTx) << label;
    }

    // The radio starts on channel 16 of its first group.
    const Image& image = config.image;
    EXPECT_EQ(image.Get(checkmap::kCurrentMode), checkmap::kChannelMode);
    EXPECT_EQ(image.Get(checkmap::kCurrentGroup), 0);
    EXPECT_EQ(image.Get(checkmap::kCurrentRef + 1), IndexOf(config.model.CHUSA, "16"));
}

TEST_P(FactoryImages, UsAndCanadianChannels) {
    const int us = GroupOfPlan("usa");
    const int can = GroupOfPlan("canada");
    if (us < 0 && can < 0) {
        EXPECT_FALSE(spec.weather);  // weather channels only with the US and Canadian plans
        return;
    }
    EXPECT_TRUE(spec.weather);
    ASSERT_GE(us, 0);
    const ChannelRecord* a22 = FindChannel(Table(us), "22A");
    ASSERT_NE(a22, nullptr);
    EXPECT_EQ(a22->StatusIcon, 1);
    EXPECT_EQ(a22->Duplex, 0);
    EXPECT_EQ(RxTx(Table(us), "22A"), "157.100/157.100");
    EXPECT_EQ(RxTx(Table(us), "22"), "absent");
    ASSERT_GE(can, 0);
    const ChannelRecord* b21 = FindChannel(Table(can), "21B");
    ASSERT_NE(b21, nullptr);
    EXPECT_EQ(b21->StatusIcon, 2);
    EXPECT_EQ(b21->Duplex, 1);
    EXPECT_EQ(RxTx(Table(can), "21B"), "161.650/---.---");
}

TEST_P(FactoryImages, InlandAndExtraChannels) {
    const int inland = GroupOfPlan("inland");
    if (inland >= 0) {
        EXPECT_TRUE(config.model.Atis.UsableAtis[static_cast<size_t>(inland)]);
        EXPECT_FALSE(config.model.DscBasic.UsableDsc[static_cast<size_t>(inland)]);
        EXPECT_EQ(FindChannel(Table(inland), "70"), nullptr);
        const ChannelRecord* ch10 = FindChannel(Table(inland), "10");
        ASSERT_NE(ch10, nullptr);
        EXPECT_TRUE(ch10->LowPower);
    }
    if (region == "UK") {
        ASSERT_EQ(config.model.CHEXP.size(), 2u);
        EXPECT_EQ(config.model.CHEXP[0].CHDisplayL, "M1");
        EXPECT_DOUBLE_EQ(config.model.CHEXP[0].Rxfreq, 157.85);
        EXPECT_DOUBLE_EQ(config.model.CHEXP[1].Txfreq, 161.425);
        EXPECT_TRUE(config.model.Groups[3].Usable);
        // Extra channels are referred to as 239 + record index.
        EXPECT_TRUE(IsChannelRefUsable(config.image, 239, 0));
        EXPECT_TRUE(IsChannelRefUsable(config.image, 240, 0));
        EXPECT_FALSE(IsChannelRefUsable(config.image, 241, 0));
    }
}

TEST_P(FactoryImages, DecodeEncodeLeavesTheImageUnchanged) {
    Image image = config.image;
    DataModel model;
    model.CHWX.resize(kWeatherChannels);
    DecodeImage(image, model);
    std::string error;
    ASSERT_TRUE(EncodeImage(model, image, &error)) << error;
    PrepareImageForWrite(image, model);
    UpdateChecksum(image);
    for (int a = 0; a < kImageSize; ++a) {
        ASSERT_EQ(image.Get(a), config.image.Get(a)) << "address " << a;
    }
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
    auto a = regiongen::ParseChannelLabel("22A");
    ASSERT_TRUE(a);
    EXPECT_EQ(std::tuple(a->Position, a->StatusIcon, a->StatusNo), std::tuple(22, 1, 127));
    auto coast = regiongen::ParseChannelLabel("2078");
    ASSERT_TRUE(coast);
    EXPECT_EQ(std::tuple(coast->Position, coast->StatusNo), std::tuple(78, 20));
    for (const char* bad : {"", "A", "120", "3019", "1019A", "22C", "-1", "12345"}) {
        EXPECT_FALSE(regiongen::ParseChannelLabel(bad)) << bad;
    }
}

}  // namespace
}  // namespace mrw
