// What every MMSI of a configuration tells its user: descriptions told apart from warnings,
// and the warnings of a whole configuration as mrw-cli check prints them.
#include "edit/directory_mmsi.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(DirectoryMmsiTest, DescriptionsAreToldApartFromWarnings) {
    struct Case {
        const char* number;
        MmsiUse use;
        bool warning;
    };
    const Case cases[] = {
        {"21112345", MmsiUse::OwnShip, false},  // still being typed: no line at all
        {"211123450", MmsiUse::OwnShip, false},    {"2111234500", MmsiUse::Individual, false},
        {"025912340", MmsiUse::Group, false},      {"002320001", MmsiUse::Individual, false},
        {"111232001", MmsiUse::Individual, false}, {"822712345", MmsiUse::OwnShip, false},
        {"992351234", MmsiUse::Individual, false}, {"982351234", MmsiUse::Individual, false},
        {"970012345", MmsiUse::Individual, true},  // a distress device, not a radio
        {"199123450", MmsiUse::OwnShip, true},     {"025912340", MmsiUse::Individual, true},
        {"211123450", MmsiUse::Group, true},       {"912345678", MmsiUse::Individual, true},
        {"21112345X", MmsiUse::Individual, true},
    };
    for (const Case& c : cases) {
        const MmsiNote note = NoteOnMmsi(c.number, c.use);
        EXPECT_EQ(note.text, DescribeMmsi(c.number, c.use)) << c.number;
        EXPECT_EQ(note.warning, c.warning) << c.number << ": " << note.text;
    }
}

TEST(DirectoryMmsiTest, TheAutoPositionRequestCallsAGroupWhenItsSelectCallIsGroup) {
    DataModel model;
    EXPECT_EQ(AutoPosMmsiUse(model, 0), MmsiUse::Individual);
    EXPECT_EQ(AutoPosMmsiUse(model, 1), MmsiUse::Individual);
    model.AutoPos.Records[0].SelectCall = 1;  // "Multi-St": still individual stations
    model.AutoPos.Records[1].SelectCall = 1;  // "Group"
    EXPECT_EQ(AutoPosMmsiUse(model, 0), MmsiUse::Individual);
    EXPECT_EQ(AutoPosMmsiUse(model, 1), MmsiUse::Group);
}

TEST(DirectoryMmsiTest, WarningsOfAConfigurationNameWhereEachNumberIs) {
    DataModel model;
    EXPECT_TRUE(MmsiWarnings(model).empty());

    model.DscBasic.UserMmsi = "1991234500";
    model.CHMMSID[0] = {true, "HARBOUR", "2111234500"};  // fine
    model.CHMMSID[1] = {true, "CLUB", "0259123400"};     // a group number
    model.CHMMSID[2] = {true, "", "9123456780"};
    model.CHMMSID[4] = {false, "GONE", "0259123400"};  // after the first free slot: not in use
    model.CHGRPID[0] = {true, "FLEET", "2321234500"};
    model.AutoPos.Records[0].Mmsi = "2111234500";
    model.AutoPos.Records[1].Mmsi = "0259123400";
    model.AutoPos.Records[1].SelectCall = 1;
    model.Atis.AtisCode = "9211234567";  // an ATIS code is not an MMSI
    EXPECT_EQ(MmsiWarnings(model),
              (std::vector<std::string>{
                  "User MMSI 199123450: MID 199 is not allocated \u2014 check the number",
                  "Individual Directory 2 CLUB 025912340: A group MMSI entered as an individual "
                  "entry",
                  "Individual Directory 3 912345678: Not an MMSI: no station's number starts "
                  "with 912",
                  "Group Directory 1 FLEET 232123450: Not a group MMSI: a group MMSI starts with "
                  "a single 0",
              }));

    model.AutoPos.Records[1].SelectCall = 0;
    EXPECT_EQ(MmsiWarnings(model).back(),
              "Auto POS Request MMSI 025912340: A group MMSI entered as an individual entry");
}

}  // namespace
}  // namespace mrw
