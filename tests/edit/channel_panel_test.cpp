// The channel panel's rules: frequency entry, catalogue frequencies by duplex mode, the
// enabled states of the transmit chain, SAVE's record and its refusals, key filters, hints
// and the grid's cells.
#include "edit/channel_panel.h"

#include <gtest/gtest.h>

#include "edit/channel_grid.h"
#include "edit/channel_lists.h"

namespace mrw {
namespace {

TEST(ChannelPanelTest, FrequencyEntry) {
    constexpr auto keep = FrequencyMode::KeepText;
    constexpr auto reformat = FrequencyMode::Reformat;
    struct Case {
        const char* text;
        FrequencyMode mode;
        bool valid;
        double mhz;
        const char* shown;
    };
    const Case cases[] = {
        {"156.05", keep, true, 156.05, "156.0500"}, {"137", keep, true, 137.0, "137.0000"},
        {"174", reformat, true, 174.0, "174.0000"}, {"", keep, true, 0.0, "---.----"},
        {"156.0375", keep, false, 0.0, "156.0375"}, {"136.975", reformat, false, 0.0, "136.9750"},
        {"174.025", keep, false, 0.0, "174.025"},   {"0", reformat, false, 0.0, "---.----"},
        {"161.4.5", keep, true, 161.4, "161.4000"},
    };
    for (const Case& c : cases) {
        const FrequencyEntry e = ParseFrequency(c.text, c.mode);
        EXPECT_EQ(e.valid, c.valid) << c.text;
        EXPECT_DOUBLE_EQ(e.mhz, c.mhz) << c.text;
        EXPECT_EQ(e.text, c.shown) << c.text;
    }
}

TEST(ChannelPanelTest, BaseChannelFrequenciesByDuplexMode) {
    // Catalogue channel 16: F1 = F2 = 156.800 MHz, F3 = 161.400 MHz.
    const std::pair<int, FrequencyTexts> cases[] = {{0, {"156.800", "156.800"}},
                                                    {1, {"161.400", "161.400"}},
                                                    {2, {"161.400", "156.800"}},
                                                    {3, {"156.800", "161.400"}}};
    for (const auto& [duplex, texts] : cases) {
        const auto shown = BaseChannelTexts(16, duplex, true);
        ASSERT_TRUE(shown) << duplex;
        EXPECT_EQ(shown->rx, texts.rx) << duplex;
        EXPECT_EQ(shown->tx, texts.tx) << duplex;
    }
    EXPECT_EQ(BaseChannelTexts(16, 1, false)->tx, "---.---");
    EXPECT_FALSE(BaseChannelTexts(16, 4, true));
    EXPECT_FALSE(BaseChannelTexts(-1, 0, true));
}

TEST(ChannelPanelTest, TransmitChainFollowsTheBoxes) {
    struct Case {
        bool channel, tx, low, frame;
        bool entries, lowEnabled, upEnabled;
    };
    const Case cases[] = {
        {true, true, true, true, true, true, true},
        {true, true, false, true, true, true, false},
        {true, false, true, true, true, false, false},
        {false, true, true, true, false, false, false},
        {false, false, true, false, false, true, true},
    };
    for (const Case& c : cases) {
        const PanelEnables e = ChannelPanelEnables(c.channel, c.tx, c.low, c.frame);
        EXPECT_EQ(e.entries, c.entries);
        EXPECT_EQ(e.lowPower, c.lowEnabled);
        EXPECT_EQ(e.powerUp, c.upEnabled);
    }
}

TEST(ChannelPanelTest, UserChannelSaveChecksFrequenciesAndDisplay) {
    ChannelPanelValues v;
    v.display = "AB";
    v.rxText = "156.05";
    v.txText = "157.0500";
    v.lowPower = true;
    v.name = "HARBOUR";
    v.expGroups = {true, false, true};
    ChannelRecord base;
    base.CHDisplayR = "CD";
    base.Scramble = 3;
    base.ScrambleOn = true;

    const std::optional<ChannelRecord> r = BuildChannelRecord(TableKind::RG, base, v);
    ASSERT_TRUE(r);
    ChannelRecord expected = base;
    expected.Enable = true;
    expected.CHDisplayL = "AB";
    expected.Rxfreq = 156.05;
    expected.Txfreq = 157.05;
    expected.LowPower = false;  // Low Power Only without Tx Enable: the radio has none
    expected.ChTag = "HARBOUR";
    expected.ExpCB = {true, false, true};
    EXPECT_EQ(*r, expected);

    const std::pair<const char*, void (*)(ChannelPanelValues&)> refusals[] = {
        {"no receive frequency", [](ChannelPanelValues& x) { x.rxText = "---.----"; }},
        {"transmit off the grid", [](ChannelPanelValues& x) { x.txText = "156.0375"; }},
        {"transmit out of range", [](ChannelPanelValues& x) { x.txText = "174.025"; }},
        {"blank display", [](ChannelPanelValues& x) { x.display = "  "; }},
    };
    for (const auto& [what, spoil] : refusals) {
        ChannelPanelValues bad = v;
        spoil(bad);
        EXPECT_FALSE(BuildChannelRecord(TableKind::EXP, base, bad)) << what;
    }

    Config config;
    ScriptedPrompt prompt;
    config.services.prompt = &prompt;
    config.model.CHRG.resize(1);
    ChannelListState state;
    ShowTable(state, TableKind::RG);
    ASSERT_TRUE(StartEdit(config, state, 0));
    v.display.clear();
    EXPECT_EQ(SaveChannel(config, state, v), SaveOutcome::Refused);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Data Error!!\nPlease input correct data."});
    EXPECT_EQ(config.model.CHRG[0], ChannelRecord{});
}

TEST(ChannelPanelTest, StandardSaveStoresEnableAndTheBoxesAsTheyStand) {
    ChannelPanelValues v;
    v.baseChannel = 16;
    v.duplex = 1;
    v.statusNo = 10;
    v.statusIcon = 2;
    v.txEnable = false;
    v.lowPower = true;
    v.powerUp = true;
    v.scanMemory = true;
    v.interShip = true;
    v.scramble = 0;
    ChannelRecord base;
    base.Scramble = 6;
    base.ScrambleOn = true;
    const std::optional<ChannelRecord> r = BuildChannelRecord(TableKind::USA, base, v);
    ASSERT_TRUE(r);
    ChannelRecord expected;
    expected.Position = 16;
    expected.Enable = true;
    expected.Duplex = 1;
    expected.StatusNo = 10;
    expected.StatusIcon = 2;
    expected.LowPower = false;  // cleared with Tx Enable; Power Up is a field of its own
    expected.PowUp = true;
    expected.ScanMemory = true;
    expected.InterShipCH = true;
    EXPECT_EQ(*r, expected);  // "Off" chosen: the scrambler is cleared
}

TEST(ChannelPanelTest, EntryBoxesTakeTheirCharactersOnly) {
    EXPECT_EQ(FilterEntry(EntryBox::Frequency, U"1a5-6.0,"), U"156.0");
    EXPECT_EQ(FilterEntry(EntryBox::Display, U"A-b 9#"), U"AB 9");
    EXPECT_EQ(FilterEntry(EntryBox::Name, U"Ch #16/(A)+-*.,\u00e9"), U"Ch 16/(A)+-*.,");
    struct Insertion {
        const char32_t* before;
        const char32_t* after;
        int cursor;
        const char32_t* kept;
        int keptCursor;
    };
    const Insertion insertions[] = {
        {U"---.----", U"---.--#--", 7, U"---.----", 6},  // the program's own text stays
        {U"A", U"A-", 2, U"A", 1},
        {U"A", U"Ab", 2, U"AB", 2},             // the display field holds upper-case letters
        {U"15", U"1x5.0y5", 6, U"15.05", 4},    // a paste into the middle
        {U"156.05", U"156.0", 5, U"156.0", 5},  // Backspace
    };
    for (const Insertion& c : insertions) {
        int cursor = c.cursor;
        const EntryBox box = c.before[0] == U'A' ? EntryBox::Display : EntryBox::Frequency;
        EXPECT_EQ(FilterInsertion(box, c.before, c.after, cursor), c.kept);
        EXPECT_EQ(cursor, c.keptCursor);
    }
}

TEST(ChannelGridTest, StandardAndUserRows) {
    DataModel model;
    ChannelRecord s;
    s.Position = 16;
    s.StatusNo = 127;
    s.StatusIcon = 1;
    s.Duplex = 2;
    s.TxEnable = true;
    s.PowUp = true;
    s.ScanMemory = true;
    s.InterShipCH = true;
    s.ChTag = "CALL";
    model.CHUSA = {s};
    const ChannelGrid standard = BuildChannelGrid(model, TableKind::USA);
    EXPECT_EQ(standard.rows,
              (std::vector<std::vector<std::string>>{{"16A", "161.400", "156.800", "TX", "---",
                                                      "UP", "DUP", "MEM", "\u2611", "CALL"}}));

    model.Groups[0] = {.Usable = true, .StatusName = "INTL"};
    model.Groups[2] = {.Usable = true};
    ChannelRecord u;
    u.ExpCB = {true, true, false};
    u.CHDisplayL = "AB";
    u.Rxfreq = 156.05;
    u.LowPower = true;
    model.CHRG = {ChannelRecord{}, u};
    const ChannelGrid user = BuildChannelGrid(model, TableKind::RG);
    EXPECT_EQ(user.headers,
              (std::vector<std::string>{"CH", "Group1(INTL)", "Group3", "DISP", "RX[MHz]",
                                        "TX[MHz]", "LOW", "UP", "MEM", "CH Name"}));
    EXPECT_EQ(user.rows[1], (std::vector<std::string>{"RG02", "\u2611", "\u2610", "AB", "156.0500",
                                                      "---.----", "LOW", "--", "---", ""}));
}

}  // namespace
}  // namespace mrw
