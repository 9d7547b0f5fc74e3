// The settings programming does not carry: which setup keys they are (as the memory map and the
// program map give them, written out here), how their difference lines and the count read, and
// which of a file's settings a read of the programmed radio would not give back.
#include "files/file_only.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/settings_keys.h"

namespace mrw {
namespace {

// Image bytes skipped by programming: 192..255 (priority channels at 224..229) and 320..383 (the
// group blocks of Group2, Group3 and Exp CH). No image bytes: Priority CH3, Exp Ch Group,
// PosRequest 1..3, PosRequestTX, BeepOut7, MENUDISPLAY, RCENABLE and auto-position record 0.
const std::vector<std::string> kKeptWithoutAtis = {
    "Usable CH Group Setup/Group2",          "Usable CH Group Setup/Group3",
    "Usable CH Group Setup/Exp CH",          "Usable CH Group Setup/Priority CH0",
    "Usable CH Group Setup/Priority CH1",    "Usable CH Group Setup/Priority CH2",
    "Usable CH Group Setup/Priority CH3",    "Usable CH Group Setup/Status name1",
    "Usable CH Group Setup/Status name2",    "Usable CH Group Setup/Status name3",
    "Usable CH Group Setup/Exp Ch Group0",   "Usable CH Group Setup/Exp Ch Group1",
    "Usable CH Group Setup/Exp Ch Group2",   "DSC Setup (Basic Setup)/Group2",
    "DSC Setup (Basic Setup)/Group3",        "DSC Setup (Basic Setup)/PosRequestTX0",
    "DSC Setup (Basic Setup)/PosRequest1",   "DSC Setup (Basic Setup)/PosRequestTX1",
    "DSC Setup (Basic Setup)/PosRequest2",   "DSC Setup (Basic Setup)/PosRequestTX2",
    "DSC Setup (Basic Setup)/PosRequest3",   "DSC Setup (Basic Setup)/PosRequestTX3",
    "DSC Setup (Basic Setup)/BeepOut7",      "DSC Setup (AutoPos Setup)/MENUDISPLAY",
    "DSC Setup (AutoPos Setup)/ENABLE0",     "DSC Setup (AutoPos Setup)/MARINE ENABLE0",
    "DSC Setup (AutoPos Setup)/CHANNEL0",    "DSC Setup (AutoPos Setup)/INTERVAL0",
    "DSC Setup (AutoPos Setup)/SELECTCALL0", "DSC Setup (AutoPos Setup)/LASTADDRESS0",
    "DSC Setup (AutoPos Setup)/RCENABLE0",   "DSC Setup (AutoPos Setup)/MMSI0",
    "DSC Setup (AutoPos Setup)/RCENABLE1",
};

std::string Joined(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& key : keys) {
        text += key + "\n";
    }
    return text;
}

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
    EXPECT_EQ(Joined(kept), Joined(kKeptWithoutAtis));
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
