// Checks every serial port adapter passes over a real pseudo-terminal against the
// mrw-radiosim process (a short read, discard, abort and a pulled cable), and what it says
// about a device that does not open or may not be opened. POSIX only.
#pragma once

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "link/serial_port.h"
#include "sim/radio_engine.h"
#include "sim/radiosim_process.h"

namespace mrw::testing {

/// Sends `request`, then collects what arrives until `count` bytes are in or `ms` have passed.
inline std::string Exchange(SerialPort& port, const std::string& request, size_t count,
                            int ms = 3000) {
    EXPECT_TRUE(port.Send({request.begin(), request.end()}));
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (text.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (port.Waiting() > 0) {
            text += static_cast<char>(port.ReadByte());
        }
    }
    return text;
}

/// One simulator whose cable is pulled at its second framed request.
template <class Port>
void CheckReadDiscardAbortAndAPulledCable() {
    RadioSimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--model-code", "0AFD", "--pull-cable-at", "2"}, error)) << error;
    Port port(sim.Device());
    ASSERT_TRUE(port.Open("57600,N,8,1", error)) << error;
    EXPECT_EQ(Exchange(port, "#QKPRD\t0080\t02\t7C\r\n", 8 + 24),
              "#CMDOK\r\n#QKPDT\t0080\t02\t0AFD\t00\r\n");
    // Input not read yet is dropped by DiscardInput.
    EXPECT_EQ(Exchange(port, "#CMDSY\r\n", 1), "#");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    port.DiscardInput();
    EXPECT_EQ(Exchange(port, "", 1, 300), "");
    EXPECT_EQ(Exchange(port, {static_cast<char>(sim::kAbortByte)}, 1), "\x06");
    // The pulled cable closes the pseudo-terminal; the adapter closes with it.
    EXPECT_EQ(Exchange(port, "#QKPSR\t00\t68\r\n", 1, 1000), "");
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.LastError().empty());
    EXPECT_FALSE(port.Send({'P'}));
}

/// The advice for a denied permission.
inline constexpr const char* kDialoutAdvice =
    ". To use serial ports, add yourself to the dialout group: sudo adduser $USER dialout, "
    "then log out and in.";

/// A missing device: the device and the system's reason. A device as crw-rw---- root:dialout
/// is to a stranger: the reason and how to get the permission.
template <class Port>
void CheckMissingAndDeniedDevices() {
    const std::string missing = "/dev/ttyMRW-missing-" + std::to_string(getpid());
    Port port(missing);
    std::string error;
    EXPECT_FALSE(port.Open("57600,N,8,1", error));
    EXPECT_EQ(error, missing + ": No such file or directory");
    EXPECT_EQ(port.LastError(), error);
    EXPECT_FALSE(port.IsOpen() || port.Send({'P'}));
    EXPECT_EQ(port.ReadByte(), -1);

    // The child opens it as an ordinary user (the superuser, who may open anything, becomes
    // "nobody" first) and exits 0 when it was seen as denied and said so with the advice.
    const auto folder =
        std::filesystem::temp_directory_path() / ("mrw_serial_access_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::permissions(folder, std::filesystem::perms::all);
    const std::string device = (folder / "ttyUSB0").string();
    std::ofstream(device) << "";
    std::filesystem::permissions(device, std::filesystem::perms::none);
    const pid_t child = fork();
    if (child == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(nobody ? nobody->pw_gid : 65534) != 0 ||
             setuid(nobody ? nobody->pw_uid : 65534) != 0)) {
            _exit(3);
        }
        Port denied(device);
        std::string reason;
        _exit(!denied.Open("57600,N,8,1", reason) &&
                      reason == device + ": Permission denied" + kDialoutAdvice
                  ? 0
                  : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: not said as denied with the advice";
}

}  // namespace mrw::testing
