// The channel list commands: which table a node names, NEW, EDIT and DELETE with their index
// rules, and SAVE storing into the table through the editing entry point.
#include "edit/channel_table.h"

#include <gtest/gtest.h>

#include "edit/channel_lists.h"
#include "edit/channel_panel.h"

namespace mrw {
namespace {

// A configuration whose questions are answered by a script.
struct Fixture {
    Config config;
    ScriptedPrompt prompt;
    ChannelListState state;

    explicit Fixture(TableKind kind, int records = 0) {
        config.services.prompt = &prompt;
        ShowTable(state, kind);
        for (int i = 0; i < records; ++i) {
            ChannelRecord r;
            r.Position = static_cast<int16_t>(10 + i);
            r.Enable = true;
            TableOf(config.model, kind)->push_back(r);
        }
    }
    ChannelTable& Table() { return *TableOf(config.model, state.kind); }
};

// Values of a standard channel panel choosing base channel 72.
ChannelPanelValues Channel72() {
    ChannelPanelValues v;
    v.baseChannel = 72;
    v.duplex = 0;
    v.statusNo = 127;
    v.statusIcon = 0;
    v.txEnable = true;
    v.name = "SEVENTYTWO";
    return v;
}

TEST(ChannelTableTest, NodeKeysNameTheirTables) {
    const std::pair<const char*, TableKind> cases[] = {{"pi", TableKind::INT},
                                                       {"PR", TableKind::RG},
                                                       {"EXPCHANNEL", TableKind::EXP},
                                                       {"PW", TableKind::None}};
    for (const auto& [key, kind] : cases) {
        EXPECT_EQ(TableKindOfKey(key), kind) << key;
    }
}

TEST(ChannelTableTest, NewAfterTheThirdRowLandsFourthAndIsSelected) {
    Fixture f(TableKind::INT, 4);
    const std::optional<ChannelRecord> start = StartNew(f.config, f.state, 2);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Position, 0);
    EXPECT_EQ(start->StatusNo, 127);
    EXPECT_EQ(start->Duplex, 2);
    EXPECT_TRUE(start->Enable && start->TxEnable && !start->ScanMemory && !start->InterShipCH);

    EXPECT_EQ(SaveChannel(f.config, f.state, Channel72()), SaveOutcome::Stored);
    ASSERT_EQ(f.Table().size(), 5U);
    EXPECT_EQ(f.Table()[2].Position, 12);
    EXPECT_EQ(f.Table()[3].Position, 72);
    EXPECT_EQ(f.Table()[4].Position, 13);
    EXPECT_EQ(RowToSelect(f.state, f.Table()), 3);
    EXPECT_TRUE(f.config.state.DataChanged);
}

TEST(ChannelTableTest, NewOnAnEmptyTableStoresTheOnlyRecord) {
    Fixture f(TableKind::USA);
    ASSERT_TRUE(StartNew(f.config, f.state, -1));
    EXPECT_EQ(f.state.insertionIndex, -1);
    EXPECT_EQ(SaveChannel(f.config, f.state, Channel72()), SaveOutcome::Stored);
    ASSERT_EQ(f.Table().size(), 1U);
    EXPECT_EQ(f.Table()[0].Position, 72);
}

TEST(ChannelTableTest, CommandsOutsideTheTableDoNothing) {
    Fixture f(TableKind::CAN, 2);
    EXPECT_FALSE(StartNew(f.config, f.state, -1));
    EXPECT_FALSE(StartEdit(f.config, f.state, 2));
    EXPECT_FALSE(DeleteChannel(f.config, f.state, 5));
    f.state.mode = EntryMode::Edit;
    f.state.insertionIndex = 2;
    EXPECT_EQ(SaveChannel(f.config, f.state, Channel72()), SaveOutcome::NotStored);
    f.state.mode = EntryMode::New;
    f.state.insertionIndex = -1;
    EXPECT_EQ(SaveChannel(f.config, f.state, Channel72()), SaveOutcome::NotStored);
    EXPECT_EQ(f.Table().size(), 2U);
    EXPECT_FALSE(f.config.state.DataChanged);
    EXPECT_TRUE(f.prompt.messages.empty());
}

TEST(ChannelTableTest, AFullTableRefusesNew) {
    Fixture f(TableKind::RG, 16);
    EXPECT_FALSE(StartNew(f.config, f.state, 0));
    ASSERT_EQ(f.prompt.messages.size(), 1U);
    EXPECT_EQ(f.prompt.messages[0].text,
              "This channel table is full: the radio holds 16 channels in it.");
}

TEST(ChannelTableTest, DeleteAsksAndNoKeepsTheTable) {
    Fixture f(TableKind::USA, 1);
    f.prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(DeleteChannel(f.config, f.state, 0));
    EXPECT_EQ(f.Table().size(), 1U);
    EXPECT_FALSE(f.config.state.DataChanged);
    EXPECT_TRUE(DeleteChannel(f.config, f.state, 0));
    EXPECT_TRUE(f.Table().empty());
    EXPECT_TRUE(f.config.state.DataChanged);
}

TEST(ChannelTableTest, EditKeepsWhatThePanelDoesNotShow) {
    Fixture f(TableKind::USA, 3);
    ChannelRecord& r = f.Table()[1];
    r.CHDisplayR = "R7";
    r.Scramble = 5;
    r.ScrambleOn = true;
    r.Rxfreq = 150.5;
    r.ExpCB = {true, false, true};
    ChannelRecord expected = r;
    ASSERT_TRUE(StartEdit(f.config, f.state, 1));
    EXPECT_EQ(SaveChannel(f.config, f.state, Channel72()), SaveOutcome::Stored);
    expected.Position = 72;
    expected.Duplex = 0;
    expected.StatusNo = 127;
    expected.StatusIcon = 0;
    expected.TxEnable = true;
    expected.ChTag = "SEVENTYTWO";
    EXPECT_EQ(f.Table()[1], expected);
    EXPECT_EQ(f.Table().size(), 3U);
}

TEST(ChannelTableTest, AStoredValueNoListOffersIsShownAndKept) {
    const ItemList bases = ChannelListItems(ChannelList::BaseChannel, 105);
    ASSERT_EQ(bases.size(), 101U);
    EXPECT_EQ(bases[100], (ListItem{"105", 105}));
    EXPECT_EQ(ChannelListItems(ChannelList::BaseChannel, 16).size(), 100U);
    EXPECT_EQ(ChannelListItems(ChannelList::Duplex, 9).back(), (ListItem{"value 9", 9}));
    EXPECT_EQ(ChannelListItems(ChannelList::StatusNo, 127),
              (ItemList{{"None", 127}, {"10", 10}, {"20", 20}}));

    Fixture f(TableKind::CAN, 1);
    ChannelRecord& r = f.Table()[0];
    r.Position = 105;
    r.StatusNo = 30;
    r.StatusIcon = 7;
    r.Duplex = 9;
    ASSERT_TRUE(StartEdit(f.config, f.state, 0));
    ChannelPanelValues v;
    v.baseChannel = 105;
    v.statusNo = 30;
    v.statusIcon = 7;
    v.duplex = 9;
    EXPECT_EQ(SaveChannel(f.config, f.state, v), SaveOutcome::Stored);
    EXPECT_EQ(f.Table()[0].Position, 105);
    EXPECT_EQ(f.Table()[0].StatusNo, 30);
    EXPECT_EQ(f.Table()[0].StatusIcon, 7);
    EXPECT_EQ(f.Table()[0].Duplex, 9);
}

TEST(ChannelTableTest, NothingIsStoredWhileTheProgramFillsItsControls) {
    Fixture f(TableKind::USA, 1);
    ASSERT_TRUE(StartEdit(f.config, f.state, 0));
    f.config.state.Loading = true;
    EXPECT_EQ(SaveChannel(f.config, f.state, Channel72()), SaveOutcome::NotStored);
    EXPECT_EQ(f.Table()[0].Position, 10);
}

}  // namespace
}  // namespace mrw
