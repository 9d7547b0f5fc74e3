// The channel panel's rules: frequency entry, catalogue frequencies by duplex
// mode, the enabled states of the transmit chain, SAVE's record and its
// refusals, key filters, hints and the grid's cells.
#include "edit/channel_panel.h"

#include <gtest/gtest.h>

#include "edit/channel_grid.h"
#include "edit/channel_lists.h"
#include "test_files.h"

namespace mrw {
namespace {

using testing::ReadCases;
using testing::TestData;

std::u32string U32(const std::string& ascii) {
    return {ascii.begin(), ascii.end()};
}

TEST(ChannelPanelTest, FrequencyEntryBaseChannelsAndTheTransmitChain) {
    for (const testing::Case& c : ReadCases(TestData("edit/frequency_entry.txt"))) {
        SCOPED_TRACE(c.where);
        const FrequencyMode mode =
            c[1] == "keep" ? FrequencyMode::KeepText : FrequencyMode::Reformat;
        const FrequencyEntry e = ParseFrequency(c[0], mode);
        EXPECT_EQ(e.valid, c[2] == "1");
        EXPECT_DOUBLE_EQ(e.mhz, std::stod(c[3]));
        EXPECT_EQ(e.text, c[4]);
    }
    for (const testing::Case& c : ReadCases(TestData("edit/transmit_chain.txt"))) {
        SCOPED_TRACE(c.where);
        const auto on = [&](size_t k) { return c[0].at(2 * k) == '1'; };
        const PanelEnables e = ChannelPanelEnables(on(0), on(1), on(2), on(3));
        EXPECT_EQ(std::to_string(e.entries) + " " + std::to_string(e.lowPower) + " " +
                      std::to_string(e.powerUp),
                  c[1]);
    }

    for (const testing::Case& c : ReadCases(TestData("edit/base_channel.txt"))) {
        SCOPED_TRACE(c.where);
        const auto shown = BaseChannelTexts(std::stoi(c[0]), std::stoi(c[1]), c[2] == "1");
        EXPECT_EQ(shown ? shown->rx + " " + shown->tx : "none none", c[3] + " " + c[4]);
    }
}

TEST(ChannelPanelTest, SaveBuildsTheRecordOverTheOldOneAndRefusesBadUserChannels) {
    const ChannelPanelValues v{.display = "AB",
                               .rxText = "156.05",
                               .txText = "157.0500",
                               .name = "HARBOUR",
                               .lowPower = true,
                               .expGroups = {true, false, true}};
    const ChannelRecord base{.Scramble = 3, .CHDisplayR = "CD", .ScrambleOn = true};
    // Low Power Only without Tx Enable: the radio has none.
    EXPECT_EQ(BuildChannelRecord(TableKind::RG, base, v),
              (ChannelRecord{.Enable = true,
                             .ChTag = "HARBOUR",
                             .Scramble = 3,
                             .CHDisplayL = "AB",
                             .CHDisplayR = "CD",
                             .Txfreq = 157.05,
                             .Rxfreq = 156.05,
                             .ExpCB = {true, false, true},
                             .ScrambleOn = true}));
    for (const testing::Case& c : ReadCases(TestData("edit/save_refusals.txt"))) {
        ChannelPanelValues bad = v;
        (c[0] == "rx" ? bad.rxText : c[0] == "tx" ? bad.txText : bad.display) = c[1];
        EXPECT_FALSE(BuildChannelRecord(TableKind::EXP, base, bad)) << c.where;
    }

    // A standard channel: Enable and the boxes as they stand; "Off" clears the
    // scrambler, Low Power goes with Tx Enable, Power Up is a field of its own.
    const ChannelPanelValues standard{.baseChannel = 16,
                                      .duplex = 1,
                                      .statusNo = 10,
                                      .statusIcon = 2,
                                      .scramble = 0,
                                      .lowPower = true,
                                      .powerUp = true,
                                      .scanMemory = true,
                                      .interShip = true};
    EXPECT_EQ(BuildChannelRecord(TableKind::USA, base, standard),
              (ChannelRecord{.Position = 16,
                             .Enable = true,
                             .PowUp = true,
                             .Duplex = 1,
                             .ScanMemory = true,
                             .CHDisplayR = "CD",
                             .StatusIcon = 2,
                             .InterShipCH = true,
                             .StatusNo = 10}));
}

TEST(ChannelPanelTest, EntryBoxesTakeTheirCharactersOnly) {
    EXPECT_EQ(FilterEntry(EntryBox::Frequency, U"1a5-6.0,"), U"156.0");
    EXPECT_EQ(FilterEntry(EntryBox::Display, U"A-b 9#"), U"AB 9");
    EXPECT_EQ(FilterEntry(EntryBox::Name, U"Ch #16/(A)+-*.,\u00e9"), U"Ch 16/(A)+-*.,");
    for (const testing::Case& c : ReadCases(TestData("edit/entry_insertion.txt"))) {
        SCOPED_TRACE(c.where);
        int cursor = std::stoi(c[3]);
        const EntryBox box = c[0] == "Display" ? EntryBox::Display : EntryBox::Frequency;
        EXPECT_EQ(FilterInsertion(box, U32(c[1]), U32(c[2]), cursor), U32(c[4]));
        EXPECT_EQ(cursor, std::stoi(c[5]));
    }
}

TEST(ChannelGridTest, StandardAndUserRows) {
    DataModel model;
    model.CHUSA = {ChannelRecord{.Position = 16,
                                 .PowUp = true,
                                 .Duplex = 2,
                                 .TxEnable = true,
                                 .ScanMemory = true,
                                 .ChTag = "CALL",
                                 .StatusIcon = 1,
                                 .InterShipCH = true,
                                 .StatusNo = 127}};
    model.Groups[0] = {.Usable = true, .StatusName = "INTL"};
    model.Groups[2] = {.Usable = true};
    model.CHRG = {
        ChannelRecord{},
        ChannelRecord{
            .LowPower = true, .CHDisplayL = "AB", .Rxfreq = 156.05, .ExpCB = {true, true, false}}};
    const ChannelGrid usa = BuildChannelGrid(model, TableKind::USA);
    const ChannelGrid user = BuildChannelGrid(model, TableKind::RG);
    EXPECT_EQ(usa.rows.size(), 1U);
    for (const testing::Case& c : ReadCases(TestData("edit/channel_grid.txt"))) {
        const ChannelGrid& grid = c[0] == "USA" ? usa : user;
        EXPECT_EQ(c[1] == "headers" ? grid.headers : grid.rows.at(std::stoul(c[1])),
                  std::vector<std::string>(c.fields.begin() + 2, c.fields.end()))
            << c.where;
    }
}

}  // namespace
}  // namespace mrw
