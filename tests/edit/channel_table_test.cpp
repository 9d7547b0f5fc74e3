// The channel list commands: which table a node names, NEW, EDIT and DELETE with their index
// rules, SAVE storing into the table through the editing entry point; and the priority channel
// of Group1 to Group3, a record position in its table, which NEW, DELETE and a channel list
// import keep on the same channel, and which Undo puts back with the table.
#include "edit/channel_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "edit/channel_lists.h"
#include "edit/channel_panel.h"
#include "edit/edit.h"
#include "files/csv_channels.h"
#include "test_files.h"

namespace mrw {
namespace {

ChannelRecord Standard(int16_t position, int16_t statusIcon = 0) {
    return {.Position = position,
            .Enable = true,
            .TxEnable = true,
            .StatusIcon = statusIcon,
            .StatusNo = 127};
}

// A configuration whose questions are answered by a script, showing the table of `kind` with
// `records` standard channels at positions 10, 11, ...
struct Fixture {
    Config config;
    ScriptedPrompt prompt;
    ChannelListState state;

    explicit Fixture(TableKind kind, int records = 0) {
        config.services.prompt = &prompt;
        ShowTable(state, kind);
        for (int i = 0; i < records; ++i) {
            Table().push_back(Standard(static_cast<int16_t>(10 + i)));
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

TEST(ChannelTableTest, NewLandsAfterItsRowAndCommandsOutsideTheTableOrWhileLoadingStoreNothing) {
    Fixture f(TableKind::INT, 4);
    const std::optional<ChannelRecord> start = StartNew(f.config, f.state, 2);
    ASSERT_TRUE(start);
    EXPECT_EQ(std::tuple(start->Position, start->StatusNo, start->Duplex), std::tuple(0, 127, 2));
    EXPECT_TRUE(start->Enable && start->TxEnable && !start->ScanMemory && !start->InterShipCH);
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::Stored);
    ASSERT_EQ(f.Table().size(), 5U);
    EXPECT_EQ(std::tuple(f.Table()[2].Position, f.Table()[3].Position, f.Table()[4].Position),
              std::tuple(12, 72, 13));
    EXPECT_EQ(RowToSelect(f.state, f.Table()), 3);
    EXPECT_TRUE(f.config.state.DataChanged);

    Fixture empty(TableKind::USA);  // NEW on an empty table stores the only record
    ASSERT_TRUE(StartNew(empty.config, empty.state, -1));
    EXPECT_EQ(SaveChannel(empty.config, empty.state, kChannel72), SaveOutcome::Stored);
    ASSERT_EQ(empty.Table().size(), 1U);
    EXPECT_EQ(empty.Table()[0].Position, 72);

    Fixture can(TableKind::CAN, 2);
    EXPECT_FALSE(StartNew(can.config, can.state, -1));
    EXPECT_FALSE(StartEdit(can.config, can.state, 2));
    EXPECT_FALSE(DeleteChannel(can.config, can.state, 5));
    can.state.mode = EntryMode::Edit;
    can.state.insertionIndex = 2;
    EXPECT_EQ(SaveChannel(can.config, can.state, kChannel72), SaveOutcome::NotStored);
    can.state.mode = EntryMode::New;
    can.state.insertionIndex = -1;
    EXPECT_EQ(SaveChannel(can.config, can.state, kChannel72), SaveOutcome::NotStored);
    ASSERT_TRUE(StartEdit(can.config, can.state, 0));
    can.config.state.Loading = true;
    EXPECT_EQ(SaveChannel(can.config, can.state, kChannel72), SaveOutcome::NotStored);
    EXPECT_EQ(can.Table(), (ChannelTable{Standard(10), Standard(11)}));
    EXPECT_FALSE(can.config.state.DataChanged);
    EXPECT_TRUE(can.prompt.messages.empty());
    can.config.state.Loading = false;  // a user channel with a blank display is refused
    ShowTable(can.state, TableKind::RG);
    can.config.model.CHRG.resize(1);
    ASSERT_TRUE(StartEdit(can.config, can.state, 0));
    EXPECT_EQ(SaveChannel(can.config, can.state, {.rxText = "156.05", .txText = "156.05"}),
              SaveOutcome::Refused);
    EXPECT_EQ(can.prompt.Texts(),
              std::vector<std::string>{"Data Error!!\nPlease input correct data.\nGive the "
                                       "channel a display text of 1 or 2 characters."});
    EXPECT_EQ(can.config.model.CHRG[0], ChannelRecord{});

    Fixture full(TableKind::RG, 16);
    EXPECT_FALSE(StartNew(full.config, full.state, 0));
    EXPECT_EQ(
        full.prompt.Texts(),
        std::vector<std::string>{"This channel table is full: the radio holds 16 channels in it."});
}

// The question before an open entry would be dropped names the channel as the list does.
TEST(ChannelTableTest, TheUnsavedEntryQuestionNamesTheChannel) {
    Fixture standard(TableKind::INT, 4);
    ASSERT_TRUE(StartNew(standard.config, standard.state, 2));
    EXPECT_EQ(UnsavedChannelQuestion(standard.config.model, standard.state, kChannel72),
              "Save the changes to channel 72?");
    Fixture user(TableKind::RG, 3);  // a NEW after row 2 becomes RG03
    ASSERT_TRUE(StartNew(user.config, user.state, 1));
    EXPECT_EQ(UnsavedChannelQuestion(user.config.model, user.state, {}),
              "Save the changes to channel RG03?");
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
    ChannelRecord expected = r;  // with what the panel shows
    expected.Position = 72;
    expected.TxEnable = true;
    expected.ChTag = "SEVENTYTWO";
    expected.StatusNo = 127;
    ASSERT_TRUE(StartEdit(f.config, f.state, 1));
    EXPECT_EQ(SaveChannel(f.config, f.state, kChannel72), SaveOutcome::Stored);
    EXPECT_EQ(f.Table()[1], expected);
    f.config.state.DataChanged = false;
    f.prompt.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(DeleteChannel(f.config, f.state, 0) || f.config.state.DataChanged);
    EXPECT_EQ(f.Table().size(), 3U);
    EXPECT_TRUE(DeleteChannel(f.config, f.state, 0));
    EXPECT_EQ(f.Table().size(), 2U);
    EXPECT_EQ(f.Table()[0].Position, 72);
    EXPECT_TRUE(f.config.state.DataChanged);
}

TEST(ChannelTableTest, NodeKeysNameTheirTablesAndAStoredValueNoListOffersIsShownAndKept) {
    EXPECT_EQ(TableKindOfKey("pi"), TableKind::INT);
    EXPECT_EQ(TableKindOfKey("PR"), TableKind::RG);
    EXPECT_EQ(TableKindOfKey("EXPCHANNEL"), TableKind::EXP);
    EXPECT_EQ(TableKindOfKey("PW"), TableKind::None);
    EXPECT_EQ(ChannelListItems(ChannelList::BaseChannel, 105).back(), (ListItem{"105", 105}));

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

// Channels 12, 14, 16, 22 and 72 in the table of `kind`, channel 16 (record 3) its group's
// priority channel; the other two groups have priority channel 2.
struct PriorityFixture : Fixture {
    int group;

    explicit PriorityFixture(TableKind kind) : Fixture(kind), group(PriorityGroupOf(kind)) {
        for (TableKind k : {TableKind::USA, TableKind::INT, TableKind::CAN}) {
            *TableOf(config.model, k) = {Standard(12), Standard(14), Standard(16), Standard(22),
                                         Standard(72)};
            config.model.Groups[static_cast<size_t>(PriorityGroupOf(k))].PriorityCH = 2;
        }
        if (group >= 0) {  // the user tables have no priority channel
            Priority() = 3;
        }
    }
    int32_t& Priority() { return config.model.Groups[static_cast<size_t>(group)].PriorityCH; }
    // The label of the record the priority names, as the Usable panel and the report show it.
    std::string PriorityLabel() {
        const size_t p = static_cast<size_t>(Priority());
        return p >= 1 && p <= Table().size() ? ChannelLabel(Table()[p - 1]) : "(none)";
    }
    // The priority channels of the other two standard tables' groups.
    std::vector<int32_t> OtherPriorities() {
        const auto& g = config.model.Groups;
        return group == 0   ? std::vector{g[1].PriorityCH, g[2].PriorityCH}
               : group == 1 ? std::vector{g[0].PriorityCH, g[2].PriorityCH}
                            : std::vector{g[0].PriorityCH, g[1].PriorityCH};
    }
};

TEST(PriorityChannelTest, NewAndDeleteKeepThePriorityOnItsChannel) {
    const std::vector<testing::Case> cases =
        testing::ReadCases(testing::TestData("edit/priority_new_delete.txt"));
    for (TableKind kind : {TableKind::USA, TableKind::INT, TableKind::CAN}) {
        for (const testing::Case& c : cases) {
            SCOPED_TRACE(c.where + " in table " + std::to_string(int(kind)));
            const int row = std::stoi(c[1]);
            PriorityFixture f(kind);
            ASSERT_EQ(f.PriorityLabel(), "16");
            const ChannelTable before = f.Table();
            if (c[0] == "new") {
                ASSERT_TRUE(StartNew(f.config, f.state, row));
                ASSERT_EQ(SaveChannel(
                              f.config, f.state,
                              {.baseChannel = 88, .duplex = 0, .statusNo = 127, .txEnable = true}),
                          SaveOutcome::Stored);
                EXPECT_EQ(ChannelLabel((f.Table())[size_t(row + 1)]), "88");
            } else {
                f.prompt.answers = {Answer::Yes};
                ASSERT_TRUE(DeleteChannel(f.config, f.state, row));
            }
            EXPECT_EQ(f.Priority(), std::stoi(c[2]));
            EXPECT_EQ(f.PriorityLabel(), c[3]);
            EXPECT_EQ(f.OtherPriorities(), (std::vector<int32_t>{2, 2}));
            std::string asked = c[4];
            for (size_t at; (at = asked.find("%g")) != std::string::npos;) {
                asked.replace(at, 2, "Group" + std::to_string(f.group + 1));
            }
            EXPECT_EQ(f.prompt.Texts(),
                      asked == "-" ? std::vector<std::string>{} : std::vector{asked});
            ASSERT_TRUE(UndoEdit(f.config));
            EXPECT_EQ(f.Table(), before);
            EXPECT_EQ(f.Priority(), 3);
        }
    }
}

TEST(PriorityChannelTest, NoToDeletingThePriorityChannelKeepsItAndUserTablesHaveNone) {
    for (TableKind kind : {TableKind::USA, TableKind::INT, TableKind::CAN}) {
        PriorityFixture f(kind);
        f.prompt.answers = {Answer::No};
        EXPECT_FALSE(DeleteChannel(f.config, f.state, 2));
        EXPECT_EQ(f.Priority(), 3);
    }
    // The user tables have no priority channel.
    PriorityFixture f(TableKind::RG);
    f.config.model.CHRG.resize(3);
    f.config.model.Groups[3].PriorityCH = 1;
    f.prompt.answers = {Answer::Yes};
    EXPECT_TRUE(DeleteChannel(f.config, f.state, 0));
    EXPECT_EQ(f.prompt.Texts(), std::vector<std::string>{"Are you sure ?"});
    EXPECT_EQ(f.config.model.Groups[3].PriorityCH, 1);
}

TEST(PriorityChannelTest, AnImportKeepsThePriorityOnTheSameCatalogueChannel) {
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("edit/priority_import.txt"))) {
        SCOPED_TRACE(c.where);
        ChannelTable imported;
        std::istringstream in(c[1]);
        for (int position = 0, icon = 0; in >> position;) {
            imported.push_back(Standard(
                int16_t(position), int16_t(in.peek() == '/' && in.get() && in >> icon ? icon : 0)));
        }
        PriorityFixture f(TableKind::INT);
        f.Priority() = std::stoi(c[0]);
        ASSERT_TRUE(ApplyChannelImport(f.config, TableKind::INT, imported));
        EXPECT_EQ(f.config.model.CHINT, imported);
        EXPECT_EQ(f.Priority(), std::stoi(c[2]));
        EXPECT_EQ(f.OtherPriorities(), (std::vector<int32_t>{2, 2}));
        ASSERT_TRUE(UndoEdit(f.config));
        EXPECT_EQ(f.Priority(), std::stoi(c[0]));
        EXPECT_EQ(f.config.model.CHINT.size(), 5U);
    }
}

}  // namespace
}  // namespace mrw
