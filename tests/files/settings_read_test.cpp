// Reading a settings file into the data model: field rules, table rules, refusals, hostile
// files, and the model -> file -> model identity.
#include "files/settings_file.h"

#include "core/filled_model.h"
#include "core/profile.h"
#include "core/text.h"
#include "files/csv_channels.h"
#include "files/hex_file.h"
#include "files_fixture.h"
#include "image/codec.h"
#include "test_files.h"

namespace mrw::test {
namespace {

class SettingsReadTest : public FilesTest {
protected:
    // A file of the current model and region with the given sections after [MAIN].
    fs::path File(const std::string& body, const std::string& main = "MODELTYPE=1\r\nREGION=0") {
        fs::path path = dir / ("f" + std::to_string(++files_) + ".dat");
        WriteAll(path, "[MAIN]\r\n" + main + "\r\n" + body);
        return path;
    }
    // The read's outcome must agree with the flag it mirrors.
    void Read(const fs::path& path) {
        const bool read = ReadSettingsFile(config, path);
        EXPECT_EQ(read, !config.state.ErrorFlag);
    }

    // Expects a refused or failed read that left model and image exactly as they were.
    void ExpectUntouched(const DataModel& model, const Image& image) {
        EXPECT_TRUE(config.state.ErrorFlag);
        EXPECT_EQ(config.model, model);
        EXPECT_EQ(config.image.bytes, image.bytes);
        EXPECT_FALSE(config.state.Loading);
        EXPECT_EQ(shell.busyDepth, 0);
    }

    int files_ = 0;
};

TEST_F(SettingsReadTest, FieldConversions) {
    config.model.Common.ResumeTime = 4;
    config.model.Common.OffsetTime = 7;
    config.model.Common.Distance = 2;
    config.model.Common.Scan = true;
    config.model.Groups[1].PriorityCH = 12;
    config.model.AutoPos.Records[1].Enable = true;
    config.model.Groups[0].StatusName = "OLD";
    // Numbers as True/False, text, half-numbers and no numbers in every kind of section.
    Read(mrw::testing::TestData("files/settings_fields.dat"));
    ASSERT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());
    const DataModel& m = config.model;
    // Any number but 0 is True; unconvertible: the default; missing text: emptied.
    EXPECT_EQ(m.Groups[0], (ChannelGroup{true, 65535, "", {}}));
    EXPECT_EQ(m.Groups[1], (ChannelGroup{false, 0, "", {}}));
    EXPECT_EQ(m.Groups[2], (ChannelGroup{true, 0, "", {}}));
    EXPECT_EQ(m.Groups[3], (ChannelGroup{true, -2, "", {true, true, false}}));
    // SCAN and Offset Time no numbers, Distance empty: the defaults, not the values the
    // configuration held before.
    CommonSetup common;
    common.ResumeTime = 2;  // rounded half to even
    common.Sog = 2;
    common.Weater = 3;
    common.Format = true;
    EXPECT_EQ(m.Common, common);
    EXPECT_TRUE(m.AutoPos.MenuDisplay);  // leading number
    // "2 minutes" True, "0.4" False, "one" no number: the default.
    EXPECT_EQ(
        m.AutoPos.Records[0],
        (AutoPosRecord{.Enable = true, .Channel = "16x", .Interval = " 3", .LastAddress = 200}));
    EXPECT_EQ(m.AutoPos.Records[1], AutoPosRecord{});  // missing: the defaults
}

TEST_F(SettingsReadTest, WhatTheFileDoesNotGiveComesFromTheDefaultsNotTheOldConfiguration) {
    const fs::path path = File(
        "[Common Setup]\r\nSOG=1\r\n[DSC Setup (AutoPos Setup)]\r\nCHANNEL1=16\r\n"
        "[CHUSA1]\r\nPosition=16\r\n[CHMMSID2]\r\nEnable=1\r\nMmsid=211000000\r\n");
    testing::FillWithNonDefaults(config.model);
    Read(path);
    ASSERT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());
    const DataModel read = config.model;
    EXPECT_EQ(read.Common, (CommonSetup{.Sog = 1}));
    EXPECT_EQ(read.AutoPos.Records[0], AutoPosRecord{});
    EXPECT_EQ(read.AutoPos.Records[1], (AutoPosRecord{.Channel = "16"}));
    EXPECT_EQ(read.CHUSA, (ChannelTable{{.Position = 16, .Enable = true}}));
    EXPECT_EQ(read.CHMMSID[0], DirectoryRecord{});
    EXPECT_EQ(read.CHMMSID[1], (DirectoryRecord{true, "", "211000000"}));
    EXPECT_EQ(read.Groups[3], ChannelGroup{});

    // The same file over an empty model gives the same configuration.
    config.model = DataModel{};
    Read(path);
    EXPECT_EQ(config.model, read);
}

TEST_F(SettingsReadTest, TablesStopAtTheirEndAndDirectoriesAndWeatherAreReadByIndex) {
    config.model.CHINT.resize(5);
    config.model.CHMMSID[1] = {true, "KEEP", "111111111"};
    config.model.CHGRPID[31] = {false, "G", "222"};
    // Standard tables stop at the first gap, every record enabled; StatusNo takes any value of
    // its 7 bits (0 as written for a record without one, 5 as a radio's image may hold).
    // User tables stop at Enable 0 and at their limits (20 RG sections); "1x" and
    // " 2 channels" are no numbers as a whole, but their leading numbers are not 0: the
    // records are in use.
    Read(mrw::testing::TestData("files/settings_tables.dat"));
    ASSERT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());
    const DataModel& m = config.model;
    EXPECT_EQ(
        m.CHUSA,
        (ChannelTable{
            {.Position = 16, .Enable = true, .Duplex = 2, .ChTag = "DISTRESS", .StatusNo = 127},
            {.Position = 0, .Enable = true, .StatusNo = 0},
            {.Position = 119, .Enable = true, .InterShipCH = true, .StatusNo = 5}}));
    EXPECT_TRUE(m.CHINT.empty());  // no sections: emptied
    EXPECT_EQ(m.CHCAN, (ChannelTable{{.Position = 6, .Enable = true}}));
    ASSERT_EQ(m.CHRG.size(), 16u);
    EXPECT_TRUE(m.CHRG[0].Enable);
    EXPECT_EQ(m.CHRG[15].CHDisplayL, "R16");
    EXPECT_DOUBLE_EQ(m.CHRG[0].Rxfreq, 156.01);
    EXPECT_EQ(m.CHEXP, (ChannelTable{{.Enable = true,
                                      .ChTag = "=tag=",
                                      .CHDisplayR = "right",
                                      .Txfreq = 157.0125,
                                      .ExpCB = {true, false, true}}}));
    EXPECT_EQ(m.CHMMSID[0], (DirectoryRecord{true, "HOME", "211000000"}));
    EXPECT_EQ(m.CHMMSID[1], DirectoryRecord{});  // missing section: the default
    EXPECT_EQ(m.CHGRPID[31], (DirectoryRecord{true, "", ""}));
    ASSERT_EQ(m.CHWX.size(), 10u);
    EXPECT_FALSE(m.CHWX[3].Enable);
    EXPECT_TRUE(m.CHWX[3].ScanMemory);
    EXPECT_EQ(m.CHWX[3].ChTag, "WX");
    EXPECT_EQ(m.CHWX[4].ChTag, "");
}

TEST_F(SettingsReadTest, SectionsMadeByHandAreFoundOnlyUnderUpperCaseNames) {
    // ParseSections upper-cases every name; a name that still has a lower case letter can
    // equal no name the reader looks up, and does not hide a later one.
    DataModel m = config.model;
    m.Common.ResumeTime = 0;
    ASSERT_TRUE(ApplySettingsSections(
        {{"USaBLE CH GROUP SETUP", {{"PRIORITY CH0", "9"}}},
         {"Common Setup", {{"RESUME TIME", "1"}}},
         {"COMMON SETUP", {{"Resume Time", "2"}, {"RESUME TIME", "3"}, {"RESUME TIME", "4"}}}},
        false, m));
    EXPECT_EQ(m.Common.ResumeTime, 3);
    EXPECT_EQ(m.Groups[0].PriorityCH, config.model.Groups[0].PriorityCH);  // 9 not read
}

TEST_F(SettingsReadTest, AtisSettingsOfAFileWithoutThem) {
    // A model without ATIS: its files hold no ATIS section, and the usable-for-ATIS flags
    // follow the image the file is opened over (306 set, 322, 338 and 354 clear), never the
    // configuration it replaces.
    for (int address : {306, 322, 338, 354}) {
        config.image.Set(address, address == 306 ? 1 : 0);
    }
    config.model.Atis.UsableAtis = {false, true, true, true};
    Read(File("[Common Setup]\r\nSCAN=1\r\n"));
    ASSERT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());
    EXPECT_EQ(config.model.Atis.UsableAtis, (std::array<bool, 4>{true, false, false, false}));

    // A model with ATIS opening a file without ATIS sections: the defaults, not the old ones.
    UseModel(2, true);
    NewImage(config.image, config.model, 2);
    RebuildWeatherTable(config.model);
    config.image.Set(271, 0);
    config.model.Atis = {{true, false, true, false}, "1234567890", {false, true, true, false}};
    config.model.CallSigns[4] = {"MID", "DISP"};
    Read(File("[Common Setup]\r\nSCAN=1\r\n", "MODELTYPE=2\r\nREGION=0"));
    ASSERT_FALSE(config.state.ErrorFlag);
    EXPECT_EQ(config.model.Atis, AtisCommonSetup{});
    EXPECT_EQ(config.model.CallSigns[4], CallSignEntry{});
}

TEST_F(SettingsReadTest, RefusalLeavesEverythingAsItWasAndYesTakesTheFileRegion) {
    config.model.CHWX[2].Enable = false;  // also survives the weather table rebuild
    config.model.CHUSA.push_back({.Position = 5, .Enable = true});
    const DataModel model = config.model;
    const Image image = config.image;
    // Another model type, none, a region the program does not know, another region with the
    // question answered No (its default): one box each, and a refusal is no failure.
    for (const char* main : {"MODELTYPE=2\r\nREGION=0", "REGION=0", "MODELTYPE=1\r\nREGION=7",
                             "MODELTYPE=1\r\nREGION=2"}) {
        prompt.messages.clear();
        Read(File("[CHUSA1]\r\nPosition=9\r\n", main));
        ExpectUntouched(model, image);
        EXPECT_EQ(prompt.messages.size(), 1u) << main;
        EXPECT_FALSE(config.state.CancelFlag) << main;
    }

    // The MAIN keys are found like a profile lookup: case, blanks and one "#" do not matter.
    Read(File("[Common Setup]\r\nSOG=2\r\n", "modeltype = #1 \r\n region=0"));
    EXPECT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());
    EXPECT_EQ(config.model.Common.Sog, 2);
    prompt.answers.push_back(Answer::Yes);
    Read(File("[Common Setup]\r\nSOG=1\r\n", "MODELTYPE=1\r\nREGION=2"));
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_EQ(config.model.Common.Sog, 1);
    EXPECT_EQ(config.image.Get(271), 2);  // the file's region is taken over
}

TEST_F(SettingsReadTest, UnreadableAndHostileFilesFailCleanly) {
    config.state.DebugSwitch = true;
    config.model.CHUSA.push_back({.Position = 5, .Enable = true});
    DataModel model = config.model;
    Image image = config.image;
    auto expectReadError = [&](const fs::path& path, const std::string& reason) {
        prompt.messages.clear();
        config.state.CancelFlag = false;
        Read(path);
        ExpectUntouched(model, image);
        EXPECT_TRUE(config.state.CancelFlag);
        ASSERT_EQ(prompt.messages.size(), 1u) << path;
        EXPECT_EQ(prompt.messages[0].text, "FileRead Error!!\n" + reason);
        EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
    };
    // Every value that no field of the radio holds refuses the file, naming its line, section,
    // key and value, the value's control characters shown as "?".
    for (const mrw::testing::Case& c :
         mrw::testing::ReadCases(mrw::testing::TestData("files/settings_out_of_range.txt"))) {
        SCOPED_TRACE(c.where);
        expectReadError(File(c[1], "MODELTYPE=1\r\n" + c[0]), c[2]);
    }
    expectReadError(dir / "missing.dat", "cannot open " + (dir / "missing.dat").string() +
                                             ": No such file or directory");
    expectReadError(dir, dir.string() + " is not a regular file");
    // Larger than any real settings file.
    std::string big = "[MAIN]\r\nMODELTYPE=1\r\nREGION=0\r\n[CHUSA1]\r\nPosition=1\r\n";
    big.resize(kMaxSettingsFileSize + 1, 'x');
    fs::path huge = dir / "huge.dat";
    WriteAll(huge, big);
    expectReadError(huge, huge.string() + " is larger than 1048576 bytes");
    ReadFromFifo(dir / "pipe.dat", [&](const fs::path& pipe) {
        expectReadError(pipe, pipe.string() + " is not a regular file");
    });
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.FileRead2 -> "), std::string::npos);
}

// Values that are no numbers leave their fields at the defaults, and what the reader skips or
// cuts is listed by line; the rest of the file is read.
TEST_F(SettingsReadTest, WhatIsNotReadAsWrittenIsNotedByLine) {
    std::vector<mrw::testing::Case> cases =
        mrw::testing::ReadCases(mrw::testing::TestData("files/settings_notes.txt"));
    mrw::testing::Case many{"500 sections", {"", "CHUSA 96"}};
    for (int n = 1; n <= 500; ++n) {
        many.fields[0] +=
            "[CHUSA" + std::to_string(n) + "]\r\nPosition=" + std::to_string(n % 120) + "\r\n";
    }
    many.fields.push_back(
        "Line 196: [CHUSA97] and 403 more CHUSA sections are not read: the radio holds at most 96 "
        "channels in CHUSA.");
    cases.push_back(many);
    for (const mrw::testing::Case& c : cases) {
        SCOPED_TRACE(c.where);
        std::vector<SettingsNote> notes;
        ASSERT_TRUE(ReadSettingsFile(config, File(c[0]), &notes))
            << ::testing::PrintToString(Messages());
        std::vector<std::string> lines;
        for (const SettingsNote& note : notes) {
            lines.push_back(NoteLine(note));
        }
        EXPECT_EQ(lines, std::vector<std::string>(c.fields.begin() + 2, c.fields.end()));
        const size_t space = c[1].find(' ');
        EXPECT_EQ(TableOf(config.model, *ChannelTableOfName(c[1].substr(0, space)))->size(),
                  std::stoul(c[1].substr(space + 1)));
    }
}

TEST_F(SettingsReadTest, FactoryConfigurationsAndGoldenFilesOpenWithoutNotes) {
    std::vector<std::pair<fs::path, int>> files = {
        {SourceDir() / "tests" / "files" / "golden" / "INTL_08FD.dat", 1}};
    // Every factory region image of both model types, written as a settings file.
    for (const auto& entry : fs::directory_iterator(BinDir())) {
        const std::string name = entry.path().filename().string();
        for (int type : {1, 2}) {
            if (!name.ends_with(ModelFileSuffix(type) + ".ini")) {
                continue;
            }
            UseModel(type, type == 2);
            ASSERT_TRUE(LoadRegionImage(config, entry.path())) << name;
            const fs::path dat = dir / (name + ".dat");
            ASSERT_TRUE(WriteSettingsFile(config, dat)) << name;
            files.emplace_back(dat, type);
        }
    }
    // And the model types' own defaults, as New leaves them without region images.
    for (int type : {1, 2}) {
        UseModel(type, type == 2);
        NewImage(config.image, config.model, type);
        DecodeImage(config.image, config.model);
        RebuildWeatherTable(config.model);
        const fs::path dat = dir / ("new" + std::to_string(type) + ".dat");
        ASSERT_TRUE(WriteSettingsFile(config, dat));
        files.emplace_back(dat, type);
    }
    ASSERT_GT(files.size(), 8u);
    for (const auto& [path, type] : files) {
        UseModel(type, type == 2);
        NewImage(config.image, config.model, type);
        RebuildWeatherTable(config.model);
        config.image.Set(271, std::stoi(ProfileTextValue(ReadAll(path), "MAIN", "REGION")));
        std::vector<SettingsNote> notes;
        EXPECT_TRUE(ReadSettingsFile(config, path, &notes))
            << path << ::testing::PrintToString(Messages());
        for (const SettingsNote& note : notes) {
            ADD_FAILURE() << path << ": " << NoteLine(note);
        }
    }
}

TEST_F(SettingsReadTest, OddButReadableFilesFollowTheFieldRules) {
    std::string lines(100000, 'Z');
    static const char kNulRecord[] = "[CHUSA2]\r\nPosition=1\0 7\r\nChTag=\xC3\xA9\xFF\0x\r\n";
    std::string body = "[Common Setup]\r\n" + lines + "\r\nSOG=1\r\nDistance=" + lines +
                       "\r\n[CHUSA1]\r\nPosition=16\r\nChTag=#" + lines + "\r\n" +
                       std::string(kNulRecord, sizeof kNulRecord - 1) +
                       "[CHUSA3]\r\nPosition=2\r\n\x01\x02\x03\xFE binary\r\n";
    Read(File(body));
    ASSERT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());
    const DataModel& m = config.model;
    EXPECT_EQ(m.Common.Sog, 1);
    ASSERT_EQ(m.CHUSA.size(), 3u);
    EXPECT_EQ(m.CHUSA[0].ChTag, lines);
    EXPECT_EQ(m.CHUSA[1].Position, 1);
    EXPECT_EQ(m.CHUSA[1].ChTag, std::string("\xC3\xA9\xFF\0x", 5));

    // Truncated mid-line: what is there is read.
    Read(File("[CHUSA1]\r\nPosition=2\r\n[CHUSA2]\r\nPos"));
    ASSERT_FALSE(config.state.ErrorFlag);
    EXPECT_EQ(config.model.CHUSA.size(), 1u);
}

TEST_F(SettingsReadTest, OpenSetsNameAndShowsGeneralAndStartsANewHistory) {
    const auto edit = [this] {
        config.state.DataChanged = true;
        config.history.Record(DataModel{}, config.model, "SOG", "Common");
    };
    edit();
    // What is not read as written is shown once, after the file is opened.
    fs::path path = File("[CHUSA1]\r\nPosition=1\r\n[CHUSA3]\r\nPosition=3\r\n");
    shell.calls.clear();
    prompt.messages.clear();
    EXPECT_TRUE(OpenSettingsFile(config, path));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text,
              "The file was opened, but not all of it was read as written:\n"
              "Line 6: [CHUSA3] is not read: the table ends at [CHUSA2], which is missing.");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Information);
    EXPECT_FALSE(config.state.CancelFlag);
    EXPECT_FALSE(config.state.DataChanged);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_TRUE(shell.Called("caption"));
    EXPECT_TRUE(shell.Called("show General"));
    EXPECT_GE(clock.Seconds(), 0.5);
    EXPECT_FALSE(config.history.CanUndo());

    edit();
    EXPECT_FALSE(OpenSettingsFile(config, File("", "MODELTYPE=2")));
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_TRUE(config.state.DataChanged);
    EXPECT_TRUE(config.history.CanUndo());  // a refused file replaces nothing
    EXPECT_EQ(config.state.CurrentFileName, path.string());
}

// ---- model -> file -> model ----------------------------------------------------------------

struct Randomizer {
    std::mt19937 rng;
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool Bool() { return Int(0, 1) == 1; }
    int16_t Int16(int lo, int hi) { return static_cast<int16_t>(Int(lo, hi)); }
    // Any bytes but line ends, sometimes beginning with "#" or holding "=".
    std::string Text(int maxLength = 20) {
        std::string s(static_cast<size_t>(Int(0, maxLength)), '#');
        for (char& c : s) {
            const int b = Int(1, 255);
            c = b == '\r' || b == '\n' ? '#' : static_cast<char>(b);
        }
        return s;
    }
    // Up to the 999.99999 MHz a settings file may hold, far beyond what the radio stores.
    double Mhz() { return Int(0, 99999999) / 100000.0; }
    template <std::size_t N>
    void Flags(std::array<bool, N>& flags) {
        for (bool& b : flags) {
            b = Bool();
        }
    }
};

// Braced lists are evaluated left to right, so a seed gives one configuration.
void Randomize(Randomizer& r, DataModel& m) {
    for (ChannelGroup& g : m.Groups) {
        g = {r.Bool(), r.Int(-65535, 65535), r.Text(6), g.ExpChGroup};
    }
    r.Flags(m.Groups[3].ExpChGroup);
    m.Common = {0,        r.Bool(),         r.Bool(),      r.Bool(),      r.Int16(0, 5), r.Bool(),
                r.Bool(), r.Int16(-24, 24), r.Int16(0, 3), r.Int16(0, 2), r.Int16(0, 2)};
    r.Flags(m.DscBasic.UsableDsc);
    m.DscBasic.UserMmsi = r.Text(10);
    r.Flags(m.DscBasic.PosRequest);
    r.Flags(m.DscBasic.PosRequestTx);
    r.Flags(m.DscBasic.BeepOut);
    for (DscCallType& t : m.DscAdvanced) {
        r.Flags(t.List);
        r.Flags(t.Tx);
    }
    r.Flags(m.DscDisplay);
    m.AutoPos.MenuDisplay = r.Bool();
    for (AutoPosRecord& a : m.AutoPos.Records) {
        a = {r.Bool(),
             r.Int16(0, 255),
             std::to_string(r.Int(0, 32767)),
             std::to_string(r.Int(0, 14)),
             r.Int16(0, 1),
             r.Int16(0, 255),
             r.Bool(),
             r.Text(10)};
    }
    r.Flags(m.Atis.UsableAtis);
    m.Atis.AtisCode = r.Text(10);
    r.Flags(m.Atis.UsableKikker);
    for (CallSignEntry& e : m.CallSigns) {
        e = {r.Text(5), r.Text(8)};
    }
    for (ChannelTable* t : {&m.CHUSA, &m.CHINT, &m.CHCAN}) {
        t->resize(static_cast<size_t>(r.Int(0, kMaxStandardChannels)));
        for (ChannelRecord& c : *t) {  // the file reads every standard channel as enabled
            c = {.Position = static_cast<int16_t>(r.Int(0, 119)),
                 .Enable = true,
                 .LowPower = r.Bool(),
                 .PowUp = r.Bool(),
                 .Duplex = static_cast<int16_t>(r.Int(0, 3)),
                 .TxEnable = r.Bool(),
                 .ScanMemory = r.Bool(),
                 .ChTag = r.Text(16),
                 .StatusIcon = static_cast<int16_t>(r.Int(0, 2)),
                 .InterShipCH = r.Bool(),
                 .StatusNo = std::array<int16_t, 3>{10, 20, 127}[r.Int(0, 2)]};
        }
    }
    for (ChannelRecord& w : m.CHWX) {  // the weather records keep their other fields
        w.Enable = r.Bool();
        w.ScanMemory = r.Bool();
        w.ChTag = r.Text(12);
    }
    auto directory = [&r](auto& records) {
        for (DirectoryRecord& d : records) {
            d = {r.Bool(), r.Text(11), r.Text(10)};
        }
    };
    directory(m.CHMMSID);
    directory(m.CHGRPID);
    for (auto [t, limit] : {std::pair{&m.CHRG, kMaxRgChannels}, {&m.CHEXP, kMaxExpChannels}}) {
        t->resize(static_cast<size_t>(r.Int(0, limit)));
        for (ChannelRecord& c : *t) {  // a disabled user channel ends its table
            c = {.Enable = true,
                 .LowPower = r.Bool(),
                 .PowUp = r.Bool(),
                 .TxEnable = r.Bool(),
                 .ScanMemory = r.Bool(),
                 .ChTag = r.Text(16),
                 .CHDisplayL = r.Text(2),
                 .CHDisplayR = r.Text(2),
                 .Txfreq = r.Mhz(),
                 .Rxfreq = r.Mhz(),
                 .ExpCB = {r.Bool(), r.Bool(), r.Bool()}};
        }
    }
}

TEST_F(SettingsReadTest, ModelFileModelIsTheIdentity) {
    for (bool atis : {false, true}) {
        for (unsigned seed = 1; seed <= 12; ++seed) {
            SCOPED_TRACE("atis " + std::to_string(atis) + " seed " + std::to_string(seed));
            UseModel(atis ? 2 : 1, atis);
            NewImage(config.image, config.model, config.state.ModelType);
            RebuildWeatherTable(config.model);
            config.image.Set(271, static_cast<int>(seed % 6));
            Randomizer r{std::mt19937(seed)};
            Randomize(r, config.model);
            DataModel written = config.model;
            fs::path path = dir / "roundtrip.dat";
            WriteSettingsFile(config, path);
            ASSERT_FALSE(config.state.ErrorFlag);

            // Read into a different configuration, so that a field the reader skips shows.
            Randomize(r, config.model);
            config.model.Common.TxPowerMode = 2;
            DataModel other = config.model;
            ReadSettingsFile(config, path);
            ASSERT_FALSE(config.state.ErrorFlag) << ::testing::PrintToString(Messages());

            // What the file does not hold takes its default, not the value of `other`.
            DataModel expected = written;
            expected.Common.TxPowerMode = 0;
            for (int g = 0; g < 3; ++g) {
                expected.Groups[g].ExpChGroup = {};
            }
            if (!atis) {  // neither written nor read: the usable flags are the image's bytes
                expected.Atis = AtisCommonSetup{};
                for (size_t g = 0; g < 4; ++g) {
                    expected.Atis.UsableAtis[g] =
                        config.image.Get(306 + 16 * static_cast<int>(g)) != 0;
                }
                expected.CallSigns = {};
            }
            EXPECT_EQ(config.model, expected);
            EXPECT_EQ(config.image.Get(271), seed % 6);
        }
    }
}

}  // namespace
}  // namespace mrw::test
