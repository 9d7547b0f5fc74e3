// The channel list commands: which table a node names, NEW, EDIT and DELETE with their index
// rules, and SAVE storing into the table through the editing entry point.
#include "edit/channel_table.h"

#include <gtest/gtest.h>

#include "edit/channel_lists.h"
#include "edit/channel_panel.h"

namespace mrw {
namespace {

// A configuration whose questions are answered by a script; records at positions 10, 11, ...
struct Fixture {
    Config config;
    ScriptedPrompt prompt;
    ChannelListState state;

    explicit Fixture(TableKind kind, int records = 0) {
        config.services.prompt = &prompt;
        ShowTable(state, kind);
        for (int i = 0; i < records; ++i) {
            Table().push_back({.Position = static_cast<int16_t>(10 + i), .Enable = true});
        }
    }
    ChannelTable& Table() { return *TableOf(config.model, state.kind); }
};

// Values of a standard channel panel choosing base channel 72.
const ChannelPanelValues kChannel72{.baseChannel = 72,
                                    .duplex = 0,
                                    .statusNo = 127,
                                    .statusIcon = 0,
                                    .name = "SEVENTYTWO",
                                    .txEnable = true};

TEST(ChannelTableTest, NodeKeysNameTheirTables) {
    EXPECT_EQ(TableKindOfKey("pi"), TableKind::INT);
    EXPECT_EQ(TableKindOfKey("PR"), TableKind::RG);
    EXPECT_EQ(TableKindOfKey("EXPCHANNEL"), TableKind::EXP);
    EXPECT_EQ(TableKindOfKey("PW"), TableKind::None);
}

TEST(ChannelTableTest, NewAfterTheThirdRowLandsFourthAndIsSelected) {
    Fixture f(TableKind::INT, 4);
    const std::optional<ChannelRecord> start = StartNew(f.config, f.state, 2);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->Position, 0);
    EXPECT_EQ(start->StatusNo, 127);
    EXPECT_EQ(start->Duplex, 2);
    EXPECT_TRUE(start->Enable && start->TxEnable && !start->ScanMemory && !start->InterShipCH);
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::Stored);
    ASSERT_EQ(f.Table().size(), 5U);
    EXPECT_EQ(f.Table()[2].Position, 12);
    EXPECT_EQ(f.Table()[3].Position, 72);
    EXPECT_EQ(f.Table()[4].Position, 13);
    EXPECT_EQ(RowToSelect(f.state, f.Table()), 3);
    EXPECT_TRUE(f.config.state.DataChanged);

    Fixture empty(TableKind::USA);  // NEW on an empty table stores the only record
    ASSERT_TRUE(StartNew(empty.config, empty.state, -1));
    EXPECT_EQ(SaveChannel(empty.config, empty.state, kChannel72), SaveOutcome::Stored);
    ASSERT_EQ(empty.Table().size(), 1U);
    EXPECT_EQ(empty.Table()[0].Position, 72);
}

TEST(ChannelTableTest, CommandsOutsideTheTableWhileLoadingOrOnAFullTableStoreNothing) {
    Fixture f(TableKind::CAN, 2);
    EXPECT_FALSE(StartNew(f.config, f.state, -1));
    EXPECT_FALSE(StartEdit(f.config, f.state, 2));
    EXPECT_FALSE(DeleteChannel(f.config, f.state, 5));
    f.state.mode = EntryMode::Edit;
    f.state.insertionIndex = 2;
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::NotStored);
    f.state.mode = EntryMode::New;
    f.state.insertionIndex = -1;
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::NotStored);
    ASSERT_TRUE(StartEdit(f.config, f.state, 0));
    f.config.state.Loading = true;
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::NotStored);
    EXPECT_EQ(f.Table().size(), 2U);
    EXPECT_EQ(f.Table()[0].Position, 10);
    EXPECT_FALSE(f.config.state.DataChanged);
    EXPECT_TRUE(f.prompt.messages.empty());

    Fixture full(TableKind::RG, 16);
    EXPECT_FALSE(StartNew(full.config, full.state, 0));
    EXPECT_EQ(
        full.prompt.Texts(),
        std::vector<std::string>{"This channel table is full: the radio holds 16 channels in it."});
}

TEST(ChannelTableTest, EditKeepsWhatThePanelDoesNotShowAndDeleteAsks) {
    Fixture f(TableKind::USA, 3);
    ChannelRecord& r = f.Table()[1];
    r = {.Position = 11,
         .Enable = true,
         .Scramble = 5,
         .CHDisplayR = "R7",
         .Rxfreq = 150.5,
         .ExpCB = {true, false, true},
         .ScrambleOn = true};
    ASSERT_TRUE(StartEdit(f.config, f.state, 1));
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::Stored);
    EXPECT_EQ(f.Table()[1], (ChannelRecord{.Position = 72,
                                           .Enable = true,
                                           .TxEnable = true,
                                           .ChTag = "SEVENTYTWO",
                                           .Scramble = 5,
                                           .CHDisplayR = "R7",
                                           .Rxfreq = 150.5,
                                           .ExpCB = {true, false, true},
                                           .StatusNo = 127,
                                           .ScrambleOn = true}));
    f.config.state.DataChanged = false;
    f.prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(DeleteChannel(f.config, f.state, 0));
    EXPECT_EQ(f.Table().size(), 3U);
    EXPECT_FALSE(f.config.state.DataChanged);
    EXPECT_TRUE(DeleteChannel(f.config, f.state, 0));
    EXPECT_EQ(f.Table().size(), 2U);
    EXPECT_EQ(f.Table()[0].Position, 72);
    EXPECT_TRUE(f.config.state.DataChanged);
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
    f.Table()[0] = {.Position = 105, .Duplex = 9, .StatusIcon = 7, .StatusNo = 30};
    ASSERT_TRUE(StartEdit(f.config, f.state, 0));
    EXPECT_EQ(SaveChannel(f.config, f.state,
                          {.baseChannel = 105, .duplex = 9, .statusNo = 30, .statusIcon = 7}),
              SaveOutcome::Stored);
    EXPECT_EQ(f.Table()[0],
              (ChannelRecord{
                  .Position = 105, .Enable = true, .Duplex = 9, .StatusIcon = 7, .StatusNo = 30}));
}

}  // namespace
}  // namespace mrw
