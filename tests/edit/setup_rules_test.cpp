// The setup panels' rules without widgets: what each list offers and stores,
// the entry boxes, and the auto position frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "edit/setup_autopos.h"
#include "edit/setup_entry.h"
#include "edit/setup_lists.h"
#include "test_files.h"

namespace mrw {

namespace {

struct SetupRulesTest : ::testing::Test {
    Config config;
    ScriptedPrompt prompt;
    DataModel& m = config.model;

    SetupRulesTest() { config.services.prompt = &prompt; }

    static SettingList List(const std::vector<SettingList>& lists, const std::string& name) {
        const auto it = std::ranges::find(lists, name, &SettingList::objectName);
        EXPECT_NE(it, lists.end()) << name;
        return it != lists.end() ? *it : SettingList{};
    }
    // Picks the item with this text, as a user would.
    bool Pick(const SettingList& list, const std::string& text) {
        const ListView view = ViewList(list, m);
        const auto it = std::ranges::find(view.items, text, &ListItem::text);
        return StoreListChoice(config, list, view, static_cast<int>(it - view.items.begin()));
    }
    static ChannelRecord Channel(bool enable, int position, std::string display = "") {
        // Status number 127: no channel number prefix.
        return {.Position = static_cast<int16_t>(position),
                .Enable = enable,
                .CHDisplayL = std::move(display),
                .StatusNo = 127};
    }
};

TEST_F(SetupRulesTest, DigitEntriesStoreNineDigitsWithZeroAndRefuseOtherLengths) {
    for (const testing::Case& c : testing::ReadCases(testing::TestData("edit/digit_entry.txt"))) {
        SCOPED_TRACE(c.where);
        const DigitBox box = c[0] == "UserMmsi"   ? DigitBox::UserMmsi
                             : c[0] == "AtisCode" ? DigitBox::AtisCode
                                                  : DigitBox::AutoPosMmsi;
        const CommitMode mode = c[2] == "keep" ? CommitMode::KeepText : CommitMode::Restore;
        m.DscBasic.UserMmsi = m.Atis.AtisCode = m.AutoPos.Records[1].Mmsi = "9876543210";
        config.state.DataChanged = false;
        prompt.messages.clear();
        const DigitCommit commit = CommitDigitEntry(config, box, 1, c[1], mode);
        EXPECT_EQ(std::tuple(commit.accepted, commit.text), std::tuple(c[3] == "1", c[5]));
        EXPECT_EQ(StoredDigits(m, box, 1), c[4]);
        EXPECT_EQ(config.state.DataChanged, commit.accepted);
        // a refusal that keeps the typed text says why
        EXPECT_EQ(prompt.messages.size(),
                  static_cast<size_t>(!commit.accepted && mode == CommitMode::KeepText));
    }
}

TEST_F(SetupRulesTest, StatusNamesAndUsableGroups) {
    EXPECT_TRUE(CommitStatusName(config, 0, "MARINE") && CommitStatusName(config, 1, "    "));
    EXPECT_EQ(std::tuple(m.Groups[0].StatusName, m.Groups[1].StatusName), std::tuple("MARI", ""));
    EXPECT_EQ(std::tuple(ExpGroupCaption(m, 0), ExpGroupCaption(m, 1)),
              std::tuple("Group1[MARI]", "Group2"));
    EXPECT_TRUE(IsStatusNameChar(U'/') && IsStatusNameChar(U' ') && IsStatusNameChar(U'z'));
    EXPECT_FALSE(IsStatusNameChar(U',') || IsStatusNameChar(U'_'));

    const std::vector<SettingCheck> checks = UsableChecks();
    m.Groups[1].Usable = true;
    m.Groups[3].ExpChGroup = {true, true, true};
    ASSERT_EQ(checks[1].objectName, "chkUsable_1");
    EXPECT_TRUE(StoreCheck(config, checks[1], false));
    EXPECT_TRUE(!m.Groups[1].Usable && config.state.DataChanged);
    EXPECT_EQ(m.Groups[3].ExpChGroup, (std::array<bool, 3>{true, false, true}));
}

TEST_F(SetupRulesTest, ListsStoreTheValueOfThePickedItem) {
    const std::vector<SettingList> common = CommonLists();
    const std::vector<SettingList> dsc = DscLists();
    m.Common.Weater = 0;
    EXPECT_TRUE(Pick(List(common, "cmbCommonTimedisplay"), "Local") &&
                Pick(List(common, "cmbCommonOffset"), "-5:30") &&
                Pick(List(common, "cmbCommonResume"), "3Sec"));
    EXPECT_EQ(std::tuple(m.Common.TimeDisplay, m.Common.OffsetTime, m.Common.ResumeTime),
              std::tuple(true, -11, 3));

    // "Off" in an All Ships Call row disables the row's TX list, which keeps its
    // value.
    m.DscAdvanced[0].List[2] = m.DscAdvanced[0].Tx[2] = true;
    const SettingList safety = List(dsc, "cmbUsableDscAllShipsCall_2");
    EXPECT_EQ(safety.enables, std::vector<std::string>{"cmbUsableDscAllShipsCallTX_2"});
    EXPECT_TRUE(EnablesFollow(ViewList(safety, m), 1));
    EXPECT_TRUE(Pick(safety, "Off") && Pick(List(dsc, "cmbUsableDscBeepOut_4"), "On"));
    EXPECT_FALSE(EnablesFollow(ViewList(safety, m), ViewList(safety, m).selected));
    EXPECT_EQ(std::tuple(m.DscAdvanced[0].List[2], m.DscAdvanced[0].Tx[2], m.DscBasic.BeepOut[4]),
              std::tuple(false, true, true));

    config.state.Loading = true;  // the program filling its controls stores nothing
    EXPECT_FALSE(Pick(List(common, "cmbCommonResume"), "5Sec"));
    EXPECT_EQ(m.Common.ResumeTime, 3);
}

TEST_F(SetupRulesTest, StoredValuesNoListOffersAreShownAsOneMoreItemAndHints) {
    const std::vector<SettingList> common = CommonLists();
    m.Common.ResumeTime = 7;
    m.Common.OffsetTime = 30;
    m.Common.Weater = m.Common.Distance = 1;
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("edit/setup_list_stored.txt"))) {
        const ListView view = ViewList(List(common, c[0]), m);
        ASSERT_EQ(view.items.size(), std::stoul(c[3])) << c.where;
        EXPECT_EQ(view.items[static_cast<size_t>(view.selected)], (ListItem{c[1], std::stoi(c[2])}))
            << c.where;
    }

    const std::string kept =
        " Kept in the settings file; programming does not change it in the radio";
    for (const testing::Case& c : testing::ReadCases(testing::TestData("edit/setup_hints.txt"))) {
        const size_t plus = c[1].find("+kept");
        EXPECT_EQ(SetupControlHint(c[0]),
                  plus == std::string::npos ? c[1] : c[1].substr(0, plus) + kept)
            << c.where;
    }
}

TEST_F(SetupRulesTest, PriorityAndAutoPosChannelListsOfferTheEnabledChannels) {
    m.CHINT = {Channel(true, 16), Channel(false, 6), Channel(true, 72)};
    m.Groups[1].PriorityCH = 3;
    const ListView view = ViewList(PriorityList(1), m);
    EXPECT_EQ(view, (ListView{{{"16", 1}, {"72", 3}}, 1}));
    m.Groups[1].PriorityCH = 2;  // a channel of the table that is not enabled
    EXPECT_EQ(ViewList(PriorityList(1), m), (ListView{{{"16", 1}, {"72", 3}, {"06", 2}}, 2}));
    m.Groups[1].PriorityCH = 0xFFFF;  // none
    EXPECT_EQ(ViewList(PriorityList(1), m).selected, -1);
    EXPECT_TRUE(ViewList(PriorityList(3), m).items.empty());

    // The auto position channels follow the marine group.
    m.Groups[0].Usable = m.Groups[1].Usable = true;
    m.Groups[1].StatusName = "INTL";
    m.CHEXP = {Channel(false, 0, "E0"), Channel(true, 0, "E1"), Channel(true, 0, "E2")};
    EXPECT_EQ(MarineItems(m), (ItemList{{"No", 0}, {"Group1", 1}, {"Group2(INTL)", 2}}));
    EXPECT_EQ(AutoPosChannelItems(m, 0), (ItemList{{"E1", 240}, {"E2", 241}}));
    EXPECT_EQ(AutoPosChannelItems(m, 2),
              (ItemList{{"16", 16}, {"72", 72}, {"E1", 240}, {"E2", 241}}));
    // One catalogue channel is one choice, however many records of the group carry it; a
    // text that a group channel and an EXP channel share names where each comes from.
    ChannelRecord ship78 = Channel(true, 78);
    ship78.StatusNo = 10;  // 1078
    m.CHINT.push_back(Channel(true, 78));
    m.CHINT.push_back(ship78);
    m.CHEXP = {Channel(true, 0, "78"), Channel(true, 0, ""), Channel(true, 0, "16")};
    EXPECT_EQ(AutoPosChannelItems(m, 2), (ItemList{{"16 (Group2(INTL))", 16},
                                                   {"72", 72},
                                                   {"78 (Group2(INTL))", 78},
                                                   {"78 (EXP01)", 239},
                                                   {"EXP02", 240},
                                                   {"16 (EXP03)", 241}}));
    // A stored value no item carries is named by what it designates.
    m.Groups[1].Usable = false;
    m.AutoPos.Records[0] = {.MarineEnable = 2, .Channel = "20"};
    const AutoPosFrameView stored = ViewAutoPosFrame(m, 0);
    EXPECT_EQ(stored.marine.items[static_cast<size_t>(stored.marine.selected)],
              (ListItem{"Group2(INTL)", 2}));
    EXPECT_EQ(stored.channel.items.back(), (ListItem{"20", 20}));
    m.Groups[1].Usable = true;
    m.CHEXP = {Channel(false, 0, "E0"), Channel(true, 0, "E1"), Channel(true, 0, "E2")};
    m.CHINT.resize(3);

    // A user's marine choice stores it; the frame's channel list then follows it.
    m.AutoPos.Records[0].Channel = "72";
    EXPECT_TRUE(ChooseAutoPos(config, 0, AutoPosList::Marine, 2));
    EXPECT_EQ(m.AutoPos.Records[0].MarineEnable, 2);
    const ListView channels = ViewAutoPosFrame(m, 0).channel;
    EXPECT_EQ(std::tuple(channels.items.size(), channels.selected), std::tuple(4UL, 1));
    EXPECT_TRUE(ChooseAutoPos(config, 0, AutoPosList::Channel, 240));
    EXPECT_EQ(m.AutoPos.Records[0].Channel, "240");
}

TEST_F(SetupRulesTest, DirectoryChoicesStoreTheEntryIndexAndItsMmsiAndTheFrameShowsThem) {
    m.CHMMSID[0] = {true, "HARBOUR", "2320012340"};
    m.CHMMSID[1] = {true, "PILOT", "2320056780"};
    m.CHGRPID[0] = {true, "FLEET", "0232000010"};
    AutoPosRecord& r = m.AutoPos.Records[1];

    EXPECT_TRUE(ChooseAutoPos(config, 1, AutoPosList::Directory, 1));
    EXPECT_EQ(std::tuple(r.LastAddress, r.Mmsi), std::tuple(1, "2320056780"));
    EXPECT_TRUE(ChooseAutoPos(config, 1, AutoPosList::SelectCall, 1));  // "Group"
    EXPECT_EQ(std::tuple(r.SelectCall, r.LastAddress, r.Mmsi), std::tuple(1, 0, "0232000010"));
    EXPECT_EQ(ViewAutoPosFrame(m, 1).directory, (ListView{{{"FLEET", 0}}, 0}));
    EXPECT_TRUE(ChooseAutoPos(config, 1, AutoPosList::MmsiPick, 0));
    EXPECT_EQ(std::tuple(r.LastAddress, r.Mmsi), std::tuple(0, "2320012340"));

    // An entry without an MMSI is no address: not offered, but shown while it is the one
    // stored.
    m.CHMMSID[2] = {true, "NO MMSI", ""};
    EXPECT_EQ(DirectoryItems(m, false), (ItemList{{"HARBOUR", 0}, {"PILOT", 1}}));
    EXPECT_EQ(MmsiPickItems(m).size(), 2U);
    r.SelectCall = 0;
    r.LastAddress = 2;
    EXPECT_EQ(ViewAutoPosFrame(m, 1).directory,
              (ListView{{{"HARBOUR", 0}, {"PILOT", 1}, {"Memory ID3", 2}}, 2}));
    r.SelectCall = 1;
    r.LastAddress = 0;

    // Typing an MMSI selects its entry in the picking list.
    const ItemList pick = MmsiPickItems(m);
    EXPECT_EQ(pick[1].text, "232005678  PILOT");
    EXPECT_EQ(MmsiPickIndex(pick, m, "232005678"), 1);
    EXPECT_EQ(MmsiPickIndex(pick, m, "23200567"), -1);

    // With no directory entry in use, the frame shows the stored values and enables.
    m.CHMMSID = {};
    m.CHGRPID = {};
    // Enable, marine none, channel 239, interval 0, "Group", entry 5, no RC, the MMSI.
    m.AutoPos.Records[0] = {true, 0, "239", "0", 1, 4, false, "2110001110"};
    m.CHEXP = {Channel(true, 0, "E"), Channel(true, 0, "F")};
    const AutoPosFrameView view = ViewAutoPosFrame(m, 0);
    EXPECT_EQ(view.channel, (ListView{{{"E", 239}, {"F", 240}}, 0}));
    EXPECT_EQ(view.interval.items.at(static_cast<size_t>(view.interval.selected)),
              (ListItem{"OFF", 0}));
    EXPECT_EQ(view.directory, (ListView{{{"Memory ID5", 4}}, 0}));
    EXPECT_EQ(std::tuple(view.mmsiText, view.controlsEnabled, view.mmsiEnabled),
              std::tuple("211000111", true, false));
}

}  // namespace
}  // namespace mrw
