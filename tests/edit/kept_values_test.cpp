// What the editors store is what programming writes and a read gives back: awkward input
// through the edit rules, then the model encoded into an image and decoded again, against
// values worked out by hand from the fields' character sets and lengths.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/config_fixture.h"
#include "core/text.h"
#include "edit/channel_panel.h"
#include "edit/directory_rules.h"
#include "edit/setup_entry.h"
#include "edit/weather_rules.h"
#include "image/checks.h"
#include "image/codec.h"

namespace mrw {
namespace {

class KeptValuesTest : public testing::ConfigFixture {
protected:
    KeptValuesTest() {
        NewImage(config.image, config.model, 1);
        config.model = DecodedModel(config.image);
        config.model.CHMMSID[0] = {true, "", "2110000000"};
    }

    // SAVE of a new channel of `kind` (the table starting empty) with these panel values.
    void SaveNew(TableKind kind, const ChannelPanelValues& values) {
        ChannelListState state;
        ShowTable(state, kind);
        ASSERT_TRUE(StartNew(config, state, -1));
        ASSERT_EQ(SaveChannel(config, state, values), SaveOutcome::Stored);
    }

    // Programming followed by a read: the model encoded into the image, and the model the
    // image then stands for.
    DataModel ProgramAndRead(DataModel& programmed) {
        programmed = config.model;
        Image image = config.image;
        std::string error;
        EXPECT_TRUE(EncodeImage(programmed, image, &error)) << error;
        return DecodedModel(image);
    }
};

TEST_F(KeptValuesTest, EditedTextsAndFlagsComeBackFromTheRadioAsStored) {
    ChannelPanelValues exp;
    exp.display = "a1";
    exp.rxText = "156.05";
    exp.txText = "157.0500";
    exp.name = "Harbour #1!  ";
    exp.lowPower = true;  // with Tx Enable off
    exp.powerUp = true;
    SaveNew(TableKind::EXP, exp);
    ChannelPanelValues rg = exp;
    rg.display = "b";
    rg.name = "   ";
    rg.txEnable = true;
    SaveNew(TableKind::RG, rg);
    ChannelPanelValues usa;
    usa.baseChannel = 16;
    usa.duplex = 0;
    usa.statusNo = 127;
    usa.name = "ch16 distress?";
    usa.lowPower = true;
    SaveNew(TableKind::USA, usa);
    ASSERT_TRUE(StoreWeatherName(config, 0, "#Wx!1 "));
    ASSERT_TRUE(CommitStatusName(config, 1, "ab c d"));
    ASSERT_TRUE(CommitStatusName(config, 2, "x   y"));
    ASSERT_TRUE(CommitEntryName(config, Directory::Individual, 1, "Home #2 Ship"));

    DataModel programmed;
    DataModel read = ProgramAndRead(programmed);
    struct Field {
        const char* what;
        std::function<std::string(const DataModel&)> get;
        std::string expected;
    };
    const auto flags = [](const ChannelRecord& r) {
        return std::string(r.TxEnable ? "T" : "-") + (r.LowPower ? "L" : "-") +
               (r.PowUp ? "U" : "-");
    };
    const Field fields[] = {
        {"EXP display", [](const DataModel& m) { return m.CHEXP.at(0).CHDisplayL; }, "A1"},
        {"EXP name", [](const DataModel& m) { return m.CHEXP.at(0).ChTag; }, "Harbour 1"},
        {"EXP power", [&](const DataModel& m) { return flags(m.CHEXP.at(0)); }, "--U"},
        {"RG display", [](const DataModel& m) { return m.CHRG.at(0).CHDisplayL; }, "B "},
        {"RG name", [](const DataModel& m) { return m.CHRG.at(0).ChTag; }, ""},
        {"RG power", [&](const DataModel& m) { return flags(m.CHRG.at(0)); }, "TLU"},
        {"RG receive", [](const DataModel& m) { return FormatDouble(m.CHRG.at(0).Rxfreq); },
         "156.05"},
        {"USA name", [](const DataModel& m) { return m.CHUSA.at(0).ChTag; }, "ch16 distress"},
        {"USA power", [&](const DataModel& m) { return flags(m.CHUSA.at(0)); }, "---"},
        {"weather name", [](const DataModel& m) { return m.CHWX.at(0).ChTag; }, "Wx1"},
        {"status name", [](const DataModel& m) { return m.Groups[1].StatusName; }, "ab c"},
        {"status name cut", [](const DataModel& m) { return m.Groups[2].StatusName; }, "x"},
        {"directory name", [](const DataModel& m) { return m.CHMMSID[0].TagName; }, "Home 2 Ship"},
    };
    for (const Field& f : fields) {
        EXPECT_EQ(f.get(config.model), f.expected) << f.what << " as stored";
        EXPECT_EQ(f.get(read), f.expected) << f.what << " as read back";
    }
    // Nothing else changes on the way: the read gives back the model that was programmed.
    // Nothing else changes on the way: the read gives back the model that was programmed,
    // but for the catalogue fields a user channel has no use for (NEW starts them all alike).
    for (DataModel* m : {&read, &programmed}) {
        for (ChannelTable* table : {&m->CHEXP, &m->CHRG}) {
            for (ChannelRecord& r : *table) {
                r.Position = r.Duplex = r.StatusNo = r.StatusIcon = 0;
                r.InterShipCH = false;
            }
        }
    }
    EXPECT_EQ(read, programmed);
}

}  // namespace
}  // namespace mrw
