// The directory rules: slots in use, adding in the first free slot, deleting with the shift
// that keeps the slots in use together, and the name and MMSI entries of both directories;
// the weather rows of pictD: what each row shows and how its boxes store.
#include "edit/directory_rules.h"

#include <gtest/gtest.h>

#include <optional>
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
};

std::string B(bool b) {
    return b ? "1" : "0";
}

// Each step of the scenarios gives its results as texts, compared with the rest of its line.
TEST(DirectoryRulesTest, EntryScenarios) {
    std::optional<Fixture> f;
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("edit/directory_steps.txt"))) {
        SCOPED_TRACE(c.where);
        const std::string& step = c[0];
        if (step == "new") {
            f.emplace();
            continue;
        }
        Config& config = f->config;
        DataModel& m = config.model;
        const std::vector<MessageRequest>& messages = f->prompt.messages;
        const Directory dir = c[1] == "Group" ? Directory::Group : Directory::Individual;
        const int n = c.fields.size() > 3 ? std::stoi(c[2]) : 0;
        std::vector<std::string> got;
        size_t k = 3;  // where the results start
        if (step == "set") {
            DirectoryRecord& r =
                dir == Directory::Group ? m.CHGRPID.at(size_t(n - 1)) : m.CHMMSID.at(size_t(n - 1));
            r = {c[3] == "1", c[4], c[5]};
            continue;
        } else if (step == "changed" || step == "asked" || step == "told") {
            k = 1;
            got = {step == "changed" ? B(config.state.DataChanged)
                   : step == "asked" ? std::to_string(messages.size())
                                     : messages.back().title};
        } else if (step == "used") {
            k = 2;
            got = {std::to_string(UsedCount(m, dir))};
        } else if (step == "view") {
            const EntryPanelView v = ViewEntryPanel(m, dir, n);
            got = {B(v.enableChecked) + " " + B(v.enableOpen) + " " + B(v.deleteOpen) + " " +
                   B(v.fieldsOpen) + " " + B(v.incompleteBefore)};
        } else if (step == "boxes") {
            const EntryPanelView v = ViewEntryPanel(m, dir, n);
            got = {v.name, v.mmsi, B(v.groupPrefix) + " " + std::to_string(v.mmsiLength)};
        } else if (step == "add") {
            got = {B(AddEntry(config, dir, n))};
        } else if (step == "name") {
            k = 4;
            got = {B(CommitEntryName(config, dir, n, c[3]))};
        } else if (step == "mmsi") {
            k = 5;
            const MmsiCommit r =
                CommitEntryMmsi(config, dir, n, c[3],
                                c[4] == "keep" ? MmsiRefusal::KeepText : MmsiRefusal::Restore);
            got = {B(r.accepted) + " " + B(r.deleted), r.text};
        } else if (step == "delete") {
            k = 4;
            f->prompt.answers = {c[3] == "yes" ? Answer::Yes : Answer::No};
            got = {B(DeleteEntry(config, dir, n))};
        } else if (step == "remove") {
            got = {B(RemoveEntry(config, dir, n))};
        } else if (step == "slot") {
            const DirectoryRecord& r = Slot(m, dir, n);
            got = {B(r.Enable), r.TagName, r.Mmsid};
        }  // an unknown step gives nothing, and so fails its line
        EXPECT_EQ(got, std::vector<std::string>(c.fields.begin() + long(k), c.fields.end()));
    }
}

TEST(DirectoryRulesTest, MmsiAndNameEntriesAndKeys) {
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
    f.config.model.CHMMSID[0] = {true, "HARBOUR", "2111234500"};
    f.config.model.CHMMSID[1] = {true, "ODD", "0259123400"};
    f.config.model.CHGRPID[0] = {true, "CLUB", "0259123400"};
    const DirectoryGrid individual = BuildDirectoryGrid(f.config.model, Directory::Individual);
    const DirectoryGrid group = BuildDirectoryGrid(f.config.model, Directory::Group);
    ASSERT_EQ(std::tuple(individual.rows.size(), group.rows.size()), std::tuple(80UL, 32UL));
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("edit/directory_grid.txt"))) {
        const DirectoryGrid& grid = c[0] == "Group" ? group : individual;
        EXPECT_EQ(grid.rows.at(std::stoul(c[1])),
                  std::vector<std::string>(c.fields.begin() + 2, c.fields.end()))
            << c.where;
    }
}

// ---- Weather rows ---------------------------------------------------------------------

TEST(WeatherRulesTest, EachRowShowsItsRecordAndItsBoxesStore) {
    Fixture f;
    f.config.model.CHWX[0] = {.Enable = true, .ScanMemory = true, .ChTag = "NOAA"};
    f.config.model.CHWX[9].ScanMemory = true;  // kept while the row is closed
    const auto row = [&](int n) {
        const WeatherRowView v = ViewWeatherRow(f.config.model, n);
        return std::tuple(v.frequency, v.enable, v.scan, v.open, v.name);
    };
    EXPECT_EQ(row(0), std::tuple("162.550 MHz", true, true, true, "NOAA"));
    EXPECT_EQ(row(9), std::tuple("163.275 MHz", false, true, false, ""));

    EXPECT_FALSE(ViewWeatherRow(DataModel{}, 3).open);  // a table not built yet

    // The boxes store through the editing entry point.
    // Only what the name field keeps: "#" and the accented letter are no characters of it.
    EXPECT_TRUE(StoreWeatherEnable(f.config, 2, true) && StoreWeatherScan(f.config, 2, true) &&
                StoreWeatherName(f.config, 2, "Coast #3 \u00e9"));
    const ChannelRecord& r = f.config.model.CHWX[2];
    EXPECT_EQ(std::tuple(r.Enable, r.ScanMemory, r.ChTag, f.config.state.DataChanged),
              std::tuple(true, true, "Coast 3", true));

    EXPECT_TRUE(StoreWeatherScan(f.config, 2, false) && !r.ScanMemory);  // out of the scan
    EXPECT_FALSE(StoreWeatherScan(f.config, 10, true));                  // no such record

    Fixture loading;
    loading.config.state.Loading = true;  // the program fills its rows: nothing is stored
    EXPECT_FALSE(StoreWeatherEnable(loading.config, 0, true) ||
                 loading.config.model.CHWX[0].Enable || loading.config.state.DataChanged);
}

}  // namespace
}  // namespace mrw
