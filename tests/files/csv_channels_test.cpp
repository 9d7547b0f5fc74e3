// Channel tables as CSV in CHIRP's layout: the CSV reader, the exact rows an export writes,
// how the rows of a shared marine list map onto the catalogue and onto user channels, the
// notes of every row not taken or changed.
#include "files/csv_channels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "core/config.h"
#include "core/text.h"
#include "edit/edit.h"
#include "image/image.h"
#include "model/catalogue.h"
#include "test_files.h"

namespace mrw {

void PrintTo(const CsvNote& note, std::ostream* os) {
    *os << "{" << note.line << ", \"" << note.text << "\"}";
}

namespace {

using testing::Case;
using testing::ReadCases;
using testing::TestData;

// ---- Records the tests build ---------------------------------------------------------------

// The cases of tests/data/files/<name> whose first field is `scenario`.
std::vector<Case> Rows(const char* name, const std::string& scenario) {
    std::vector<Case> rows = ReadCases(TestData(std::string("files/") + name));
    std::erase_if(rows, [&](const Case& c) { return c[0] != scenario; });
    return rows;
}
// The standard channel records of a scenario of tests/data/files/csv_records.txt.
ChannelTable Records(const std::string& scenario) {
    ChannelTable table;
    for (const Case& c : Rows("csv_records.txt", scenario)) {
        auto n = [&c](size_t k) { return static_cast<int16_t>(std::stoi(c[k])); };
        table.push_back({.Position = n(2),
                         .Enable = true,
                         .LowPower = n(7) != 0,
                         .Duplex = n(5),
                         .TxEnable = n(6) != 0,
                         .ScanMemory = n(8) != 0,
                         .ChTag = c[1],
                         .StatusIcon = n(4),
                         .InterShipCH = n(9) != 0,
                         .StatusNo = n(3)});
    }
    return table;
}

ChannelRecord User(const char* display, double rx, double tx, const char* name) {
    ChannelRecord r;
    r.Enable = true;
    r.TxEnable = true;
    r.CHDisplayL = display;
    r.Rxfreq = rx;
    r.Txfreq = tx;
    r.ChTag = name;
    return r;
}

// The record fields a standard channel is known by, with its label.
using StandardFields = std::tuple<std::string, int, bool, bool, bool, bool, std::string>;
StandardFields Fields(const ChannelRecord& r) {
    return {ChannelLabel(r), r.Duplex,      r.TxEnable, r.LowPower,
            r.ScanMemory,    r.InterShipCH, r.ChTag};
}

// The standard channels, the notes and the CSV file of a scenario.
std::vector<StandardFields> Channels(const std::string& scenario) {
    std::vector<StandardFields> out;
    for (const Case& c : Rows("csv_import_standard.txt", scenario)) {
        out.emplace_back(c[1], std::stoi(c[2]), c[3] == "1", c[4] == "1", c[5] == "1", c[6] == "1",
                         c[7]);
    }
    return out;
}
std::vector<CsvNote> Notes(const std::string& scenario) {
    std::vector<CsvNote> out;
    for (const Case& c : Rows("csv_import_notes.txt", scenario)) {
        out.push_back({std::stoi(c[1]), c[2]});
    }
    return out;
}
std::string Input(const std::string& scenario) {
    std::string csv;
    for (const Case& c : Rows("csv_import_inputs.txt", scenario)) {
        csv += c[1] + "\n";
    }
    return csv;
}
std::vector<StandardFields> FieldsOf(const ChannelTable& table) {
    std::vector<StandardFields> out;
    for (const ChannelRecord& r : table) {
        out.push_back(Fields(r));
    }
    return out;
}

// ---- The CSV reader --------------------------------------------------------------------------

TEST(CsvReader, SplitsRecordsAndFields) {
    for (const Case& c : ReadCases(TestData("files/csv_reader.txt"))) {
        SCOPED_TRACE(c.where);
        int unclosed = -1;
        std::string records;
        for (const CsvRecord& r : ParseCsv(c[1], &unclosed)) {
            records += (records.empty() ? "" : " ") + std::to_string(r.line);
            for (const std::string& f : r.fields) {
                records += "[" + f + "]";
            }
        }
        EXPECT_EQ(records, c[2]);
        EXPECT_EQ(unclosed, std::stoi(c[3]));
    }
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
    for (const Case& c : ReadCases(TestData("files/csv_field.txt"))) {
        EXPECT_EQ(CsvField(c[0]), c[1]) << c.where;
    }
}

// ---- Export ------------------------------------------------------------------------------

// The exact text of an export, as written by hand in tests/data/files.
std::string Golden(const char* name) {
    return testing::ReadFile(TestData(std::string("files/") + name));
}

TEST(CsvExport, TablesAsTheGoldenFilesHoldThem) {
    DataModel model;
    model.CHUSA = Records("export");
    model.CHUSA[6].PowUp = true;
    EXPECT_EQ(ChannelTableCsv(model, TableKind::USA), Golden("csv_export_standard.csv"));

    model.CHEXP = {User("M1", 157.85, 157.85, "MARINAS"), User("R2", 157.0, 157.6, "REPEATER"),
                   User(" 3", 161.425, 156.0, "LISTEN")};
    model.CHEXP[0].ExpCB = {true, false, false};
    model.CHEXP[0].ScanMemory = true;
    model.CHEXP[1].LowPower = true;
    model.CHEXP[1].ExpCB = {false, true, true};
    model.CHEXP[2].TxEnable = false;
    const std::string user = Golden("csv_export_user.csv");
    EXPECT_EQ(ChannelTableCsv(model, TableKind::EXP), user);
    // The file read back gives every field of these user channels.
    const CsvImport back = ImportChannelCsv(user, TableKind::EXP, {});
    EXPECT_EQ(back.table, model.CHEXP);
    EXPECT_EQ(back.notes, std::vector<CsvNote>{});
    // An empty table is the header alone; RG channels are named RG01 and on.
    EXPECT_EQ(ChannelTableCsv(model, TableKind::CAN), user.substr(0, user.find("\r\n") + 2));
    model.CHRG = {User("01", 156.8, 156.8, "")};
    EXPECT_NE(
        ChannelTableCsv(model, TableKind::RG)
            .find("\r\n1,,156.800000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,25.00,S,25W,"
                  "RG01,,,,,,,1,0,0,,,,01,0,0,0\r\n"),
        std::string::npos);
}

// ---- Import into a standard table --------------------------------------------------------

// The table the import replaces, as a region's factory plan has it.
ChannelTable UsPlan() {
    return Records("plan");
}

// A marine list as boaters share it: a byte-order mark, CR LF, a column MRW does not know
// (Region), no MRW columns, 50 W everywhere, simplex channels written with "-" and an
// offset that means nothing, a comment with commas.
const std::string kSharedList = Golden("csv_shared_list.csv");

TEST(CsvImportStandard, SharedMarineListMapsOntoTheCatalogue) {
    const CsvImport result = ImportChannelCsv(kSharedList, TableKind::USA, UsPlan());
    EXPECT_EQ(result.refusal, "");
    EXPECT_EQ(result.rows, 11);
    for (const ChannelRecord& r : result.table) {
        EXPECT_TRUE(r.Enable);
        EXPECT_EQ(r.Scramble, 0);
    }
    EXPECT_EQ(FieldsOf(result.table), Channels("shared"));
    // Rows 5 (18), 6 (24 simplex), 7 (20) and 10 (09) are not in the plan.
    EXPECT_EQ(result.notes, Notes("shared"));
}

// Without a plan the catalogue gives the mode; MRW's flag columns decide and say when they
// disagree with the list; a list CHIRP saved back keeps label, power and inter-ship flag of
// the plan.
TEST(CsvImportStandard, ScenariosGiveTheirChannelsAndNotes) {
    const std::tuple<const char*, TableKind, ChannelTable> cases[] = {
        {"noplan", TableKind::INT, {}},
        {"flags", TableKind::USA, {}},
        {"chirp", TableKind::USA, UsPlan()}};
    for (const auto& [scenario, kind, plan] : cases) {
        SCOPED_TRACE(scenario);
        const CsvImport result = ImportChannelCsv(Input(scenario), kind, plan);
        EXPECT_EQ(FieldsOf(result.table), Channels(scenario));
        EXPECT_EQ(result.notes, Notes(scenario));
        if (std::string(scenario) == "noplan") {
            EXPECT_EQ(result.table.at(0).StatusNo, 127);
        } else if (std::string(scenario) == "flags") {
            EXPECT_TRUE(result.table.at(0).PowUp);
        }
    }
}

TEST(CsvImportStandard, LabelInCommentOrMrwColumnsNamesTheChannel) {
    std::string csv =
        "Location,Name,Frequency,Duplex,Offset,Comment,MRW_Channel,MRW_Duplex,MRW_StatusNo\n";
    std::vector<std::tuple<std::string, int, int, int>> got, want;
    for (const Case& c : ReadCases(TestData("files/csv_import_label.txt"))) {
        csv += c[0] + "\n";
        want.emplace_back(c[1], std::stoi(c[2]), std::stoi(c[3]), std::stoi(c[4]));
    }
    const CsvImport result = ImportChannelCsv(csv, TableKind::CAN, {});
    for (const ChannelRecord& r : result.table) {
        got.emplace_back(ChannelLabel(r), r.Position, r.StatusNo, r.Duplex);
    }
    EXPECT_EQ(got, want);
    EXPECT_EQ(result.notes, Notes("label"));
}

TEST(CsvImportReceiveOnly, KeepsTheReceiveFrequencyOrSkipsAndSaysSo) {
    for (const Case& c : ReadCases(TestData("files/csv_receive_only.txt"))) {
        SCOPED_TRACE(c.where);
        const CsvImport result =
            ImportChannelCsv("Name,Frequency,Duplex,Offset,MRW_Channel,MRW_Duplex\n" + c[0] + "\n",
                             TableKind::USA, UsPlan());
        if (c[1].empty()) {
            EXPECT_TRUE(result.table.empty());
        } else {
            ASSERT_EQ(result.table.size(), 1u);
            const ChannelRecord& r = result.table[0];
            EXPECT_EQ(ChannelLabel(r), c[1]);
            EXPECT_EQ(r.Duplex, std::stoi(c[2]));
            EXPECT_EQ(r.TxEnable, c[4] == "1");
            const auto& row = ChannelCatalogue()[static_cast<size_t>(r.Position)];
            EXPECT_NEAR(r.Duplex == 0 || r.Duplex == 3 ? row.F2 : row.F3, std::stod(c[3]), 1e-6);
        }
        EXPECT_EQ(result.notes,
                  (c[5].empty() ? std::vector<CsvNote>{} : std::vector<CsvNote>{{2, c[5]}}));
    }
}

// CHIRP writes a list back without MRW's columns and without Power.
TEST(CsvImportChirp, ChannelsOfTheReplacedTableKeepWhatTheListLost) {
    ChannelTable current = {User("M1", 157.85, 157.85, "MARINAS"),
                            User("R2", 157.0, 157.6, "REPEATER"),
                            User("L3", 161.425, 156.0, "LISTEN")};
    current[0].LowPower = true;
    current[0].ExpCB = {true, false, true};
    current[1].LowPower = true;
    current[1].PowUp = true;
    current[1].ExpCB = {false, true, false};
    current[2].TxEnable = false;
    current[2].ExpCB = {true, true, true};
    // The list as CHIRP saves it back: three of the table's channels and two new ones.
    const std::string chirp = Golden("csv_chirp_exp.csv");
    const CsvImport result = ImportChannelCsv(chirp, TableKind::EXP, current);
    std::vector<std::string> got, want;
    for (const ChannelRecord& r : result.table) {
        got.push_back(r.CHDisplayL + " " + std::to_string(std::lround(r.Txfreq * 1e6)) + " " +
                      std::to_string(r.TxEnable) + std::to_string(r.LowPower) +
                      std::to_string(r.PowUp) + " " + std::to_string(r.ExpCB[0]) +
                      std::to_string(r.ExpCB[1]) + std::to_string(r.ExpCB[2]));
    }
    for (const Case& c : ReadCases(TestData("files/csv_chirp_kept.txt"))) {
        want.push_back(c[0] + " " + std::to_string(std::lround(std::stod(c[1]) * 1e6)) + " " +
                       c[2] + c[3] + c[4] + " " + c[5]);
    }
    EXPECT_EQ(got, want);
    EXPECT_EQ(
        result.notes,
        (std::vector<CsvNote>{
            {0, "2 rows without MRW columns: display label, power and groups from defaults"}}));

    // The same list with Power: the power is the list's.
    const CsvImport powered = ImportChannelCsv(
        "Location,Name,Frequency,Power\n1,MARINAS,157.850000,25W\n2,NEW,156.800000,1W\n",
        TableKind::EXP, current);
    ASSERT_EQ(powered.table.size(), 2u);
    EXPECT_EQ(powered.table[0].CHDisplayL, "M1");
    EXPECT_FALSE(powered.table[0].LowPower);
    EXPECT_TRUE(powered.table[1].LowPower);
    EXPECT_EQ(powered.notes,
              (std::vector<CsvNote>{
                  {0, "1 row without MRW columns: display label and groups from defaults"}}));

    // Any MRW column: the columns decide, nothing is lent.
    const CsvImport mrw = ImportChannelCsv("Name,Frequency,MRW_Group1\nMARINAS,157.850000,\n",
                                           TableKind::EXP, current);
    ASSERT_EQ(mrw.table.size(), 1u);
    EXPECT_EQ(mrw.table[0].CHDisplayL, "01");
    EXPECT_EQ(mrw.table[0].ExpCB, (std::array<bool, 3>{false, false, false}));
}

// Whatever a field holds, a note quotes it on one line of at most 80 characters.
TEST(CsvImportNotes, QuoteTheFileOnOneShortLine) {
    for (const Case& c : ReadCases(TestData("files/csv_note_quotes.txt"))) {
        const CsvImport result = ImportChannelCsv(
            "Name,Frequency,Duplex,Offset,MRW_Channel\n" + c[0], TableKind::USA, {});
        ASSERT_FALSE(result.notes.empty()) << c.where;
        EXPECT_EQ(result.notes[0], (CsvNote{2, c[1]})) << c.where;
    }
}

// ---- Import into a user table --------------------------------------------------------------

TEST(CsvImportUser, FrequenciesAreCheckedAsTheChannelPanelChecksThem) {
    const CsvImport result = ImportChannelCsv(Input("user"), TableKind::RG, {});
    // Frequencies in Hz, so that the rows compare whole.
    std::vector<std::string> got, want;
    for (const ChannelRecord& r : result.table) {
        got.push_back(
            r.CHDisplayL + " " + std::to_string(std::lround(r.Rxfreq * 1e6)) + " " +
            std::to_string(std::lround(r.Txfreq * 1e6)) + " " + std::to_string(r.TxEnable) +
            std::to_string(r.LowPower) + std::to_string(r.ScanMemory) + " " + r.ChTag + " " +
            std::to_string(r.ExpCB[0]) + std::to_string(r.ExpCB[1]) + std::to_string(r.ExpCB[2]));
        EXPECT_EQ(r.Position, 0);
        EXPECT_EQ(r.StatusNo, 0);
        EXPECT_TRUE(r.Enable);
    }
    for (const Case& c : ReadCases(TestData("files/csv_import_user.txt"))) {
        want.push_back(c[0] + " " + c[1] + " " + c[2] + " " + c[3] + c[4] + c[5] + " " + c[6] +
                       " " + c[7]);
    }
    EXPECT_EQ(got, want);
    EXPECT_EQ(result.notes, Notes("user"));
}

// ---- Names ---------------------------------------------------------------------------------

TEST(CsvImportNames, KeepTheChannelPanelsCharactersAndSixteenOfThem) {
    for (const Case& c : ReadCases(TestData("files/csv_names.txt"))) {
        SCOPED_TRACE(c.where);
        for (TableKind kind : {TableKind::USA, TableKind::EXP}) {
            const std::string csv = "Name,Frequency\n" + CsvField(c[0]) + ",156.800000\n";
            const CsvImport result = ImportChannelCsv(csv, kind, {});
            ASSERT_EQ(result.table.size(), 1u);
            EXPECT_EQ(result.table[0].ChTag, c[1]);
            std::vector<CsvNote> rowNotes;  // without the file's note on the MRW columns
            std::copy_if(result.notes.begin(), result.notes.end(), std::back_inserter(rowNotes),
                         [](const CsvNote& n) { return n.line == 2; });
            if (c[2].empty()) {
                EXPECT_TRUE(rowNotes.empty() || rowNotes[0].text.rfind("name", 0) != 0);
            } else {
                ASSERT_FALSE(rowNotes.empty());
                EXPECT_EQ(rowNotes[0], (CsvNote{2, c[2]}));
            }
        }
    }
}

// ---- Capacity and refusals -------------------------------------------------------------------

TEST(CsvImportCapacity, RowsBeyondTheTableAreSkippedOneByOne) {
    const std::tuple<TableKind, int, int> cases[] = {{TableKind::USA, 100, 96},
                                                     {TableKind::CAN, 97, 96},
                                                     {TableKind::RG, 20, 16},
                                                     {TableKind::EXP, 65, 64}};
    for (const auto& [kind, rows, capacity] : cases) {
        SCOPED_TRACE(ChannelTableName(kind));
        std::string csv = "Location,Name,Frequency\n";
        for (int i = 1; i <= rows; ++i) {
            csv += std::to_string(i) + ",N" + std::to_string(i) + ",156.800000\n";
        }
        csv += "999,BAD,1.0\n";  // a row that is not taken anyway keeps its own reason
        const CsvImport result = ImportChannelCsv(csv, kind, {});
        ASSERT_EQ(static_cast<int>(result.table.size()), capacity);
        EXPECT_EQ(result.table.back().ChTag, "N" + std::to_string(capacity));
        std::vector<CsvNote> want = {
            {0, std::to_string(capacity) + " rows without MRW columns: " +
                    (IsUserTable(kind) ? "display label, power and groups"
                                       : "label, power and inter-ship flag") +
                    " from defaults"}};
        for (int i = capacity + 1; i <= rows; ++i) {
            want.push_back({i + 1, ChannelTableName(kind) + " holds " + std::to_string(capacity) +
                                       " channels; skipped"});
        }
        want.push_back({rows + 2, IsUserTable(kind)
                                      ? "receive frequency 1.000000 MHz lies outside 137 to 174 "
                                        "MHz; skipped"
                                      : "1.000000 MHz is no channel of the catalogue; skipped"});
        EXPECT_EQ(result.notes, want);
        EXPECT_EQ(result.refusal, "");
    }
}

TEST(CsvImportRefusal, TakesNothingAndSaysWhy) {
    for (const Case& c : ReadCases(TestData("files/csv_refusals.txt"))) {
        SCOPED_TRACE(c.where);
        const CsvImport result = ImportChannelCsv(c[0], TableKind::USA, UsPlan());
        EXPECT_TRUE(result.table.empty());
        EXPECT_EQ(result.refusal, c[1]);
    }
    // The notes of a refused file say what is wrong with each row.
    const CsvImport result =
        ImportChannelCsv("Name,Frequency\nA,155.5\nB,abc\n", TableKind::USA, {});
    EXPECT_EQ(result.notes,
              (std::vector<CsvNote>{{2, "155.500000 MHz is no channel of the catalogue; skipped"},
                                    {3, "Frequency \"abc\" is no frequency; skipped"}}));
    EXPECT_EQ(result.rows, 2);
}

// ---- Applying and summing up ---------------------------------------------------------------

// The services a configuration needs to be edited or loaded.
struct Services {
    explicit Services(Config& config) {
        config.services.prompt = &prompt;
        config.services.clock = &clock;
        config.services.settings = &store;
    }
    ScriptedPrompt prompt;
    VirtualClock clock;
    MemorySettingsStore store;
};

TEST(CsvImportApply, ReplacesTheTableThroughEditModel) {
    Config config;
    Services services(config);
    config.model.CHUSA = UsPlan();
    config.model.CHINT = UsPlan();
    const CsvImport result = ImportChannelCsv(kSharedList, TableKind::INT, config.model.CHINT);
    config.state.Loading = true;  // the program filling its controls changes nothing
    EXPECT_FALSE(ApplyChannelImport(config, TableKind::INT, result.table));
    EXPECT_EQ(config.model.CHINT, UsPlan());
    config.state.Loading = false;
    EXPECT_TRUE(ApplyChannelImport(config, TableKind::INT, result.table));
    EXPECT_EQ(config.model.CHINT, result.table);
    EXPECT_EQ(config.model.CHUSA, UsPlan());
    EXPECT_TRUE(config.state.DataChanged);
    EXPECT_FALSE(ApplyChannelImport(config, TableKind::WX, result.table));
}

TEST(CsvImportSummary, CountsChannelsAndListsTheNotes) {
    DataModel model;
    model.Groups[0].StatusName = "USA";
    model.CHUSA = UsPlan();
    const CsvImport result = ImportChannelCsv(kSharedList, TableKind::USA, model.CHUSA);
    EXPECT_EQ(ImportSummary(model, TableKind::USA, result, 2),
              "9 channels from the file will replace the 6 channels of Group1(USA).\n"
              "2 rows of the file are skipped.\n"
              "\n"
              "file: 4 rows without MRW columns: label and inter-ship flag from defaults\n"
              "line 2: channel 01A, TX_SIMP (receive 156.050, transmit 156.050 MHz): the "
              "transmit frequency 151.450000 MHz was not used\n"
              "... and 6 more notes.");
    CsvImport one;
    one.rows = 1;
    one.table = {{.Position = 16, .Enable = true}};
    model.CHRG.clear();
    EXPECT_EQ(ImportSummary(model, TableKind::RG, one, 10),
              "1 channel from the file will replace the 0 channels of RG Channel.");
    EXPECT_EQ(NoteText({0, "whole"}), "file: whole");
}

}  // namespace
}  // namespace mrw
