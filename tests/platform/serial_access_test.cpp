// What the serial port adapter says when a device does not open: the device and the system's
// reason, and for a denied permission how to get it.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/qt_serial_port.h"

namespace mrw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAdvice =
    ". To use serial ports, add yourself to the dialout group: sudo adduser $USER dialout, "
    "then log out and in.";

TEST(PortOpenErrorTest, ADeniedPermissionSaysHowToGetIt) {
    EXPECT_EQ(PortOpenError("/dev/ttyUSB0", "Permission denied", true),
              std::string("/dev/ttyUSB0: Permission denied") + kAdvice);
    EXPECT_EQ(PortOpenError("/dev/ttyACM1", "Permission denied.", true),
              std::string("/dev/ttyACM1: Permission denied") + kAdvice);
}

TEST(PortOpenErrorTest, OtherFailuresNameTheDeviceAndTheReasonOnly) {
    EXPECT_EQ(PortOpenError("/dev/ttyUSB0", "No such file or directory", false),
              "/dev/ttyUSB0: No such file or directory");
}

TEST(PortOpenErrorTest, AMissingDeviceIsNotAPermissionProblem) {
    const std::string device = "/dev/ttyMRW-missing-" + std::to_string(getpid());
    EXPECT_FALSE(PortAccessDenied(device));
    QtSerialPort port(device);
    std::string error;
    EXPECT_FALSE(port.Open("57600,N,8,1", error));
    EXPECT_EQ(error.rfind(device + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), device.size() + 2);
    EXPECT_EQ(error.find("dialout"), std::string::npos) << error;
    EXPECT_EQ(port.LastError(), error);
}

// Opens `device` in a child process as an ordinary user (the superuser gives up its rights to
// "nobody" first, since it may open anything) and returns what the adapter said.
std::string OpenAsOrdinaryUser(const std::string& device, bool& denied) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return "pipe failed";
    }
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            const gid_t gid = nobody ? nobody->pw_gid : 65534;
            const uid_t uid = nobody ? nobody->pw_uid : 65534;
            if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
                _exit(3);
            }
        }
        QtSerialPort port(device);
        std::string error;
        const char flag = PortAccessDenied(device) ? 'D' : '-';
        const bool opened = port.Open("57600,N,8,1", error);
        const std::string reply = flag + std::string(opened ? "opened" : error);
        const bool written =
            write(pipeFds[1], reply.data(), reply.size()) == static_cast<ssize_t>(reply.size());
        _exit(written ? 0 : 4);
    }
    close(pipeFds[1]);
    std::string reply;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) {
        reply.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || reply.empty()) {
        return "child failed with status " + std::to_string(status);
    }
    denied = reply[0] == 'D';
    return reply.substr(1);
}

TEST(PortOpenErrorTest, ADeviceTheUserMayNotOpenNamesTheDialoutGroup) {
    const fs::path folder =
        fs::temp_directory_path() / ("mrw_serial_access_" + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const std::string device = (folder / "ttyUSB0").string();
    std::ofstream(device) << "";
    fs::permissions(device, fs::perms::none);  // as crw-rw---- root:dialout is to a stranger

    bool denied = false;
    const std::string error = OpenAsOrdinaryUser(device, denied);
    fs::remove_all(folder);
    EXPECT_TRUE(denied);
    EXPECT_EQ(error, device + ": Permission denied" + kAdvice);
}

}  // namespace
}  // namespace mrw
