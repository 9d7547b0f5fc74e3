// The one-line description of an MMSI: kind of station and country from the ITU's MID list,
// or what looks wrong for the box it was typed into.
#include "edit/mmsi_info.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(MmsiInfoTest, KindAndCountryOrWhatLooksWrong) {
    struct Case {
        const char* number;
        MmsiUse use;
        const char* line;
    };
    const Case cases[] = {
        {"21112345", MmsiUse::OwnShip, ""},  // still being typed
        {"211123450", MmsiUse::OwnShip, "Ship, Germany (Federal Republic of)"},
        {"2111234500", MmsiUse::Individual, "Ship, Germany (Federal Republic of)"},  // stored
        {"025912340", MmsiUse::Group, "Group call, Norway"},
        {"002320001", MmsiUse::Individual,
         "Coast station, United Kingdom of Great Britain and "
         "Northern Ireland"},
        {"111232001", MmsiUse::Individual,
         "SAR aircraft, United Kingdom of Great Britain and "
         "Northern Ireland"},
        {"822712345", MmsiUse::OwnShip, "Handheld radio, France"},
        {"992351234", MmsiUse::Individual,
         "Aid to navigation, United Kingdom of Great Britain "
         "and Northern Ireland"},
        {"970012345", MmsiUse::Individual, "AIS-SART (a distress device, not a radio)"},
        {"974012345", MmsiUse::OwnShip, "A radio's own MMSI must be a ship's, not a device's"},
        {"199123450", MmsiUse::OwnShip, "MID 199 is not allocated \u2014 check the number"},
        {"025912340", MmsiUse::Individual, "A group MMSI entered as an individual entry"},
        {"025912340", MmsiUse::OwnShip, "A group MMSI cannot be the radio's own number"},
        {"211123450", MmsiUse::Group, "Not a group MMSI: a group MMSI starts with a single 0"},
        {"912345678", MmsiUse::Individual, "Not an MMSI: no station's number starts with 912"},
        {"21112345X", MmsiUse::Individual, "Not an MMSI: an MMSI has nine digits"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DescribeMmsi(c.number, c.use), c.line) << c.number;
    }
}

TEST(MmsiInfoTest, TerritoriesSharingAMidAreListedTogether) {
    EXPECT_EQ(MidCountry(306),
              "Netherlands (Kingdom of the) - Bonaire, Sint Eustatius and Saba / "
              "Curaçao / Sint Maarten (Dutch part)");
    EXPECT_EQ(MidCountry(775), "Venezuela (Bolivarian Republic of)");
    EXPECT_FALSE(MidCountry(200));
}

}  // namespace
}  // namespace mrw
