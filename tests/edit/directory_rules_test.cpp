// The directory rules: slots in use, adding in the first free slot, deleting with the shift
// that keeps the slots in use together, and the name and MMSI entries of both directories;
// the weather rows of pictD: what each row shows and how its boxes store.
#include "edit/directory_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "edit/weather_rules.h"
#include "model/catalogue.h"
#include "test_files.h"

namespace mrw {
namespace {

struct Fixture {
    Config config;
    ScriptedPrompt prompt;

    Fixture() {
        config.services.prompt = &prompt;
        config.model.CHWX.resize(kWeatherChannels);
    }
    // Slots 1.. of `dir` in use with these names and stored MMSIs.
    void Fill(Directory dir, const std::vector<std::pair<std::string, std::string>>& entries) {
        for (size_t i = 0; i < entries.size(); ++i) {
            DirectoryRecord& r =
                dir == Directory::Group ? config.model.CHGRPID[i] : config.model.CHMMSID[i];
            r = {true, entries[i].first, entries[i].second};
        }
    }
    const DirectoryRecord& At(Directory dir, int n) const { return Slot(config.model, dir, n); }
};

const std::vector<std::pair<std::string, std::string>> kThree = {
    {"HARBOUR", "2111234500"}, {"MARINA", "2321234500"}, {"PILOT", "2591234500"}};

TEST(DirectoryRulesTest, UsedCountStopsAtTheFirstFreeSlot) {
    struct Case {
        std::vector<bool> enables;
        int used;
    };
    const Case cases[] = {
        {{}, 0}, {{true, true, true}, 3}, {{true, false, true}, 1}, {{false, true}, 0}};
    for (const Case& c : cases) {
        DataModel model;
        for (size_t i = 0; i < c.enables.size(); ++i) {
            model.CHMMSID[i].Enable = c.enables[i];
            model.CHGRPID[i].Enable = c.enables[i];
        }
        EXPECT_EQ(UsedCount(model, Directory::Individual), c.used);
        EXPECT_EQ(UsedCount(model, Directory::Group), c.used);
    }
}

TEST(DirectoryRulesTest, WithSlotsOneToThreeInUseSlotFourOffersEnableSlotFiveNothing) {
    Fixture f;
    f.Fill(Directory::Individual, kThree);
    struct Case {
        int slot;
        bool checked, enableOpen, deleteOpen, fieldsOpen;
    };
    const Case cases[] = {
        {3, true, false, true, true},     // in use: Delete and the boxes
        {4, false, true, false, false},   // the first free slot: Enable
        {5, false, false, false, false},  // later: nothing
    };
    for (const Case& c : cases) {
        const EntryPanelView v = ViewEntryPanel(f.config.model, Directory::Individual, c.slot);
        EXPECT_EQ(std::tuple(v.enableChecked, v.enableOpen, v.deleteOpen, v.fieldsOpen,
                             v.incompleteBefore),
                  std::tuple(c.checked, c.enableOpen, c.deleteOpen, c.fieldsOpen, false))
            << c.slot;
    }
    const EntryPanelView two = ViewEntryPanel(f.config.model, Directory::Individual, 2);
    EXPECT_EQ(two.name, "MARINA");
    EXPECT_EQ(two.mmsi, "232123450");
    EXPECT_FALSE(two.groupPrefix);
    EXPECT_EQ(two.mmsiLength, 9);

    // Adding puts only the offered slot into use; a name of spaces keeps the old name.
    EXPECT_FALSE(AddEntry(f.config, Directory::Individual, 5));
    EXPECT_FALSE(AddEntry(f.config, Directory::Individual, 2));
    EXPECT_FALSE(CommitEntryName(f.config, Directory::Individual, 1, "   "));
    EXPECT_FALSE(CommitEntryName(f.config, Directory::Individual, 1, "HARBOUR"));  // unchanged
    EXPECT_EQ(f.At(Directory::Individual, 1).TagName, "HARBOUR");
    EXPECT_FALSE(f.config.state.DataChanged);
    EXPECT_TRUE(CommitEntryName(f.config, Directory::Individual, 1, " TUG 2"));
    EXPECT_EQ(f.At(Directory::Individual, 1).TagName, " TUG 2");  // as typed
    EXPECT_TRUE(AddEntry(f.config, Directory::Individual, 4));
    EXPECT_TRUE(f.At(Directory::Individual, 4).Enable);
    EXPECT_EQ(UsedCount(f.config.model, Directory::Individual), 4);
}

TEST(DirectoryRulesTest, TheFirstFreeSlotStaysClosedAfterAnIncompleteEntry) {
    struct Case {
        const char* name;
        const char* mmsi;
        bool open;
    };
    const Case cases[] = {
        {"CLUB", "0259123400", true}, {"", "0259123400", false}, {"CLUB", "", false}};
    for (const Case& c : cases) {
        Fixture f;
        f.Fill(Directory::Group, {{c.name, c.mmsi}});
        const EntryPanelView v = ViewEntryPanel(f.config.model, Directory::Group, 2);
        EXPECT_EQ(v.enableOpen, c.open) << c.name << "/" << c.mmsi;
        EXPECT_EQ(v.incompleteBefore, !c.open);
        EXPECT_EQ(AddEntry(f.config, Directory::Group, 2), c.open);
    }
    Fixture empty;  // slot 1 of an empty directory is always offered
    const EntryPanelView g = ViewEntryPanel(empty.config.model, Directory::Group, 1);
    EXPECT_TRUE(g.enableOpen);
    EXPECT_TRUE(g.groupPrefix);
    EXPECT_EQ(g.mmsiLength, 8);
}

TEST(DirectoryRulesTest, DeletingSlotTwoOfThreeMovesSlotThreeUpAfterYes) {
    Fixture f;
    f.Fill(Directory::Individual, kThree);
    f.prompt.answers = {Answer::No};
    EXPECT_FALSE(DeleteEntry(f.config, Directory::Individual, 2));
    EXPECT_EQ(f.At(Directory::Individual, 2).TagName, "MARINA");
    EXPECT_FALSE(f.config.state.DataChanged);

    f.prompt.answers = {Answer::Yes};
    EXPECT_TRUE(DeleteEntry(f.config, Directory::Individual, 2));
    EXPECT_EQ(f.prompt.messages.size(), 2U);
    EXPECT_EQ(f.At(Directory::Individual, 2), (DirectoryRecord{true, "PILOT", "2591234500"}));
    EXPECT_EQ(f.At(Directory::Individual, 3), DirectoryRecord{});
    EXPECT_TRUE(f.config.state.DataChanged);

    EXPECT_FALSE(DeleteEntry(f.config, Directory::Individual, 3));  // free: nothing asked
    EXPECT_EQ(f.prompt.messages.size(), 2U);

    for (int n = 1; n <= kGroupDirectorySize; ++n) {  // a full directory frees its last slot
        f.config.model.CHGRPID[n - 1] = {true, "G" + std::to_string(n), "0259123400"};
    }
    EXPECT_EQ(UsedCount(f.config.model, Directory::Group), 32);
    EXPECT_TRUE(RemoveEntry(f.config, Directory::Group, 1));
    EXPECT_EQ(f.At(Directory::Group, 31).TagName, "G32");
    EXPECT_EQ(f.At(Directory::Group, 32), DirectoryRecord{});
}

TEST(DirectoryRulesTest, MmsiEntriesAndTheirStoredForm) {
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("edit/directory_mmsi_entry.txt"))) {
        const Directory dir = c[0] == "Group" ? Directory::Group : Directory::Individual;
        const std::optional<std::string> value = MmsiEntryValue(dir, c[1]);
        EXPECT_EQ(value, c[2] == "refused" ? std::nullopt : std::optional(c[2])) << c.where;
    }
    EXPECT_EQ(MmsiBoxText(Directory::Individual, "2111234500"), "211123450");
    EXPECT_EQ(MmsiBoxText(Directory::Group, "0259123400"), "25912340");
    EXPECT_EQ(MmsiOfBoxText(Directory::Group, "25912340"), "025912340");
    EXPECT_EQ(MmsiOfBoxText(Directory::Individual, "211123450"), "211123450");
}

TEST(DirectoryRulesTest, AWrongLengthIsRefusedWithTheDirectorysMessage) {
    struct Case {
        Directory dir;
        const char* typed;
        const char* title;
    };
    const Case cases[] = {{Directory::Individual, "21112345", "Individual Directory"},
                          {Directory::Group, "2591234", "Group Directory"}};
    for (const Case& c : cases) {
        Fixture f;
        f.Fill(c.dir, kThree);
        const DirectoryRecord before = f.At(c.dir, 2);
        const MmsiCommit kept = CommitEntryMmsi(f.config, c.dir, 2, c.typed, MmsiRefusal::KeepText);
        EXPECT_FALSE(kept.accepted);
        EXPECT_EQ(kept.text, c.typed);  // the box keeps what was typed
        ASSERT_EQ(f.prompt.messages.size(), 1U);
        EXPECT_EQ(f.prompt.messages[0].title, c.title);

        const MmsiCommit restored =
            CommitEntryMmsi(f.config, c.dir, 2, c.typed, MmsiRefusal::Restore);
        EXPECT_FALSE(restored.accepted);
        EXPECT_EQ(restored.text, MmsiBoxText(c.dir, before.Mmsid));  // shows what is stored
        EXPECT_EQ(f.prompt.messages.size(), 1U);
        EXPECT_EQ(f.At(c.dir, 2), before);
        EXPECT_FALSE(f.config.state.DataChanged);
    }
}

TEST(DirectoryRulesTest, AValidMmsiIsStoredAndAnEmptyOneDeletesWithoutAQuestion) {
    Fixture f;
    f.Fill(Directory::Group, {{"CLUB", "0259123400"}, {"RACE", "0232000100"}, {"FLEET", ""}});
    MmsiCommit c =
        CommitEntryMmsi(f.config, Directory::Group, 3, "22712345", MmsiRefusal::KeepText);
    EXPECT_TRUE(c.accepted);
    EXPECT_FALSE(c.deleted);
    EXPECT_EQ(c.text, "22712345");
    EXPECT_EQ(f.At(Directory::Group, 3).Mmsid, "0227123450");

    c = CommitEntryMmsi(f.config, Directory::Group, 2, "", MmsiRefusal::KeepText);
    EXPECT_TRUE(c.accepted);
    EXPECT_TRUE(c.deleted);
    EXPECT_TRUE(f.prompt.messages.empty());  // no question
    EXPECT_EQ(f.At(Directory::Group, 2), (DirectoryRecord{true, "FLEET", "0227123450"}));
    EXPECT_EQ(f.At(Directory::Group, 3), DirectoryRecord{});
    EXPECT_EQ(c.text, "22712345");  // the slot now shows the entry that followed
}

TEST(DirectoryRulesTest, NameBoxCharactersAndKeys) {
    for (char32_t c : std::u32string(U"09AZaz-/*()+., ")) {
        EXPECT_TRUE(IsDirectoryNameChar(c)) << static_cast<int>(c);
    }
    for (char32_t c : std::u32string(U"#_!?:;@\u00e9\t")) {
        EXPECT_FALSE(IsDirectoryNameChar(c)) << static_cast<int>(c);
    }
    EXPECT_EQ(DirectoryOfKey("sm12"), Directory::Individual);
    EXPECT_EQ(DirectoryOfKey("SG3"), Directory::Group);
    EXPECT_FALSE(DirectoryOfKey("PW"));
}

TEST(DirectoryRulesTest, TheGridShowsEverySlotWithWhatItsMmsiIs) {
    Fixture f;
    f.Fill(Directory::Individual, {{"HARBOUR", "2111234500"}, {"ODD", "0259123400"}});
    f.Fill(Directory::Group, {{"CLUB", "0259123400"}});
    const DirectoryGrid individual = BuildDirectoryGrid(f.config.model, Directory::Individual);
    ASSERT_EQ(individual.rows.size(), 80U);
    EXPECT_EQ(individual.rows[0],
              (std::vector<std::string>{"1", "HARBOUR", "211123450",
                                        "Ship, Germany (Federal Republic of)"}));
    EXPECT_EQ(individual.rows[1][kMmsiAboutColumn], "A group MMSI entered as an individual entry");
    EXPECT_EQ(individual.rows[79], (std::vector<std::string>{"80", "", "", ""}));

    const DirectoryGrid group = BuildDirectoryGrid(f.config.model, Directory::Group);
    ASSERT_EQ(group.rows.size(), 32U);
    EXPECT_EQ(group.rows[0],
              (std::vector<std::string>{"1", "CLUB", "025912340", "Group call, Norway"}));
}

// ---- Weather rows ---------------------------------------------------------------------

TEST(WeatherRulesTest, EachRowShowsItsRecordAndItsBoxesStore) {
    Fixture f;
    f.config.model.CHWX[0] = {.Enable = true, .ScanMemory = true, .ChTag = "NOAA"};
    f.config.model.CHWX[9].ScanMemory = true;  // kept while the row is closed
    const WeatherRowView first = ViewWeatherRow(f.config.model, 0);
    EXPECT_EQ(first.frequency, "162.550 MHz");
    EXPECT_TRUE(first.enable && first.scan && first.open);
    EXPECT_EQ(first.name, "NOAA");
    const WeatherRowView last = ViewWeatherRow(f.config.model, 9);
    EXPECT_EQ(last.frequency, "163.275 MHz");
    EXPECT_TRUE(last.scan);
    EXPECT_FALSE(last.enable || last.open);

    EXPECT_FALSE(ViewWeatherRow(DataModel{}, 3).open);  // a table not built yet

    // The boxes store through the editing entry point.
    EXPECT_TRUE(StoreWeatherEnable(f.config, 2, true));
    EXPECT_TRUE(StoreWeatherScan(f.config, 2, true));
    // Only what the name field keeps: "#" and the accented letter are no characters of it.
    EXPECT_TRUE(StoreWeatherName(f.config, 2, "Coast #3 \u00e9"));
    const ChannelRecord& r = f.config.model.CHWX[2];
    EXPECT_TRUE(r.Enable && r.ScanMemory);
    EXPECT_EQ(r.ChTag, "Coast 3");
    EXPECT_TRUE(f.config.state.DataChanged);

    EXPECT_TRUE(StoreWeatherScan(f.config, 2, false));  // out of the scan
    EXPECT_FALSE(f.config.model.CHWX[2].ScanMemory);
    EXPECT_FALSE(StoreWeatherScan(f.config, 10, true));  // no such record

    Fixture loading;
    loading.config.state.Loading = true;  // the program fills its rows: nothing is stored
    EXPECT_FALSE(StoreWeatherEnable(loading.config, 0, true));
    EXPECT_FALSE(loading.config.model.CHWX[0].Enable);
    EXPECT_FALSE(loading.config.state.DataChanged);
}

}  // namespace
}  // namespace mrw
