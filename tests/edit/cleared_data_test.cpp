// After a clear in the radio the data model holds what the radio holds: the cleared directory
// entries, user MMSI, ATIS code and ATIS group flags are emptied, in one undoable step, and
// every other edit stays.
#include "edit/cleared_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "edit/edit.h"
#include "image/codec.h"
#include "test_files.h"

namespace mrw {
namespace {

struct ClearedDataTest : ::testing::Test {
    ClearedDataTest() {
        config.services = {nullptr, &prompt, nullptr, &shell};
        // The radio's configuration as the last read left it: six stations, two groups, a
        // user MMSI and an ATIS code usable in groups 1 and 2.
        for (int i = 0; i < 6; ++i) {
            config.model.CHMMSID[static_cast<size_t>(i)] = {true, "SHIP" + std::to_string(i),
                                                            "21112345" + std::to_string(i) + "0"};
        }
        config.model.CHGRPID[0] = {true, "FLEET", "0211100000"};
        config.model.CHGRPID[1] = {true, "CLUB", "0211200000"};
        config.model.DscBasic.UserMmsi = "2111234560";
        config.model.Atis.AtisCode = "9211234567";
        config.model.Atis.UsableAtis = {true, true, false, false};
        EncodeImage(config.model, config.image);
        MarkConfigurationLoaded(config);
        // Unsaved edits: another Resume Time and a renamed station.
        EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 9; });
        EditModel(config, "Directory", [](DataModel& m) { m.CHMMSID[1].TagName = "RENAMED"; });
    }
    ScriptedPrompt prompt;
    Shell shell;
    Config config;
};

TEST_F(ClearedDataTest, OnlyThePartsThatReachedTheRadioChange) {
    const Image image = config.image;
    const DataModel edited = config.model;
    for (const testing::Case& c : testing::ReadCases(testing::TestData("edit/cleared_data.txt"))) {
        SCOPED_TRACE(c.where);
        config.image = image;
        config.model = edited;
        std::vector<ClearedSpan> sent;
        std::istringstream spans(c[0]);
        for (int first = 0, last = 0; spans >> first && spans.get() == '-' && spans >> last;) {
            sent.push_back({first, last});
            std::fill(config.image.bytes.begin() + first, config.image.bytes.begin() + last + 1,
                      first == 306 ? 0x00 : 0xFF);  // the image as the clear left it
        }
        DataModel expected = edited;
        std::istringstream lost(c[1]);
        for (std::string what; lost >> what;) {
            if (what[0] == 'I') {
                expected.CHMMSID[std::stoul(what.substr(1))] = {};
            } else if (what[0] == 'G') {
                expected.CHGRPID[std::stoul(what.substr(1))] = {};
            } else if (what == "UserMmsi" || what == "AtisCode") {
                (what == "UserMmsi" ? expected.DscBasic.UserMmsi : expected.Atis.AtisCode).clear();
            } else {
                ASSERT_TRUE(what == "Atis1" || what == "-") << what;
                expected.Atis.UsableAtis[0] = expected.Atis.UsableAtis[0] && what == "-";
            }
        }
        EXPECT_EQ(AdoptClearedData(config, "Clear", sent), expected != edited);
        EXPECT_EQ(config.model, expected);
        if (expected != edited) {
            // One step, which Undo takes back to the edited model.
            EXPECT_EQ(config.history.UndoText(), "Clear");
            ASSERT_TRUE(UndoEdit(config));
            EXPECT_EQ(config.model, edited);
        }
    }
}

}  // namespace
}  // namespace mrw
