#include "core/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/config_fixture.h"
#include "core/log.h"
#include "test_files.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "[model1]\nuse=1\n";
}

// A package layout under a temporary root: root/usr/bin, root/usr/share/mrw, root/installed,
// and a user's data folder.
class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() {
        fs::create_directories(bin);
        fs::create_directories(installed);
    }
    ~DataFolderTest() override { SetWritable(bin, true); }
    static void SetWritable(const fs::path& folder, bool writable) {
        const auto all = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        std::error_code ec;
        fs::permissions(folder, writable ? fs::perms::owner_write : all,
                        writable ? fs::perm_options::add : fs::perm_options::remove, ec);
    }

    testing::TempFolder temp{"mrw_folders_"};
    const fs::path root = temp.path();
    const fs::path bin = root / "usr" / "bin";
    const fs::path share = root / "usr" / "share" / "mrw";
    const fs::path installed = root / "installed";
    const fs::path user = root / "home" / ".local" / "share" / "MRW";
};

TEST_F(DataFolderTest, TheFirstCandidateHoldingAGlobalIniFileIsTheDataFolder) {
    const fs::path candidates[] = {bin, share, installed};
    // {candidates holding global.ini, the one found}: the executable's own folder comes first,
    // an extracted package finds share/mrw beside it, the compiled-in folder is the last resort,
    // and with no data anywhere the executable's folder stays.
    const std::pair<std::vector<int>, int> cases[] = {
        {{0, 1, 2}, 0}, {{1, 2}, 1}, {{2}, 2}, {{}, 0}};
    for (const auto& [holding, found] : cases) {
        for (const fs::path& folder : candidates) {
            fs::remove(folder / "global.ini");
        }
        for (int i : holding) {
            Touch(candidates[i] / "global.ini");
        }
        EXPECT_EQ(FindDataFolder(bin, installed), candidates[found]) << found;
    }
    EXPECT_EQ(FindDataFolder(bin, ""), bin);
}

// ---- Logs ----------------------------------------------------------------------------------

TEST_F(DataFolderTest, LogsStayBesideAWritableBuildOrPortableProgramOnly) {
    Touch(root / "plain");
    // {global.ini in share/mrw (installed), program folder read-only, log folder}
    const std::tuple<bool, bool, bool> cases[] = {
        {false, false, true}, {false, true, false}, {true, false, false}};
    for (const auto& [inShare, readOnly, besideProgram] : cases) {
        SetWritable(bin, true);
        fs::remove_all(root / "usr");
        Touch((inShare ? share : bin) / "global.ini");
        if (readOnly) {
            SetWritable(bin, false);
            if (FolderWritable(bin)) {
                continue;  // Windows: the read-only attribute does not keep files out of a folder
            }
        }
        EXPECT_EQ(ChooseLogFolder(bin, FindDataFolder(bin, installed), user),
                  besideProgram ? bin : user);
    }

    // The logs are written to the log folder, created on demand, and only with the debug
    // switch on: error lines appended, one log file a day.
    Touch(bin / "global.ini");
    SetWritable(bin, false);
    SystemClock clock;  // the daily log is named after today's date
    Config config;
    config.services.clock = &clock;
    config.services.programFolder = bin;
    config.services.logFolder = ChooseLogFolder(bin, share, user);
    WriteErrorLog(config, "frmMain.FileRead2", "53File not found");
    WriteLogData(config, "frmMain:PortCheck failure");
    EXPECT_FALSE(fs::exists(user));
    config.state.DebugSwitch = true;
    WriteErrorLog(config, "frmMain.FileRead2", "53File not found");
    WriteErrorLog(config, "frmRadio.PortInit", "8002/dev/ttyUSB0: Permission denied");
    WriteLogData(config, "  frmMain:PortCheck boom  ");
    const std::string text = testing::ReadFile(user / "err.log");
    EXPECT_NE(text.find(":frmRadio.PortInit -> 8002/dev/ttyUSB0: Permission denied\r\n"),
              std::string::npos);
    EXPECT_LT(text.find("53File not found"), text.find("8002/dev"));  // appended
    ASSERT_TRUE(fs::is_directory(user / "log"));
    EXPECT_EQ(std::distance(fs::directory_iterator(user / "log"), fs::directory_iterator()), 1);

    config.services.logFolder = root / "plain" / "deeper";        // a file where a folder should be
    WriteErrorLog(config, "frmMain.SaveFileAs", "75Path error");  // neither throws nor stops
    WriteLogData(config, "x");
}

// ---- File dialogs --------------------------------------------------------------------------

class DialogFolderTest : public testing::ConfigFixture {
protected:
    DialogFolderTest() {
        fs::create_directories(documents);
        fs::create_directories(boats);
        config.services.documentsFolder = documents;
    }
    const fs::path documents = dir / "Documents";
    const fs::path boats = dir / "boats";
};

TEST_F(DialogFolderTest, TheFirstDialogStartsInTheDocumentsTheNextWhereTheLastFileWasChosen) {
    prompt.fileNames = {(boats / "sea wolf.dat").string(), ""};
    EXPECT_EQ(AskForFile(config, {}), (boats / "sea wolf.dat").string());
    EXPECT_EQ(prompt.dialogs.at(0).folder, documents.string());
    EXPECT_EQ(AskForFile(config, {.save = true}), "");
    EXPECT_EQ(prompt.dialogs.at(1).folder, boats.string());
    EXPECT_TRUE(prompt.dialogs[1].save);
    // A cancelled dialog leaves the remembered folder alone; a folder that is gone falls back
    // to the documents; a request that names its folder keeps it.
    EXPECT_EQ(store.Get("Settings", "lastfolder"), boats.string());
    store.Set("Settings", "lastfolder", (dir / "removed").string());
    EXPECT_EQ(DialogStartFolder(config), documents.string());
    AskForFile(config, {.folder = "/srv/fleet"});
    EXPECT_EQ(prompt.dialogs.at(2).folder, "/srv/fleet");
}

}  // namespace
}  // namespace mrw
