// After a clear in the radio the data model holds what the radio holds: the cleared directory
// entries, user MMSI, ATIS code and ATIS group flags are emptied, in one undoable step, and
// every other edit stays.
#include "edit/cleared_data.h"

#include <gtest/gtest.h>

#include <functional>

#include "edit/edit.h"
#include "image/codec.h"

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
    /// The image as a clear leaves it: `first`..`last` set to `value`.
    void Erase(int first, int last, uint8_t value = 0xFF) {
        for (int a = first; a <= last; ++a) {
            config.image.bytes[static_cast<size_t>(a)] = value;
        }
    }

    ScriptedPrompt prompt;
    Shell shell;
    Config config;
};

TEST_F(ClearedDataTest, OnlyThePartsThatReachedTheRadioChange) {
    struct Case {
        const char* name;
        std::vector<ClearedSpan> sent;  // and erased in the image
        std::function<void(DataModel&)> expected;
    };
    const std::vector<Case> cases = {
        // The first block (stations 1 to 4): stations 5 and 6 follow an empty entry, which
        // ends the directory as the radio reads it.
        {"individual, first block", {{18176, 18239}}, [](DataModel& m) { m.CHMMSID.fill({}); }},
        // The second block (stations 5 to 8) only: stations 1 to 4 stay as edited.
        {"individual, second block",
         {{18240, 18303}},
         [](DataModel& m) { m.CHMMSID[4] = m.CHMMSID[5] = {}; }},
        // The group directory's first block: the list ends at its first entry.
        {"group, first block",
         {{20224, 20287}},
         [](DataModel& m) { m.CHGRPID[0] = m.CHGRPID[1] = {}; }},
        // A DSC log clear holds nothing of the model.
        {"DSC log", {{26880, 26943}}, [](DataModel&) {}},
        // Two bytes of the user MMSI: the radio holds no valid MMSI now.
        {"user MMSI, two bytes",
         {{640, 640}, {641, 641}},
         [](DataModel& m) { m.DscBasic.UserMmsi.clear(); }},
        // The ATIS code and the flag of group 1 (306), the others not reached.
        {"ATIS code and one flag",
         {{646, 646}, {647, 647}, {648, 648}, {649, 649}, {650, 650}, {306, 306}},
         [](DataModel& m) {
             m.Atis.AtisCode.clear();
             m.Atis.UsableAtis[0] = false;
         }},
    };
    const Image image = config.image;
    const DataModel edited = config.model;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        config.image = image;
        config.model = edited;
        for (const ClearedSpan& span : c.sent) {
            const bool atisFlag = span.first == 306;
            Erase(span.first, span.last, atisFlag ? 0x00 : 0xFF);
        }
        DataModel expected = edited;
        c.expected(expected);
        EXPECT_EQ(AdoptClearedData(config, "Clear", c.sent), expected != edited);
        EXPECT_EQ(config.model, expected);
        EXPECT_EQ(config.model.Common.ResumeTime, 9);
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
