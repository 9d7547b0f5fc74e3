// The editing entry point: it stores, marks the configuration changed, and stays still while
// the program fills its own controls.
#include "edit/edit.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

class CaptionCounter : public Shell {
public:
    void UpdateWindowCaption() override { ++captions; }
    int captions = 0;
};

TEST(EditModelTest, StoresAndMarksChangedButNeverWhileLoading) {
    Config config;
    CaptionCounter shell;
    config.services.shell = &shell;
    config.state.Loading = true;
    EXPECT_FALSE(EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 7; }));
    EXPECT_NE(config.model.Common.ResumeTime, 7);
    EXPECT_FALSE(config.state.DataChanged);

    config.state.Loading = false;
    EXPECT_TRUE(EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 7; }));
    EXPECT_TRUE(EditModel(config, "Resume Time", [](DataModel& m) { m.Common.ResumeTime = 8; }));
    EXPECT_EQ(config.model.Common.ResumeTime, 8);
    EXPECT_TRUE(config.state.DataChanged);
    EXPECT_EQ(shell.captions, 1);  // the caption follows the first change
}

}  // namespace
}  // namespace mrw
