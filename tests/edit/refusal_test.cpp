// The reason every refused entry of the editors gives, on the line after "Data Error!!",
// decided by the editing rules.
#include <gtest/gtest.h>

#include <string>

#include "edit/channel_panel.h"
#include "edit/directory_rules.h"
#include "edit/refusal.h"
#include "edit/setup_entry.h"
#include "test_files.h"

namespace mrw {
namespace {

TEST(RefusalTest, EachRefusalSaysWhy) {
    for (const testing::Case& c : testing::ReadCases(testing::TestData("edit/refusals.txt"))) {
        SCOPED_TRACE(c.where);
        Config config;
        ScriptedPrompt prompt;
        config.services.prompt = &prompt;
        const std::string& family = c[0];
        const Directory dir = c[1] == "Group" ? Directory::Group : Directory::Individual;
        config.model.CHMMSID[0] = config.model.CHGRPID[0] = {true, "OLD", ""};
        std::string shown;
        if (family == "digits") {
            const DigitBox box = c[1] == "UserMmsi"   ? DigitBox::UserMmsi
                                 : c[1] == "AtisCode" ? DigitBox::AtisCode
                                                      : DigitBox::AutoPosMmsi;
            CommitDigitEntry(config, box, 0, c[2], CommitMode::KeepText);
        } else if (family == "mmsi") {
            CommitEntryMmsi(config, dir, 1, c[2], MmsiRefusal::KeepText);
        } else if (family == "name") {
            const std::string reason = EntryNameRefusal(dir, c[2]);
            shown = reason.empty() ? "" : WithReason(kDataError, reason);
        } else if (family == "open") {
            config.model.CHMMSID[1].Enable = true;
            const EntryPanelView view = ViewEntryPanel(config.model, dir, std::stoi(c[2]));
            shown = view.incompleteBefore ? WithReason(kDataError, view.incompleteReason) : "";
        } else if (family == "frequency") {
            const FrequencyEntry entry = ParseFrequency(c[2], FrequencyMode::KeepText);
            shown = entry.valid ? "" : WithReason(kFrequencyError, entry.reason);
        } else if (family == "display") {
            const std::string reason = DisplayTextRefusal(c[2]);
            shown = reason.empty() ? "" : WithReason(kDataError, reason);
        } else {
            ASSERT_EQ(family, "save");
            ChannelListState state;
            ShowTable(state, TableKind::RG);
            ASSERT_TRUE(StartNew(config, state, 0));
            const std::string& t = c[2];
            const size_t a = t.find('/');
            const size_t b = t.find('/', a + 1);
            SaveChannel(config, state,
                        {.display = t.substr(b + 1),
                         .rxText = t.substr(0, a),
                         .txText = t.substr(a + 1, b - a - 1)});
        }
        if (!prompt.messages.empty()) {
            ASSERT_EQ(prompt.messages.size(), 1U);
            shown = prompt.messages[0].text;
            EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
        }
        EXPECT_EQ(shown, c[3] == "-" ? "" : c[3]);
    }
}

}  // namespace
}  // namespace mrw
