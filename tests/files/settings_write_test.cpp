// Writing the settings file: layout, encodings, the golden factory file, saving.
#include "files/settings_file.h"

#include <clocale>

#include "core/text.h"
#include "files_fixture.h"
#include "image/codec.h"

namespace mrw::test {
namespace {

using SettingsWriteTest = FilesTest;

std::vector<std::string> Lines(const std::string& text) {
    return Split(text, "\r\n");
}

std::vector<std::string> Headers(const std::string& text) {
    std::vector<std::string> out;
    for (const std::string& l : Lines(text)) {
        if (!l.empty() && l[0] == '[') {
            out.push_back(l);
        }
    }
    return out;
}

bool HasLine(const std::string& text, const std::string& line) {
    auto lines = Lines(text);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(SettingsWriteTest, LinesEndInCrLfWithoutBlankLines) {
    config.model.CHUSA.push_back({.Position = 16, .Enable = true, .ChTag = "CALL"});
    std::string text = SettingsFileText(config);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    auto lines = Lines(text);
    lines.pop_back();  // after the final CR LF
    for (const std::string& l : lines) {
        EXPECT_FALSE(l.empty());
        EXPECT_EQ(l.find('\n'), std::string::npos);
        EXPECT_EQ(l.find('\r'), std::string::npos);
    }
    std::vector<std::string> main(lines.begin(), lines.begin() + 6);
    EXPECT_EQ(main, (std::vector<std::string>{"[MAIN]", "MODEL=#HV2300", "TYPE=#MRW",
                                              "VERSION=#1.00", "MODELTYPE=1", "REGION=0"}));
}

TEST_F(SettingsWriteTest, SectionOrderAndCounts) {
    DataModel& m = config.model;
    m.CHUSA.resize(2);
    m.CHCAN.resize(1);
    m.CHRG.resize(1);
    m.CHEXP.resize(3);
    auto headers = Headers(SettingsFileText(config));
    std::vector<std::string> expected = {"[MAIN]",
                                         "[Usable CH Group Setup]",
                                         "[Common Setup]",
                                         "[DSC Setup (Basic Setup)]",
                                         "[DSC Setup (Advanced Setup)]",
                                         "[DSC Setup (Display Setup)]",
                                         "[DSC Setup (AutoPos Setup)]",
                                         "[CHUSA1]",
                                         "[CHUSA2]",
                                         "[CHCAN1]"};
    for (int k = 0; k < 10; ++k) {
        expected.push_back("[CHWX" + std::to_string(k) + "]");
    }
    for (int i = 1; i <= 80; ++i) {
        expected.push_back("[CHMMSID" + std::to_string(i) + "]");
    }
    for (int i = 1; i <= 32; ++i) {
        expected.push_back("[CHGRPID" + std::to_string(i) + "]");
    }
    expected.insert(expected.end(), {"[CHRG1]", "[CHEXP1]", "[CHEXP2]", "[CHEXP3]"});
    EXPECT_EQ(headers, expected);

    config.state.AtisSupported = true;
    headers = Headers(SettingsFileText(config));
    ASSERT_GT(headers.size(), 9u);
    EXPECT_EQ(headers[7], "[ATIS Setup (Common)]");
    EXPECT_EQ(headers[8], "[ATIS Setup (Call Sign)]");
}

TEST_F(SettingsWriteTest, ValueEncodings) {
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
    config.image.Set(271, 9);  // names no region
    // A locale with a decimal comma must not change the file.
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old != nullptr ? old : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    std::string text = SettingsFileText(config);
    std::setlocale(LC_ALL, saved.c_str());

    EXPECT_TRUE(HasLine(text, "REGION=255"));
    EXPECT_TRUE(HasLine(text, "Priority CH0=65535"));
    EXPECT_TRUE(HasLine(text, "Priority CH1=-1"));
    EXPECT_TRUE(HasLine(text, "Priority CH2=70000"));
    EXPECT_TRUE(HasLine(text, "Exp Ch Group0=True"));
    EXPECT_TRUE(HasLine(text, "Exp Ch Group1=False"));
    EXPECT_TRUE(HasLine(text, "Status name3=##EX"));
    EXPECT_TRUE(HasLine(text, "Offset Time=-11"));
    EXPECT_TRUE(HasLine(text, "Rxfreq=156.8"));
    EXPECT_TRUE(HasLine(text, "Txfreq=157.0125"));
    EXPECT_TRUE(HasLine(text, "CHDisplayL=##A"));
    EXPECT_TRUE(HasLine(text, "ExpCB2=1"));
    EXPECT_TRUE(HasLine(text, "ExpCB3=0"));
    EXPECT_TRUE(HasLine(text, "TagName=##TAG"));
    EXPECT_TRUE(HasLine(text, "Mmsid=123456789"));
    EXPECT_TRUE(HasLine(text, "User MMSI=#"));
}

TEST_F(SettingsWriteTest, GoldenFactoryFile) {
    fs::path image = BinDir() / "INTL_08FD.ini";
    fs::path golden = SourceDir() / "tests" / "files" / "golden" / "INTL_08FD.dat";
    ASSERT_TRUE(fs::exists(image)) << image;
    std::string bytes = ReadAll(image);
    ASSERT_EQ(bytes.size(), static_cast<size_t>(kImageSize));
    std::copy(bytes.begin(), bytes.end(), config.image.bytes.begin());
    DecodeImage(config.image, config.model);
    std::string text = SettingsFileText(config);
    if (std::getenv("MRW_UPDATE_GOLDEN") != nullptr) {
        WriteAll(golden, text);
    }
    EXPECT_EQ(text, ReadAll(golden)) << "regenerate with MRW_UPDATE_GOLDEN=1 after checking why";
}

TEST_F(SettingsWriteTest, WriteBusyPauseAndNoMessageOnSuccess) {
    fs::path path = dir / "a.dat";
    double before = clock.Seconds();
    WriteSettingsFile(config, path);
    EXPECT_FALSE(config.state.ErrorFlag);
    EXPECT_FALSE(config.state.Loading);
    EXPECT_EQ(shell.busyDepth, 0);
    EXPECT_TRUE(shell.Called("busy"));
    EXPECT_GE(clock.Seconds() - before, 0.5);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(ReadAll(path), SettingsFileText(config));
}

TEST_F(SettingsWriteTest, FailedWriteKeepsTheOldFileAndReports) {
    config.state.DebugSwitch = true;
    fs::path target = dir / "blocked.dat";
    fs::create_directory(target);
    WriteSettingsFile(config, target);
    EXPECT_TRUE(config.state.ErrorFlag);
    EXPECT_TRUE(config.state.CancelFlag);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "FileSave Error!!");
    EXPECT_EQ(prompt.messages[0].icon, Icon::Exclamation);
    EXPECT_EQ(prompt.messages[0].title, "PC Program for HV2300");
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_NE(ReadAll(dir / "err.log").find("frmMain.SaveFileAs -> "), std::string::npos);
    EXPECT_EQ(shell.busyDepth, 0);
}

TEST_F(SettingsWriteTest, SaveAsAsksAndRemembersTheName) {
    config.state.DataChanged = true;
    fs::path path = dir / "mine.dat";
    prompt.fileNames.push_back(path.string());
    SaveSettings(config, true);  // no current name yet: the dialog is used
    ASSERT_EQ(prompt.dialogs.size(), 1u);
    const FileDialogRequest& d = prompt.dialogs[0];
    EXPECT_TRUE(d.save);
    EXPECT_TRUE(d.overwritePrompt);
    EXPECT_EQ(d.filter, "dat files(*.dat)|*.dat|All files(*.*)|*.*");
    EXPECT_EQ(d.folder, dir.string());
    EXPECT_EQ(d.initialName, "");
    EXPECT_EQ(d.title, "");
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_FALSE(config.state.DataChanged);
    EXPECT_FALSE(config.state.CancelFlag);
    EXPECT_TRUE(shell.Called("caption"));
    EXPECT_TRUE(fs::exists(path));

    // Save uses the current name without asking; Save As asks again.
    config.model.Common.Scan = !config.model.Common.Scan;
    SaveSettings(config, true);
    EXPECT_EQ(prompt.dialogs.size(), 1u);
    EXPECT_EQ(ReadAll(path), SettingsFileText(config));
    SaveSettings(config, false);  // cancelled
    EXPECT_EQ(prompt.dialogs.size(), 2u);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
}

TEST_F(SettingsWriteTest, FailedSaveKeepsNameFlagAndOldFile) {
    fs::path path = dir / "keep.dat";
    WriteAll(path, "old contents");
    config.state.CurrentFileName = path.string();
    config.state.DataChanged = true;
    fs::path blocked = dir / "folder.dat";
    fs::create_directory(blocked);
    prompt.fileNames.push_back(blocked.string());
    SaveSettings(config, false);
    EXPECT_TRUE(config.state.CancelFlag);
    EXPECT_TRUE(config.state.DataChanged);
    EXPECT_EQ(config.state.CurrentFileName, path.string());
    EXPECT_EQ(ReadAll(path), "old contents");
    EXPECT_EQ(Messages(), std::vector<std::string>{"FileSave Error!!"});
}

}  // namespace
}  // namespace mrw::test
