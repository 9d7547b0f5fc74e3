// The settings programming does not carry: which setup keys they are (as the memory map and the
// program map give them, written out here), how their difference lines and the count read, and
// which of a file's settings a read of the programmed radio would not give back.
#include "files/file_only.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/settings_keys.h"
#include "test_files.h"

namespace mrw {
namespace {

TEST(FileOnlyTest, TheKeysProgrammingDoesNotCarryAreThoseOfTheMemoryMap) {
    std::vector<std::string> kept;
    int atisKept = 0;
    for (const SetupKey& key : SetupKeys()) {
        if (!IsKeptInFileOnly(key.section, key.key)) {
            continue;
        }
        if (key.atisOnly) {
            ++atisKept;
        } else {
            kept.push_back(std::string(key.section) + "/" + key.key);
        }
    }
    std::vector<std::string> want;  // as the memory map and the program map give them
    for (const testing::Case& c :
         testing::ReadCases(testing::TestData("files/file_only_keys.txt"))) {
        want.push_back(c[0]);
    }
    EXPECT_EQ(kept, want);
    // ATIS: the flags of groups 1..3 at 322, 338, 354, the four killer flags and the 32 call
    // signs (MID and DISP each); group 0's flag at 306 and the code at 646 are written.
    EXPECT_EQ(atisKept, 3 + 4 + 64);
    EXPECT_FALSE(IsKeptInFileOnly(kAtisCommonSection, "Usable ATIS CH Group0"));
    EXPECT_TRUE(IsKeptInFileOnly(kAtisCommonSection, "Usable ATIS CH Group3"));
    EXPECT_FALSE(IsKeptInFileOnly(kAtisCommonSection, "Atis Code"));
    EXPECT_FALSE(IsKeptInFileOnly(kGroupSection, "CHUSA1"));
}

TEST(FileOnlyTest, LinesAndCountSaySoInWords) {
    Difference group{DifferenceKind::Changed, kGroupSection, "Group2", "0", "1"};
    group.notWritten = true;
    EXPECT_EQ(DifferenceLine(group),
              "[Usable CH Group Setup] Group2: 0 -> 1 (not written to the radio)");
    Difference log{DifferenceKind::Changed, kImageDiffSection, "0x0300\u20130x035F", "", ""};
    log.note = "DSC TX log, erased by programming";
    EXPECT_EQ(DifferenceLine(log), "[Image] 0x0300\u20130x035F: DSC TX log, erased by programming");
    EXPECT_EQ(KeptInFileOnlyLine(1), "Kept in the file only: 1 setting");
    EXPECT_EQ(KeptInFileOnlyLine(12), "Kept in the file only: 12 settings");
}

TEST(FileOnlyTest, OnlyTheSettingsARadioWouldNotGiveBackAreKept) {
    DataModel readBack;
    readBack.Groups[1].Usable = true;
    DataModel file = readBack;
    file.Groups[1].Usable = false;           // programming skips Group2's block
    file.Common.Scan = true;                 // written
    file.AutoPos.Records[0].Channel = "16";  // no image bytes
    file.AutoPos.Records[1].Channel = "16";  // written
    file.CallSigns[0].Mid = "235";           // no image bytes, ATIS only
    std::vector<std::string> lines;
    for (const Difference& d : KeptInFileOnly(readBack, file, false)) {
        lines.push_back(DifferenceLine(d));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "[Usable CH Group Setup] Group2: 1 -> 0 (not written to the radio)",
                         "[DSC Setup (AutoPos Setup)] CHANNEL0: \"\" -> \"16\" (not written to "
                         "the radio)"}));
    EXPECT_EQ(KeptInFileOnly(readBack, file, true).size(), 3u);

    // A configuration whose values the radio holds anyway keeps nothing in the file only.
    EXPECT_TRUE(KeptInFileOnly(file, file, true).empty());
}

}  // namespace
}  // namespace mrw
