// mrw-cli export-csv and import-csv: the rows a script gets, the CSV:LINE: notes on the error
// stream, the exit codes, and that a refused channel list writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli_fixture.h"
#include "core/services.h"
#include "test_files.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

constexpr const char* kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE,"
    "MRW_Channel,MRW_Duplex,MRW_TxEnable,MRW_LowPower,MRW_PowerUp,MRW_StatusNo,MRW_StatusIcon,"
    "MRW_InterShip,MRW_Display,MRW_Group1,MRW_Group2,MRW_Group3";

// A marine list as boaters share it for US waters, in CHIRP's layout: simplex "A" channels
// written with the duplex offset of their channel, the others with "-" and no offset, 50 W,
// and two rows no marine radio of the catalogue has (an AIS-style broadcast on a frequency
// the catalogue holds is taken; a land mobile frequency is not).
constexpr const char* kUsList =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n"
    "1,SEA 05,156.250000,-,4.600000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,\"Port "
    "operations, VTS\",,,,\r\n"
    "2,SEA 09,156.450000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,Boater "
    "calling,,,,\r\n"
    "3,SEA 16,156.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,\"Distress, "
    "safety, calling\",,,,\r\n"
    "4,SEA 22,157.100000,-,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,Coast Guard "
    "liaison,,,,\r\n"
    "5,SEA 26,157.300000,-,4.600000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,Marine "
    "operator,,,,\r\n"
    "6,SEA 70,156.525000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,DSC only,,,,\r\n"
    "7,GMRS 1,462.562500,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,12.50,,5W,Not "
    "marine,,,,\r\n"
    "8,SEA 88,157.425000,-,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,,50W,Commercial,"
    ",,,\r\n";

class CsvCliTest : public testing::CliFixture {
protected:
    CsvCliTest() : CliFixture({"--model", "1"}, {"USA_08FD.ini", "UK_08FD.ini"}) {}
    void SetUp() override {
        CliFixture::SetUp();
        fs::copy_file(folder / "USA_08FD.ini", folder / "usa.hex");
    }
    std::vector<std::string> OutLines() const {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(CsvCliTest, UsageErrorsExitTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {"export-csv", "usa.hex"},
        {"export-csv", "usa.txt", "CHUSA"},
        {"export-csv", "usa.hex", "CHWX"},
        {"import-csv", "usa.hex", "CHUSA", "list.csv"},
        {"import-csv", "usa.hex", "CHUSA", "list.csv", "-o", "out.txt"},
        {"import-csv", "usa.hex", "USA", "list.csv", "-o", "out.dat"},
    };
    for (const auto& args : wrong) {
        EXPECT_EQ(Run(args), kExitUsage) << args[0] << " " << args[1] << " " << args.size();
    }
    EXPECT_EQ(Run({"export-csv", "usa.hex", "CHWX"}), kExitUsage);
    EXPECT_NE(err.str().find("export-csv: unknown table CHWX (CHUSA, CHINT, CHCAN, CHRG or CHEXP)"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(Run({"import-csv", "usa.hex", "CHUSA", "list.csv"}), kExitUsage);
    EXPECT_NE(err.str().find("import-csv needs -o OUT"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"--help"}), kExitOk);
    EXPECT_NE(out.str().find("export-csv IN TABLE [-o OUT]"), std::string::npos);
    EXPECT_NE(out.str().find("import-csv IN TABLE CSV -o OUT"), std::string::npos);
}

TEST_F(CsvCliTest, ExportWritesOneRowPerChannelToStdoutOrAFile) {
    ASSERT_EQ(Run({"export-csv", Path("usa.hex"), "chusa"}), kExitOk) << err.str();
    const std::vector<std::string> lines = OutLines();
    // The US plan of the factory image: 51 channels, 01A first (simplex on 156.050 MHz),
    // 16 with scan, 70 receive only.
    ASSERT_EQ(lines.size(), 52u);
    EXPECT_EQ(lines[0], kHeader);
    EXPECT_EQ(lines[1],
              "1,PORT OPS VTS,156.050000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,S,"
              "25W,01A,,,,,01A,0,1,0,0,127,1,0,,,,");
    EXPECT_NE(out.str().find("\r\n14,DISTRESS,156.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->"
                             "Tone,FM,25.00,,25W,16,,,,,16,0,1,0,0,127,0,0,,,,\r\n"),
              std::string::npos);
    EXPECT_NE(out.str().find(",DSC,156.525000,off,156.525000,"), std::string::npos);
    const std::string stdoutText = out.str();
    ASSERT_EQ(Run({"export-csv", Path("usa.hex"), "CHUSA", "-o", Path("usa.csv")}), kExitOk);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadFile(folder / "usa.csv"), stdoutText);
    ASSERT_EQ(Run({"export-csv", Path("usa.hex"), "CHRG"}), kExitOk);
    EXPECT_EQ(OutLines(), std::vector<std::string>{kHeader});
}

TEST_F(CsvCliTest, ImportTakesEveryCatalogueChannelAndReportsTheRestByLine) {
    Write("us.csv", kUsList);
    ASSERT_EQ(Run({"import-csv", Path("usa.hex"), "CHUSA", Path("us.csv"), "-o", Path("boat.dat")}),
              kExitOk)
        << err.str();
    const std::string csv = Path("us.csv");
    // Row 6 keeps its receive frequency, the ship side of 26: simplex, not in the plan.
    EXPECT_EQ(err.str(),
              csv + ": 1 row without MRW columns: label and inter-ship flag from defaults\n" + csv +
                  ":2: channel 05A, TX_SIMP (receive 156.250, transmit 156.250 MHz): the "
                  "transmit frequency 151.650000 MHz was not used\n" +
                  csv +
                  ":6: channel 26, TX_SIMP (receive 157.300, transmit 157.300 MHz): the "
                  "transmit frequency 152.700000 MHz was not used; receive frequency kept; as "
                  "26, DUPLEX of the table it replaces it would receive 161.900 MHz\n" +
                  csv +
                  ":7: channel 70 receives only in the table it replaces; it does not "
                  "transmit\n" +
                  csv + ":8: 462.562500 MHz is no channel of the catalogue; skipped\n");
    EXPECT_EQ(out.str(), "");
    const std::string dat = ReadFile(folder / "boat.dat");
    EXPECT_NE(dat.find("[CHUSA7]"), std::string::npos);
    EXPECT_EQ(dat.find("[CHUSA8]"), std::string::npos);
    for (const char* name :
         {"SEA 05", "SEA 09", "SEA 16", "SEA 22", "SEA 26", "SEA 70", "SEA 88"}) {
        EXPECT_NE(dat.find(std::string("ChTag=#") + name + "\r\n"), std::string::npos) << name;
    }
    // What was not in the list stays: the other tables of the input file.
    ASSERT_EQ(Run({"check", Path("boat.dat")}), kExitOk) << err.str();
    EXPECT_EQ(out.str().rfind("HV2300 USA CHUSA=7 CHINT=", 0), 0u) << out.str();
}

TEST_F(CsvCliTest, ExportThenImportWritesTheSameSettingsFile) {
    ASSERT_EQ(Run({"convert", Path("usa.hex"), Path("usa.dat")}), kExitOk) << err.str();
    for (const char* table : {"CHUSA", "CHINT", "chcan"}) {
        ASSERT_EQ(Run({"export-csv", Path("usa.dat"), table, "-o", Path("t.csv")}), kExitOk);
        ASSERT_EQ(Run({"import-csv", Path("usa.dat"), table, Path("t.csv"), "-o", Path("b.dat")}),
                  kExitOk)
            << err.str();
        EXPECT_EQ(err.str(), "") << table;
        EXPECT_EQ(ReadFile(folder / "b.dat"), ReadFile(folder / "usa.dat")) << table;
    }
}

TEST_F(CsvCliTest, ARefusedListWritesNothingAndExitsOne) {
    Write("nofreq.csv", "Location,Name,Freq\n1,SEA 16,156.8\n");
    Write("nothing.csv", "Name,Frequency\nA,155.5\n");
    Write("user.csv", "Name,Frequency,Location\nCLUB,161.425,7\n");
    const std::string cannot = "cannot open " + Path("absent.csv");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"nofreq.csv", Path("nofreq.csv") + ": The file has no Frequency column."},
        {"nothing.csv", Path("nothing.csv") +
                            ":2: 155.500000 MHz is no channel of the "
                            "catalogue; skipped\n" +
                            Path("nothing.csv") + ": None of its 1 row could be taken.\n"},
        {"absent.csv", cannot},
    };
    for (const auto& [file, message] : cases) {
        EXPECT_EQ(Run({"import-csv", Path("usa.hex"), "CHUSA", Path(file.c_str()), "-o",
                       Path("out.dat")}),
                  kExitFailed)
            << file;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
        EXPECT_FALSE(fs::exists(folder / "out.dat")) << file;
    }
    // A user table takes the row and so writes its file.
    ASSERT_EQ(Run({"import-csv", Path("usa.hex"), "chrg", Path("user.csv"), "-o", Path("rg.hex")}),
              kExitOk)
        << err.str();
    EXPECT_EQ(ReadFile(folder / "rg.hex").size(), 32768u);
    ASSERT_EQ(Run({"check", Path("rg.hex")}), kExitOk) << err.str();
    EXPECT_NE(out.str().find(" CHRG=1 "), std::string::npos) << out.str();
}

}  // namespace
}  // namespace mrw::cli
