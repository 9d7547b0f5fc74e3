// The one-line description of an MMSI: kind of station and country from the ITU's MID list,
// or what looks wrong for the box it was typed into.
#include "edit/mmsi_info.h"

#include "edit/directory_mmsi.h"

#include <gtest/gtest.h>

namespace mrw {
namespace {

TEST(MmsiInfoTest, KindAndCountryOrWhatLooksWrong) {
    struct Case {
        const char* number;
        MmsiUse use;
        const char* line;
        bool warning = false;  // told apart from a description
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
        {"970012345", MmsiUse::Individual, "AIS-SART (a distress device, not a radio)", true},
        {"974012345", MmsiUse::OwnShip, "A radio's own MMSI must be a ship's, not a device's",
         true},
        {"199123450", MmsiUse::OwnShip, "MID 199 is not allocated \u2014 check the number", true},
        {"025912340", MmsiUse::Individual, "A group MMSI entered as an individual entry", true},
        {"025912340", MmsiUse::OwnShip, "A group MMSI cannot be the radio's own number", true},
        {"211123450", MmsiUse::Group, "Not a group MMSI: a group MMSI starts with a single 0",
         true},
        {"912345678", MmsiUse::Individual, "Not an MMSI: no station's number starts with 912",
         true},
        {"21112345X", MmsiUse::Individual, "Not an MMSI: an MMSI has nine digits", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(DescribeMmsi(c.number, c.use), c.line);
        const MmsiNote note = NoteOnMmsi(c.number, c.use);
        EXPECT_EQ(note.text, c.line);
        EXPECT_EQ(note.warning, c.warning);
    }
}

TEST(MmsiInfoTest, TerritoriesSharingAMidAreListedTogether) {
    EXPECT_EQ(MidCountry(306),
              "Netherlands (Kingdom of the) - Bonaire, Sint Eustatius and Saba / "
              "Curaçao / Sint Maarten (Dutch part)");
    EXPECT_FALSE(MidCountry(200));
}

}  // namespace
}  // namespace mrw
