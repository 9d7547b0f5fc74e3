// What the editors store is what programming writes and a read gives back: awkward input
// through the edit rules, then the model encoded into an image and decoded again, against
// values worked out by hand from the fields' character sets and lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/config_fixture.h"
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
};

TEST_F(KeptValuesTest, EditedTextsAndFlagsComeBackFromTheRadioAsStored) {
    // Low Power with Tx Enable off.
    ChannelPanelValues exp{.display = "a1",
                           .rxText = "156.05",
                           .txText = "157.0500",
                           .name = "Harbour #1!  ",
                           .lowPower = true,
                           .powerUp = true};
    SaveNew(TableKind::EXP, exp);
    ChannelPanelValues rg = exp;
    rg.display = "b";
    rg.name = "   ";
    rg.txEnable = true;
    SaveNew(TableKind::RG, rg);
    ASSERT_TRUE(StoreWeatherName(config, 0, "#Wx!1 ") && CommitStatusName(config, 1, "ab c d") &&
                CommitStatusName(config, 2, "x   y") &&
                CommitEntryName(config, Directory::Individual, 1, "Home #2 Ship"));

    // Programming followed by a read: the model encoded into the image, and the model the
    // image then stands for.
    DataModel programmed = config.model;
    std::string error;
    EXPECT_TRUE(EncodeImage(programmed, config.image, &error)) << error;
    DataModel read = DecodedModel(config.image);
    // The edited fields in the order of the edits; power as Tx Enable, Low Power, Power Up.
    const auto edited = [](const DataModel& m) {
        const auto power = [](const ChannelRecord& r) {
            return std::string(r.TxEnable ? "T" : "-") + (r.LowPower ? "L" : "-") +
                   (r.PowUp ? "U" : "-");
        };
        return std::vector<std::string>{m.CHEXP.at(0).CHDisplayL, m.CHEXP.at(0).ChTag,
                                        power(m.CHEXP.at(0)),     m.CHRG.at(0).CHDisplayL,
                                        m.CHRG.at(0).ChTag,       power(m.CHRG.at(0)),
                                        m.CHWX.at(0).ChTag,       m.Groups[1].StatusName,
                                        m.Groups[2].StatusName,   m.CHMMSID[0].TagName};
    };
    const std::vector<std::string> expected = {"A1",  "Harbour 1", "--U",  "B ", "",
                                               "TLU", "Wx1",       "ab c", "x",  "Home 2 Ship"};
    EXPECT_EQ(edited(config.model), expected);  // as stored
    EXPECT_EQ(edited(read), expected);          // as read back
    // Nothing else changes on the way: the read gives back the model that was programmed,
    // but for the catalogue fields a user channel has no use for (NEW starts them all alike).
    for (ChannelRecord* r :
         {&read.CHEXP[0], &read.CHRG[0], &programmed.CHEXP[0], &programmed.CHRG[0]}) {
        r->Position = r->Duplex = r->StatusNo = r->StatusIcon = 0;
        r->InterShipCH = false;
    }
    EXPECT_EQ(read, programmed);
}

}  // namespace
}  // namespace mrw
