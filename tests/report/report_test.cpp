// The settings report text: whole reports against reviewed golden files, and the rows and
// renderings where a fault would show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/text.h"
#include "image/channel_ref.h"
#include "report/report.h"
#include "report_fixture.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

fs::path GoldenPath(const std::string& name) {
    return fs::path(MRW_TEST_SOURCE_DIR) / "tests" / "report" / "golden" / name;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares with the golden file; MRW_UPDATE_GOLDEN=1 rewrites it instead (review it by eye).
void ExpectGolden(const std::string& text, const std::string& name) {
    fs::path path = GoldenPath(name);
    if (std::getenv("MRW_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary) << text;
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << path;
    EXPECT_EQ(ReadFile(path), text) << "report differs from " << path;
}

std::vector<std::string> Lines(const std::string& text) {
    return Split(text, "\r\n");
}

// The line after the line `title`, `offset` lines further on.
std::string LineAfter(const std::string& text, const std::string& title, int offset) {
    auto lines = Lines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == title && i + offset < lines.size()) {
            return lines[i + offset];
        }
    }
    return "<missing " + title + ">";
}

bool HasLine(const std::string& text, const std::string& line) {
    for (const auto& l : Lines(text)) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

// ---- Whole reports -----------------------------------------------------------------------

TEST(ReportGolden, CraftedConfigurationExercisingEveryRendering) {
    Config config;
    FillCraftedConfig(config);
    ExpectGolden(ReportText(config), "crafted.txt");
}

TEST(ReportGolden, ConfigurationWithoutOptionalTables) {
    Config config;
    FillCraftedConfig(config);
    config.model.CHUSA.clear();
    config.model.CHINT.clear();
    config.model.CHCAN.clear();
    config.model.CHRG.clear();
    config.model.CHEXP.clear();
    std::string text = ReportText(config);
    ExpectGolden(text, "no_tables.txt");
    // Ends with the last row of the group directory; no title of a left-out table appears.
    EXPECT_EQ(Lines(text).back(), "32   " + std::string(12, '-') + "  " + std::string(9, '-'));
    EXPECT_EQ(text.find("Programable USA"), std::string::npos);
    EXPECT_EQ(text.find("Programable Exp"), std::string::npos);
    EXPECT_EQ(text.find("Programable Region"), std::string::npos);
}

TEST(ReportGolden, FactoryConfigurations) {
    // The region default images are generated into the program folder by the build.
    const char* env = std::getenv("MRW_BIN_DIR");
    const fs::path bin = env != nullptr ? fs::path(env) : fs::path(MRW_TEST_BIN_DIR);
    for (const auto& [file, modelType, golden] :
         {std::tuple{"INTL_08FD.ini", 1, "factory_intl_hv2300.txt"},
          std::tuple{"USA_0961.ini", 2, "factory_usa_hv2400.txt"}}) {
        fs::path path = bin / file;
        ASSERT_TRUE(fs::exists(path)) << path;
        Config config;
        ASSERT_TRUE(LoadFactoryConfig(config, path, modelType)) << path;
        ExpectGolden(ReportText(config), golden);
    }
}

// ---- Text form ---------------------------------------------------------------------------

TEST(ReportText, StartsWithFirstTitleUsesCrLfAndHasNoTrailingSeparator) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    EXPECT_EQ(text.rfind("##### Usable CH Group Setup #####\r\n", 0), 0u);
    EXPECT_NE(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
        }
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
        }
    }
    // Every section after the first is introduced by a blank line.
    auto lines = Lines(text);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].rfind("#####", 0) == 0) {
            EXPECT_EQ(lines[i - 1], "") << lines[i];
        }
    }
}

TEST(ReportText, CellsArePaddedOrCut) {
    EXPECT_EQ(PadRight("ABC", 5), "ABC  ");
    EXPECT_EQ(PadRight("ABCDEFG", 5), "ABCDE");
    EXPECT_EQ(PadRight("", 3), "   ");
    EXPECT_EQ(Label("Count", 7), "Count : ");
}

TEST(ReportText, SectionsAppearInOrderAndCallSignsNever) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    const char* titles[] = {"##### Usable CH Group Setup #####",
                            "##### Common Setup #####",
                            "##### DSC Setup (Basic Setup) #####",
                            "##### DSC Setup (Advanced Setup) #####",
                            "##### DSC Setup (Display Setup) #####",
                            "##### DSC Setup (Auto POS Setup) #####",
                            "##### ATIS Setup (Common) #####",
                            "##### Programable USA Channel #####",
                            "##### Programable International Channel #####",
                            "##### Programable Canada Channel #####",
                            "##### Programable Wx Channel #####",
                            "##### Memory ID Setting #####",
                            "##### Group ID Setting #####",
                            "##### Programable Region Channel #####",
                            "##### Programable Exp Channel #####"};
    std::size_t at = 0;
    for (const char* t : titles) {
        std::size_t found = text.find(t);
        ASSERT_NE(found, std::string::npos) << t;
        EXPECT_GT(found + 1, at) << t << " out of order";
        at = found;
    }
    // CHINT holds one disabled record: its section has the header and no row.
    EXPECT_EQ(LineAfter(text, "##### Programable International Channel #####", 3), "");
    EXPECT_EQ(text.find("Call Sign"), std::string::npos);
}

// ---- Rows --------------------------------------------------------------------------------

TEST(ReportRows, StandardTableListsEnabledRecordsOnly) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    const std::string title = "##### Programable USA Channel #####";
    EXPECT_EQ(LineAfter(text, title, 1),
              "CH    RX(MHz)  TX(MHz)  TX  LOW  UP  DUP          MEM  IS   CH Name");
    // The disabled record of position 6 has no row; the first row is channel 16.
    EXPECT_EQ(LineAfter(text, title, 3),
              "16    156.800  156.800  TX  ---  UP  TX_SIMP      MEM  ---  CALLING         ");
    EXPECT_EQ(text.find("\r\n06 "), std::string::npos);
    // Empty ChTag: 16 spaces in the standard table.
    EXPECT_EQ(LineAfter(text, title, 4),
              "1022A 161.700  ---.---  --  LOW  --  DUP          ---  On                   ");
}

TEST(ReportRows, UnrenderableCellsStayEmptyAndTheReportGoesOn) {
    Config config;
    FillCraftedConfig(config);
    // A position outside the catalogue and a priority channel that names no record.
    ChannelRecord& bad = config.model.CHUSA.emplace_back();
    bad.Enable = true;
    bad.Position = 500;
    bad.StatusNo = 127;
    bad.ChTag = "BAD";
    config.model.Groups[0].PriorityCH = 77;
    std::string text = ReportText(config);
    EXPECT_TRUE(HasLine(text, std::string(6 + 9 + 9, ' ') +
                                  "--  ---  --  TX_SIMP      ---  ---  BAD             "));
    EXPECT_EQ(LineAfter(text, "##### Usable CH Group Setup #####", 3),
              PadRight("Priority CH", 35) + std::string(18, ' ') + std::string(18, ' ') +
                  PadRight("", 18));
    EXPECT_NE(text.find("##### Programable Exp Channel #####"), std::string::npos);
}

TEST(ReportRows, WeatherAndUserChannelsListDisabledRecordsToo) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    EXPECT_EQ(LineAfter(text, "##### Programable Wx Channel #####", 3),
              "1   ENABLE  MEM  NOAA 1      ");
    EXPECT_EQ(LineAfter(text, "##### Programable Wx Channel #####", 4),
              "2   ------  ---              ");
    EXPECT_EQ(LineAfter(text, "##### Programable Wx Channel #####", 12),
              "10  ------  ---  LONGWEATHERN");
    // CHEXP record 2 is disabled, has no display text and an empty tag: 16 dashes.
    EXPECT_EQ(LineAfter(text, "##### Programable Exp Channel #####", 5),
              "EXP03  ---  ---  ---  --    ---.----  ---.----  ---  --  ---  ----------------");
}

TEST(ReportRows, UserChannelFrequenciesSnapWithoutChangingTheModel) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    EXPECT_EQ(LineAfter(text, "##### Programable Exp Channel #####", 3),
              "EXP01  On   ---  On   A1    156.0350  160.6375  LOW  UP  MEM  SHIP TO SHIP    ");
    EXPECT_DOUBLE_EQ(config.model.CHEXP[0].Rxfreq, 156.0371);
}

TEST(ReportRows, UserChannelHeaderFollowsStatusNameLengths) {
    Config config;
    FillCraftedConfig(config);
    config.model.Groups[0].StatusName = "ABCD";
    config.model.Groups[1].StatusName = "ABC";
    config.model.Groups[2].StatusName = "AB";
    std::string text = ReportText(config);
    EXPECT_EQ(LineAfter(text, "##### Programable Exp Channel #####", 1),
              "CH     ABCD ABC  AB  DISP  RX(MHz)   TX(MHz)   LOW  UP  MEM  CH Name");
    EXPECT_EQ(LineAfter(text, "##### Programable Region Channel #####", 1),
              "CH     ABCD ABC  AB  DISP  RX(MHz)   TX(MHz)   LOW  UP  MEM  CH Name");
}

TEST(ReportRows, DirectoryRows) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    const std::string title = "##### Memory ID Setting #####";
    EXPECT_EQ(LineAfter(text, title, 1), "No.  Station Name  MMSI");
    // A ten-digit MMSI shows its first nine digits, a longer name its first twelve characters.
    EXPECT_EQ(LineAfter(text, title, 3), "1    HARBOUR MAST  211234560");
    EXPECT_EQ(LineAfter(text, title, 4),
              "2    " + std::string(12, '-') + "  " + std::string(9, '-'));
    EXPECT_EQ(LineAfter(text, title, 82), "80   LAST          987654321");
    EXPECT_EQ(LineAfter(text, "##### Group ID Setting #####", 1), "No.  Group Name    MMSI");
}

TEST(ReportRows, UserMmsiRowCarriesTheRadiosEntryCount) {
    Config config;
    FillCraftedConfig(config);
    config.image.Set(645, 255);
    std::string text = ReportText(config);
    EXPECT_TRUE(HasLine(text, PadRight("User MMSI:", 35) + "2111111110  ----- Count : 255"));
}

// ---- Renderings --------------------------------------------------------------------------

TEST(ReportValues, ResumeTimeCoversEveryOfferedValue) {
    EXPECT_EQ(ResumeTimeText(0), "--");
    EXPECT_EQ(ResumeTimeText(3), "3Sec");
    EXPECT_EQ(ResumeTimeText(4), "4Sec");
    EXPECT_EQ(ResumeTimeText(5), "5Sec");
    EXPECT_EQ(ResumeTimeText(6), "");
    EXPECT_EQ(ResumeTimeText(-1), "");

    Config config;
    FillCraftedConfig(config);
    config.model.Common.ResumeTime = 6;
    EXPECT_TRUE(HasLine(ReportText(config), PadRight("Resume Time:", 35) + std::string(18, ' ')));
}

TEST(ReportValues, IntervalUsesTheSettingsTexts) {
    EXPECT_EQ(IntervalText(0), "OFF");
    EXPECT_EQ(IntervalText(1), "15 sec");
    EXPECT_EQ(IntervalText(6), "10 min");
    EXPECT_EQ(IntervalText(7), "15 min");
    EXPECT_EQ(IntervalText(9), "25 min");
    EXPECT_EQ(IntervalText(10), "30 min");
    EXPECT_EQ(IntervalText(14), "50 min");
    EXPECT_EQ(IntervalText(15), "");

    Config config;
    FillCraftedConfig(config);
    auto intervalLine = [&](const std::string& held) {
        config.model.AutoPos.Records[1].Interval = held;
        return LineAfter(ReportText(config), "[Auto POS Reporting]", 4);
    };
    EXPECT_EQ(intervalLine("12"), PadRight("Interval:", 35) + PadRight("40 min", 18));
    EXPECT_EQ(intervalLine("abc"), PadRight("Interval:", 35) + std::string(18, ' '));
    EXPECT_EQ(intervalLine("2.5"), PadRight("Interval:", 35) + std::string(18, ' '));
}

TEST(ReportValues, AutoPosChannelDesignation) {
    Config config;
    FillCraftedConfig(config);
    DataModel& m = config.model;
    AutoPosRecord r = m.AutoPos.Records[1];
    r.MarineEnable = 1;
    r.Channel = "16";  // enabled in CHUSA
    EXPECT_EQ(AutoPosChannelText(m, r), "16");
    r.Channel = "6";  // in CHUSA, disabled
    EXPECT_EQ(AutoPosChannelText(m, r), "");
    r.Channel = "70";  // not in CHUSA
    EXPECT_EQ(AutoPosChannelText(m, r), "");
    r.MarineEnable = 3;  // CHCAN holds channel 70, enabled
    EXPECT_EQ(AutoPosChannelText(m, r), "70");
    r.MarineEnable = 0;  // no group chosen: the USA table
    r.Channel = "16";
    EXPECT_EQ(AutoPosChannelText(m, r), "16");
    // EXP channels are numbered from 239.
    r.Channel = std::to_string(ExpChannelRef(0));
    EXPECT_EQ(AutoPosChannelText(m, r), "A1");
    r.Channel = std::to_string(ExpChannelRef(1));
    EXPECT_EQ(AutoPosChannelText(m, r), "B2X");
    r.Channel = std::to_string(ExpChannelRef(2));  // disabled
    EXPECT_EQ(AutoPosChannelText(m, r), "");
    r.Channel = "4096";
    EXPECT_EQ(AutoPosChannelText(m, r), "");
    r.Channel = "garbage";
    EXPECT_EQ(AutoPosChannelText(m, r), "");
}

TEST(ReportValues, AutoPosDirectoryNameBySelectCall) {
    Config config;
    FillCraftedConfig(config);
    DataModel& m = config.model;
    AutoPosRecord r;
    r.LastAddress = 0;
    r.SelectCall = 0;
    EXPECT_EQ(AutoPosDirectoryName(m, r), "HARBOUR MASTER");
    r.SelectCall = 1;
    EXPECT_EQ(AutoPosDirectoryName(m, r), "FLEET");
    r.LastAddress = 32;
    EXPECT_EQ(AutoPosDirectoryName(m, r), "");
    r.LastAddress = 79;
    r.SelectCall = 0;
    EXPECT_EQ(AutoPosDirectoryName(m, r), "LAST");
    r.SelectCall = 2;
    EXPECT_EQ(AutoPosDirectoryName(m, r), "");
    r.SelectCall = 0;
    r.LastAddress = -1;
    EXPECT_EQ(AutoPosDirectoryName(m, r), "");
}

TEST(ReportValues, UsableGroupRows) {
    Config config;
    FillCraftedConfig(config);
    std::string text = ReportText(config);
    const std::string title = "##### Usable CH Group Setup #####";
    EXPECT_EQ(LineAfter(text, title, 1), std::string(35, ' ') + PadRight("Group1", 18) +
                                             PadRight("Group2", 18) + PadRight("Group3", 18) +
                                             PadRight("EXP CH", 18));
    // Empty status name of group 3 shows "----".
    EXPECT_EQ(LineAfter(text, title, 4), PadRight("Status Name", 35) + PadRight("USA", 18) +
                                             PadRight("INTL", 18) + PadRight("----", 18) +
                                             PadRight("EX", 18));
    EXPECT_EQ(LineAfter(text, title, 5), PadRight("EXP CH", 35) + PadRight("On", 18) +
                                             PadRight("Off", 18) + PadRight("On", 18));
    config.model.Groups[3].Usable = false;
    EXPECT_EQ(
        LineAfter(ReportText(config), title, 5),
        PadRight("EXP CH", 35) + PadRight("---", 18) + PadRight("---", 18) + PadRight("---", 18));
}

TEST(ReportPrinted, TitlesAndLabelsThatDifferOnPaper) {
    Config config;
    FillCraftedConfig(config);
    Report report = BuildReport(config);
    std::vector<std::string> titles;
    for (const auto& s : report.sections) {
        titles.push_back(PrintedTitle(s));
        EXPECT_EQ(IsReportTable(s.id), !s.columns.empty()) << s.title;
    }
    EXPECT_EQ(titles.back(), "##### Programable EXP Channel #####");
    EXPECT_NE(std::find(titles.begin(), titles.end(), "##### Memory ID #####"), titles.end());
    EXPECT_NE(std::find(titles.begin(), titles.end(), "##### Programable WX Channel #####"),
              titles.end());
    EXPECT_EQ(PrintedLabel("Status Name"), "Status name");
    EXPECT_EQ(PrintedLabel("Received Geografic:"), "Received Geographic:");
    EXPECT_EQ(PrintedLabel("SelectCall:"), "Select Call:");
    EXPECT_EQ(PrintedLabel("SCAN:"), "SCAN:");
    EXPECT_EQ(report.sections.back().columns,
              (std::vector<std::string>{"CH", "USA", "INTL", "", "DISP", "RX(MHz)", "TX(MHz)",
                                        "LOW", "UP", "MEM", "CH Name"}));
}

}  // namespace
}  // namespace mrw
