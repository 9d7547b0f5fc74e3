// Writing the settings file: layout, encodings, the golden factory file, saving.
#include "files/settings_file.h"

#include <clocale>

#include "core/text.h"
#include "files/hex_file.h"
#include "files_fixture.h"
#include "image/codec.h"
#include "test_files.h"

namespace mrw::test {
namespace {

using SettingsWriteTest = FilesTest;

std::vector<std::string> Headers(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& l : Split(text, "\r\n")) {
        if (!l.empty() && l[0] == '[') {
            out.push_back(l);
        }
    }
    return out;
}

TEST_F(SettingsWriteTest, GoldenFactoryFile) {
    fs::path golden = SourceDir() / "tests" / "files" / "golden" / "INTL_08FD.dat";
    std::string bytes = ReadAll(BinDir() / "INTL_08FD.ini");
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kImageSize));
    std::copy(bytes.begin(), bytes.end(), config.image.bytes.begin());
    DecodeImage(config.image, config.model);
    std::string text = SettingsFileText(config);
    if (std::getenv("MRW_UPDATE_GOLDEN") != nullptr) {
        WriteAll(golden, text);
    }
    EXPECT_EQ(text, ReadAll(golden)) << "regenerate with MRW_UPDATE_GOLDEN=1 after checking why";
}

TEST_F(SettingsWriteTest, SectionsOnlyForRecordsAndAtisModels) {
    DataModel& m = config.model;
    m.CHUSA.resize(2);
    m.CHINT.clear();
    m.CHCAN.resize(1);
    m.CHRG.resize(1);
    m.CHEXP.resize(3);
    for (bool atis : {false, true}) {
        config.state.AtisSupported = atis;
        std::vector<std::string> expected;
        for (const mrw::testing::Case& c :
             mrw::testing::ReadCases(mrw::testing::TestData("files/settings_headers.txt"))) {
            if (atis || c[0] == "0") {
                expected.push_back(c[1]);
            }
        }
        EXPECT_EQ(Headers(SettingsFileText(config)), expected);
    }
}

TEST_F(SettingsWriteTest, ValueEncodingsWhateverTheLocale) {
    DataModel& m = config.model;
    m.Groups[0].PriorityCH = 65535;  // an erased image: written whole, not dropped
    m.Groups[1].PriorityCH = -1;
    m.Groups[2].PriorityCH = 70000;
    m.Groups[3].ExpChGroup = {true, false, true};
    m.Groups[3].StatusName = "#EX";
    m.Common.OffsetTime = -11;
    m.CHEXP.push_back({.Enable = true, .CHDisplayL = "#A", .Txfreq = 157.0125, .Rxfreq = 156.8});
    m.CHEXP.back().ExpCB = {false, true, false};
    m.CHMMSID[79] = {true, "#TAG", "123456789"};
    m.Atis.AtisCode = "9211234560";
    m.CallSigns[31] = {"211", "#D"};
    m.AutoPos.Records[1].Channel = "#16";
    config.state.AtisSupported = true;
    config.image.Set(271, 9);  // names no region
    // A locale with a decimal comma must not change the file.
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old != nullptr ? old : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    auto lines = Split(SettingsFileText(config), "\r\n");
    std::setlocale(LC_ALL, saved.c_str());

    for (const mrw::testing::Case& c :
         mrw::testing::ReadCases(mrw::testing::TestData("files/settings_value_lines.txt"))) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), c[0]), lines.end()) << c.where;
    }
}

TEST_F(SettingsWriteTest, SaveAsAsksSaveDoesNotAndBothPause) {
    config.state.DataChanged = true;
    fs::path path = dir / "mine.dat";
    config.services.documentsFolder = dir / "Documents";
    prompt.fileNames.push_back(path.string());
    EXPECT_EQ(SaveSettings(config, true), Outcome::Done);  // no current name: the dialog is used
    ASSERT_EQ(prompt.dialogs.size(), 1u);
    const FileDialogRequest& d = prompt.dialogs[0];
    EXPECT_TRUE(d.save && d.overwritePrompt);
    EXPECT_EQ(d.filter, "dat files(*.dat)|*.dat|All files(*.*)|*.*");
    EXPECT_EQ(d.folder, (dir / "Documents").string());  // never the program's folder
    EXPECT_EQ(store.Get("Settings", "lastfolder"), dir.string());
    EXPECT_EQ(d.initialName + d.title, "");
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_FALSE(config.state.DataChanged || config.state.CancelFlag || config.state.Loading);
    EXPECT_TRUE(shell.Called("caption") && shell.Called("busy"));
    EXPECT_EQ(shell.busyDepth, 0);
    EXPECT_GE(clock.Seconds(), 0.5);
    EXPECT_TRUE(Messages().empty());

    // Save uses the current name without asking; Save As asks again.
    config.model.Common.Scan = !config.model.Common.Scan;
    SaveSettings(config, true);
    EXPECT_EQ(prompt.dialogs.size(), 1u);
    EXPECT_EQ(ReadAll(path), SettingsFileText(config));
    EXPECT_EQ(SaveSettings(config, false), Outcome::Cancelled);
    EXPECT_EQ(prompt.dialogs.size(), 2u);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
}

TEST_F(SettingsWriteTest, SaveNeverWritesSettingsOverARawImage) {
    fs::path hex = dir / "radio.hex";
    const std::string bytes(reinterpret_cast<const char*>(config.image.bytes.data()), kImageSize);
    WriteAll(hex, bytes);
    ASSERT_TRUE(OpenHexFile(config, hex));
    fs::path dat = dir / "radio.DAT";
    prompt.fileNames.push_back(dat.string());
    SaveSettings(config, true);  // the image's name is not reused: Save asks as Save As does
    EXPECT_EQ(prompt.dialogs.size(), 1u);
    EXPECT_TRUE(ReadAll(hex) == bytes);
    EXPECT_EQ(config.state.CurrentFileName, dat.string());
    SaveSettings(config, true);  // a settings file name is, whatever its case
    EXPECT_EQ(prompt.dialogs.size(), 1u);
}

TEST_F(SettingsWriteTest, FailedSaveKeepsNameFlagAndOldFileAndReports) {
    config.state.DebugSwitch = true;
    fs::path path = dir / "keep.dat";
    WriteAll(path, "old contents");
    config.state.CurrentFileName = path.string();
    config.state.DataChanged = true;
    fs::path blocked = dir / "folder.dat";
    fs::create_directory(blocked);
    prompt.fileNames.push_back(blocked.string());
    EXPECT_EQ(SaveSettings(config, false), Outcome::Failed);
    EXPECT_TRUE(config.state.ErrorFlag && config.state.CancelFlag && config.state.DataChanged);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_EQ(ReadAll(path), "old contents");
    EXPECT_TRUE(fs::is_directory(blocked));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "FileSave Error!!");
    EXPECT_EQ(prompt.messages[0].details, blocked.string() + ": Is a directory");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompt.messages[0].title, "PC Program for HV2300");
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.SaveFileAs -> "), std::string::npos);
    EXPECT_EQ(shell.busyDepth, 0);
}

}  // namespace
}  // namespace mrw::test
