// The one-line description of an MMSI: kind of station and country from the ITU's MID list,
// or what looks wrong for the box it was typed into.
#include "edit/mmsi_info.h"

#include <gtest/gtest.h>

#include <tuple>

#include "edit/directory_mmsi.h"
#include "test_files.h"

namespace mrw {
namespace {

TEST(MmsiInfoTest, KindAndCountryOrWhatLooksWrong) {
    for (const testing::Case& c : testing::ReadCases(testing::TestData("edit/mmsi_info.txt"))) {
        SCOPED_TRACE(c.where);
        const MmsiUse use = c[1] == "OwnShip" ? MmsiUse::OwnShip
                            : c[1] == "Group" ? MmsiUse::Group
                                              : MmsiUse::Individual;
        const MmsiNote note = NoteOnMmsi(c[0], use);
        EXPECT_EQ(std::tuple(DescribeMmsi(c[0], use), note.text, note.warning),
                  std::tuple(c[2], c[2], c[3] == "1"));
    }
    EXPECT_EQ(MidCountry(306),
              "Netherlands (Kingdom of the) - Bonaire, Sint Eustatius and Saba / "
              "Curaçao / Sint Maarten (Dutch part)");
    EXPECT_FALSE(MidCountry(200));
}

}  // namespace
}  // namespace mrw
