// The priority channel of Group1 to Group3 is a record position in its table: NEW, DELETE and
// a channel list import keep it on the same channel, and Undo puts back table and priority.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "edit/channel_panel.h"
#include "edit/channel_table.h"
#include "edit/edit.h"
#include "files/csv_channels.h"
#include "image/image.h"
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

// Channels 12, 14, 16, 22 and 72 in the table of `kind`, channel 16 (record 3) its group's
// priority channel; the other two groups have priority channel 2.
struct Fixture {
    Config config;
    ScriptedPrompt prompt;
    ChannelListState state;
    TableKind kind;
    int group;

    explicit Fixture(TableKind tableKind) : kind(tableKind), group(PriorityGroupOf(tableKind)) {
        config.services.prompt = &prompt;
        for (TableKind k : {TableKind::USA, TableKind::INT, TableKind::CAN}) {
            *TableOf(config.model, k) = {Standard(12), Standard(14), Standard(16), Standard(22),
                                         Standard(72)};
            config.model.Groups[static_cast<size_t>(PriorityGroupOf(k))].PriorityCH = 2;
        }
        if (group >= 0) {  // the user tables have no priority channel
            Priority() = 3;
        }
        ShowTable(state, kind);
    }
    int32_t& Priority() { return config.model.Groups[static_cast<size_t>(group)].PriorityCH; }
    // The label of the record the priority names, as the Usable panel and the report show it.
    std::string PriorityLabel() {
        const ChannelTable& table = *TableOf(config.model, kind);
        const int32_t p = Priority();
        return p >= 1 && p <= static_cast<int32_t>(table.size())
                   ? ChannelLabel(table[static_cast<size_t>(p - 1)])
                   : "(none)";
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
            Fixture f(kind);
            ASSERT_EQ(f.PriorityLabel(), "16");
            const ChannelTable before = *TableOf(f.config.model, kind);
            if (c[0] == "new") {
                ASSERT_TRUE(StartNew(f.config, f.state, row));
                ASSERT_EQ(SaveChannel(
                              f.config, f.state,
                              {.baseChannel = 88, .duplex = 0, .statusNo = 127, .txEnable = true}),
                          SaveOutcome::Stored);
                EXPECT_EQ(ChannelLabel((*TableOf(f.config.model, kind))[size_t(row + 1)]), "88");
            } else {
                f.prompt.answers = {Answer::Yes};
                ASSERT_TRUE(DeleteChannel(f.config, f.state, row));
            }
            EXPECT_EQ(f.Priority(), std::stoi(c[2]));
            EXPECT_EQ(f.PriorityLabel(), c[3]);
            EXPECT_EQ(f.OtherPriorities(), (std::vector<int32_t>{2, 2}));

            ASSERT_TRUE(UndoEdit(f.config));
            EXPECT_EQ(*TableOf(f.config.model, kind), before);
            EXPECT_EQ(f.Priority(), 3);
        }
    }
}

TEST(PriorityChannelTest, DeletingThePriorityChannelSaysSoInTheQuestion) {
    const std::pair<TableKind, const char*> cases[] = {
        {TableKind::USA, "Group1"}, {TableKind::INT, "Group2"}, {TableKind::CAN, "Group3"}};
    for (const auto& [kind, group] : cases) {
        Fixture f(kind);
        f.prompt.answers = {Answer::No, Answer::Yes};
        EXPECT_FALSE(DeleteChannel(f.config, f.state, 2));  // No changes nothing
        EXPECT_EQ(f.Priority(), 3);
        EXPECT_TRUE(DeleteChannel(f.config, f.state, 1));  // channel 14: the plain question
        const std::vector<std::string> expected = {
            std::string("Are you sure ?\nChannel 16 is the priority channel of ") + group + "; " +
                group + " will have no priority channel.",
            "Are you sure ?"};
        EXPECT_EQ(f.prompt.Texts(), expected);
        EXPECT_EQ(f.PriorityLabel(), "16");
    }
    // The user tables have no priority channel.
    Fixture f(TableKind::RG);
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
        Fixture f(TableKind::INT);
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
