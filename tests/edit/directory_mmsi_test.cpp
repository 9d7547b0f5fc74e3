// What every MMSI of a configuration tells its user: the warnings of a whole configuration as
// mrw-cli check prints them, naming where each number is (the lines themselves: mmsi_info).
#include "edit/directory_mmsi.h"

#include <gtest/gtest.h>

#include "test_files.h"

namespace mrw {
namespace {

TEST(DirectoryMmsiTest, WarningsOfAConfigurationNameWhereEachNumberIs) {
    DataModel model;
    EXPECT_TRUE(MmsiWarnings(model).empty());
    EXPECT_EQ(AutoPosMmsiUse(model, 1), MmsiUse::Individual);
    model.DscBasic.UserMmsi = "1991234500";
    model.CHMMSID[0] = {true, "HARBOUR", "2111234500"};  // fine
    model.CHMMSID[1] = {true, "CLUB", "0259123400"};     // a group number
    model.CHMMSID[4] = {false, "GONE", "0259123400"};    // after the first free slot: not in use
    model.CHGRPID[0] = {true, "FLEET", "2321234500"};
    model.AutoPos.Records[0].Mmsi = "2111234500";
    model.AutoPos.Records[1].Mmsi = "0259123400";
    // Select call 1: "Multi-St" in the first frame, still individual stations; "Group" in the
    // second.
    model.AutoPos.Records[0].SelectCall = model.AutoPos.Records[1].SelectCall = 1;
    model.Atis.AtisCode = "9211234567";  // an ATIS code is not an MMSI
    EXPECT_EQ(AutoPosMmsiUse(model, 0), MmsiUse::Individual);
    EXPECT_EQ(AutoPosMmsiUse(model, 1), MmsiUse::Group);
    std::vector<std::string> expected;
    for (const testing::Case& c : testing::ReadCases(testing::TestData("edit/mmsi_warnings.txt"))) {
        expected.push_back(c[0]);
    }
    EXPECT_EQ(MmsiWarnings(model), expected);
    model.AutoPos.Records[1].SelectCall = 0;
    EXPECT_EQ(MmsiWarnings(model).back(),
              "Auto POS Request MMSI 025912340: A group MMSI entered as an individual entry");
}

}  // namespace
}  // namespace mrw
