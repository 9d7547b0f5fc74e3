// mrw-cli says why a serial port does not open: in-process through its port, and as a user runs
// the real executable on a missing device and on one the user may not open.
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_port.h"

namespace mrw::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDenied =
    "/dev/ttyUSB0: Permission denied. To use serial ports, add yourself to the dialout group: "
    "sudo adduser $USER dialout, then log out and in.";

// A port whose openings fail or succeed as told, counting them.
class ScriptedPort : public SerialPort {
public:
    ScriptedPort(std::vector<bool> results, int& opens)
        : results_(std::move(results)), opens_(opens) {}
    bool Open(const std::string& /*settings*/, std::string& error) override {
        const bool ok = results_.at(static_cast<size_t>(opens_++));
        open_ = ok;
        if (!ok) {
            error = kDenied;
        }
        return ok;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Send(const std::vector<uint8_t>& /*bytes*/) override { return open_; }
    int Waiting() override { return 0; }
    int ReadByte() override { return -1; }
    void DiscardInput() override {}

private:
    std::vector<bool> results_;
    int& opens_;
    bool open_ = false;
};

TEST(OpenReportingPortTest, AFirstOpeningThatFailsIsSaidOnceWithItsReason) {
    int opens = 0;
    std::ostringstream err;
    OpenReportingPort port(std::make_unique<ScriptedPort>(std::vector<bool>{false, false}, opens),
                           err);
    std::string error;
    EXPECT_FALSE(port.Open("19200,N,8,1", error));
    EXPECT_EQ(error, kDenied);  // the link still gets the reason for its log
    EXPECT_FALSE(port.Open("57600,N,8,1", error));
    EXPECT_EQ(opens, 2);
    EXPECT_EQ(err.str(), std::string("The serial port cannot be opened.\n") + kDenied + "\n");
}

TEST(OpenReportingPortTest, APortThatOpensSaysNothingAndPassesThrough) {
    int opens = 0;
    std::ostringstream err;
    OpenReportingPort port(std::make_unique<ScriptedPort>(std::vector<bool>{true, false}, opens),
                           err);
    std::string error;
    EXPECT_TRUE(port.Open("19200,N,8,1", error));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.Send({0x50}));
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Open("57600,N,8,1", error));  // a later failure is the link's to report
    EXPECT_EQ(err.str(), "");
}

struct CliRun {
    int status = -1;
    std::string err;
};

// Copies mrw-cli and the data files beside it (global.ini, the region images) into `folder`,
// readable and runnable by every user: "nobody" may not enter the folder of a checkout such
// as a clone under `mktemp -d` or one in /root. The path of the copy, or empty with the
// reason in `error`.
std::string PublicCopyOfMrwCli(const fs::path& folder, std::string& error) {
    std::error_code ec;
    const fs::path bin = fs::path(MRW_TEST_BIN_DIR);
    fs::create_directories(folder, ec);
    constexpr fs::perms kPublicFolder = fs::perms::owner_all | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec;
    constexpr fs::perms kPublicFile = fs::perms::owner_read | fs::perms::owner_write |
                                      fs::perms::group_read | fs::perms::others_read;
    constexpr fs::perms kPublicProgram =
        kPublicFile | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    fs::permissions(folder, kPublicFolder, ec);
    for (const fs::directory_entry& entry : fs::directory_iterator(bin, ec)) {
        const std::string name = entry.path().filename().string();
        const bool program = name == "mrw-cli";
        if (!program && entry.path().extension() != ".ini") {
            continue;
        }
        const fs::path copy = folder / name;
        fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing, ec);
        if (!ec) {
            fs::permissions(copy, program ? kPublicProgram : kPublicFile, ec);
        }
        if (ec) {
            error = "cannot copy " + entry.path().string() + " to " + copy.string() + ": " +
                    ec.message();
            return {};
        }
    }
    if (ec || !fs::exists(folder / "mrw-cli") || !fs::exists(folder / "global.ini")) {
        error = "no mrw-cli with its global.ini in " + bin.string() +
                (ec ? ": " + ec.message() : std::string());
        return {};
    }
    return (folder / "mrw-cli").string();
}

// Runs `program` with `args`, its error stream captured, in `folder`; as an ordinary user
// when asked (the superuser gives up its rights to "nobody" first).
CliRun RunCli(const std::string& program, const fs::path& folder,
              const std::vector<std::string>& args, bool ordinaryUser) {
    CliRun run;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return run;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], STDERR_FILENO);
        std::freopen("/dev/null", "w", stdout);
        if (chdir(folder.c_str()) != 0) {
            _exit(97);
        }
        if (ordinaryUser && geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (setgroups(0, nullptr) != 0 || setgid(nobody ? nobody->pw_gid : 65534) != 0 ||
                setuid(nobody ? nobody->pw_uid : 65534) != 0) {
                _exit(99);
            }
        }
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(98);
    }
    close(pipeFds[1]);
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        run.err.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliPortProcessTest : public ::testing::Test {
protected:
    CliPortProcessTest() {
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
        // The read's output folder takes the ordinary user's file: a read checks that first.
        fs::create_directories(outFolder);
        fs::permissions(outFolder, fs::perms::all);
    }
    ~CliPortProcessTest() override { fs::remove_all(folder); }

    const fs::path folder =
        fs::temp_directory_path() / ("mrw_cli_port_" + std::to_string(getpid()));
    const fs::path outFolder = folder / "out";
    const std::string out = (outFolder / "radio.dat").string();
};

TEST_F(CliPortProcessTest, AMissingDeviceIsNamedWithTheSystemsReason) {
    const std::string device = (folder / "ttyUSB9").string();
    const std::string program = (fs::path(MRW_TEST_BIN_DIR) / "mrw-cli").string();
    const CliRun run =
        RunCli(program, folder, {"--model", "1", "--port", device, "read", "-o", out}, false);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("The serial port cannot be opened.\n" + device +
                           ": No such file or directory\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("dialout"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliPortProcessTest, ADeviceTheUserMayNotOpenSaysHowToJoinTheDialoutGroup) {
    const std::string device = (folder / "ttyUSB0").string();
    std::ofstream(device) << "";
    fs::permissions(device, fs::perms::none);
    // The superuser runs it as "nobody", who may not enter every folder the build lies in.
    std::string program = (fs::path(MRW_TEST_BIN_DIR) / "mrw-cli").string();
    if (geteuid() == 0) {
        std::string error;
        program = PublicCopyOfMrwCli(folder / "bin", error);
        if (program.empty()) {
            GTEST_SKIP() << "mrw-cli cannot be run as nobody: " << error;
        }
    }
    const CliRun run =
        RunCli(program, folder, {"--model", "1", "--port", device, "read", "-o", out}, true);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("The serial port cannot be opened.\n" + device +
                           ": Permission denied. To use serial ports, add yourself to the "
                           "dialout group: sudo adduser $USER dialout, then log out and in.\n"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(CliPortProcessTest, AReadIntoAFolderTheUserMayNotWriteTouchesNoPort) {
    // The port is missing too: a read that went as far as the port would say so instead.
    const std::string device = (folder / "ttyUSB9").string();
    const std::string denied = (folder / "radio.dat").string();
    if (geteuid() != 0) {
        GTEST_SKIP() << "the folder is the user's own: nothing is denied";
    }
    std::string error;
    const std::string program = PublicCopyOfMrwCli(folder / "bin", error);
    if (program.empty()) {
        GTEST_SKIP() << "mrw-cli cannot be run as nobody: " << error;
    }
    const CliRun run =
        RunCli(program, folder, {"--model", "1", "--port", device, "read", "-o", denied}, true);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "FileSave Error!!\n" + denied +
                           ": Permission denied (nothing was read from the radio)\n");
    EXPECT_FALSE(fs::exists(denied));
}

}  // namespace
}  // namespace mrw::cli
