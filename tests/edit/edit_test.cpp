// The editing entry point: it stores, marks the configuration changed, records the change for
// Undo and Redo, and stays still while the program fills its own controls.
#include "edit/edit.h"

#include <gtest/gtest.h>

#include <tuple>

#include "edit/channel_table.h"
#include "edit/directory_rules.h"
#include "files/csv_channels.h"

namespace mrw {
namespace {

// A window that is showing the node `where`, and records what it was asked to show and how
// often its caption was brought up to date.
struct NodeShell : Shell {
    std::string CurrentCategory() const override { return where; }
    void ShowCategory(const std::string& key) override { shown.push_back(key); }
    void UpdateWindowCaption() override { ++captions; }
    std::string where;
    std::vector<std::string> shown;
    int captions = 0;
};

TEST(EditModelTest, StoresAndMarksChangedButNeverWhileLoading) {
    Config config;
    NodeShell shell;
    config.services.shell = &shell;
    config.state.Loading = true;
    EXPECT_FALSE(EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 7; }));
    EXPECT_TRUE(config.model.Common.ResumeTime != 7 && !config.state.DataChanged);

    config.state.Loading = false;
    EXPECT_TRUE(EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 7; }));
    EXPECT_TRUE(EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 8; }));
    // The caption follows the first change.
    EXPECT_EQ(std::tuple(config.model.Common.ResumeTime, config.state.DataChanged, shell.captions),
              std::tuple(8, true, 1));
}

struct EditHistoryTest : ::testing::Test {
    EditHistoryTest() {
        config.services = {nullptr, &prompt, nullptr, &shell};
        for (int16_t position : {16, 22}) {
            AppendRecord(config.model.CHINT) = {.Position = position, .StatusNo = 127};
        }
        config.model.CHMMSID[0] = config.model.CHMMSID[1] =
            config.model.CHMMSID[2] = {true, "SHIP3", "2111234500"};
        MarkConfigurationLoaded(config);
    }
    Config config;
    NodeShell shell;
    ScriptedPrompt prompt;
};

TEST_F(EditHistoryTest, EachKindOfChangeIsUndoneAndRedoneWhereItWasMade) {
    std::vector<DataModel> states{config.model};
    ChannelListState channels;
    ShowTable(channels, TableKind::INT);
    prompt.answers = {Answer::Yes, Answer::Yes};
    shell.where = "PI";
    ASSERT_TRUE(DeleteChannel(config, channels, 0));
    states.push_back(config.model);
    shell.where = "SM3";
    ASSERT_TRUE(DeleteEntry(config, Directory::Individual, 3));
    states.push_back(config.model);
    shell.where = "General";
    ASSERT_TRUE(ApplyChannelImport(config, TableKind::INT, ChannelTable(2)));
    states.push_back(config.model);
    EXPECT_TRUE(EditModel(config, "MMSI", [](DataModel&) {}));  // typing only: no step

    const char* undoTexts[] = {"Import 2 channels", "Delete Memory ID 3", "Delete channel 16"};
    const char* wheres[] = {"General", "SM3", "PI"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(config.history.UndoText(), undoTexts[k]);
        ASSERT_TRUE(UndoEdit(config));
        EXPECT_EQ(config.model, states[2 - k]) << undoTexts[k];
        EXPECT_EQ(shell.shown.back(), wheres[k]);
    }
    EXPECT_FALSE(UndoEdit(config));
    EXPECT_FALSE(config.state.DataChanged);  // back at the loaded configuration
    EXPECT_EQ(config.model.CHMMSID[2].TagName, "SHIP3");
    for (int k = 1; k <= 3; ++k) {
        ASSERT_TRUE(RedoEdit(config));
        EXPECT_EQ(config.model, states[k]);
    }
    EXPECT_FALSE(RedoEdit(config));
}

TEST_F(EditHistoryTest, AStepUndoneBehindTheSavedOneAndAChangeMadeOutsideItAreNeverCrossed) {
    EditModel(config, "User MMSI", [](DataModel& m) { m.DscBasic.UserMmsi = "2351234560"; });
    MarkConfigurationSaved(config);
    ASSERT_TRUE(UndoEdit(config));
    // The saved step can never come back.
    EditModel(config, "User MMSI", [](DataModel& m) { m.DscBasic.UserMmsi = "2351234580"; });
    EXPECT_FALSE(config.history.CanRedo());
    ASSERT_TRUE(UndoEdit(config) && RedoEdit(config));
    EXPECT_TRUE(config.state.DataChanged);

    for (int i = 1; i <= 205; ++i) {
        EditModel(config, "Resume Time",
                  [i](DataModel& m) { m.Common.ResumeTime = static_cast<int16_t>(i); });
    }
    int undone = 0;
    while (UndoEdit(config)) {
        ++undone;
    }
    EXPECT_EQ(undone, 200);
    EXPECT_EQ(config.model.Common.ResumeTime, 5);

    ASSERT_TRUE(RedoEdit(config));
    config.model.Common.ResumeTime = 99;  // replaced without the history
    EXPECT_FALSE(UndoEdit(config));
    EXPECT_EQ(config.model.Common.ResumeTime, 99);
    EXPECT_FALSE(config.history.CanRedo());
}

}  // namespace
}  // namespace mrw
