// The QSerialPort adapter over a real pseudo-terminal, against the mrw-radiosim process: raw
// protocol bytes, a full read end to end and a pulled cable; and what it says about a device
// that does not open.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/config.h"
#include "core/services.h"
#include "link/transfer.h"
#include "platform/qt_serial_port.h"
#include "sim/radio_engine.h"
#include "sim/radiosim_process.h"

namespace mrw {
namespace {

using testing::RadioSimProcess;
using testing::ReadFileBytes;

/// Collects what arrives until `count` bytes are in or `seconds` have passed.
std::string Receive(QtSerialPort& port, size_t count, double seconds = 3.0) {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (text.size() < count && std::chrono::steady_clock::now() < deadline) {
        if (port.Waiting() > 0) {
            text += static_cast<char>(port.ReadByte());
        }
    }
    return text;
}

TEST(SerialTest, SettingsTextsAreParsed) {
    LineSettings line;
    ASSERT_TRUE(ParseLineSettings("19200,e,7,2", line));
    EXPECT_EQ(line.baud, 19200);
    EXPECT_EQ(line.parity, QSerialPort::EvenParity);
    EXPECT_EQ(line.dataBits, QSerialPort::Data7);
    EXPECT_EQ(line.stopBits, QSerialPort::TwoStop);
    for (const char* bad : {"57600,N,8", "fast,N,8,1", "57600,X,8,1", "57600,N,9,1"}) {
        EXPECT_FALSE(ParseLineSettings(bad, line)) << bad;
    }
}

TEST(SerialTest, DiscardAndAbortOverThePseudoTerminal) {
    RadioSimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({}, error)) << error;
    QtSerialPort port(sim.Device());
    ASSERT_TRUE(port.Open("57600,N,8,1", error)) << error;
    // Input not read yet is dropped by DiscardInput.
    ASSERT_TRUE(port.Send({'#', 'C', 'M', 'D', 'S', 'Y', '\r', '\n'}));
    EXPECT_EQ(Receive(port, 1), "#");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    port.DiscardInput();
    EXPECT_EQ(Receive(port, 1, 0.3), "");
    ASSERT_TRUE(port.Send({sim::kAbortByte}));
    EXPECT_EQ(Receive(port, 1), "\x06");
}

// A read whose cable is pulled at framed request 40 leaves the configuration as it was; a
// full read brings every byte the read copies. Transfers run through the adapter on real time.
TEST(SerialTest, AReadEndsOnAPulledCableOrBringsTheRadiosBytes) {
    SystemClock clock;
    ScriptedPrompt prompt;
    Config config;
    config.services.clock = &clock;
    config.services.prompt = &prompt;
    config.state.ModelType = 1;
    sim::SetModelCode(config.image.bytes, 0x08FD);
    sim::SetProductCode(config.image.bytes, "KT562W");
    config.image.bytes[271] = 0;  // region
    RadioSimProcess sim;
    bool portLeftOpen = false;
    // The OK button of a read dialog, against the simulator started with `args`.
    auto read = [&](const std::vector<std::string>& args) {
        std::string error;
        EXPECT_TRUE(sim.Start(args, error)) << error;
        QtSerialPort port(sim.Device());
        config.state.TransferMode = kModeRead;
        config.state.TransferDone = false;
        TransferUi ui;
        Transfer transfer(config, port, ui, kModeRead);
        transfer.Load();
        const bool closes = transfer.RunOk();
        portLeftOpen = port.IsOpen();
        return closes;
    };
    const Image image = config.image;
    const DataModel model = config.model;
    EXPECT_FALSE(read({"--pull-cable-at", "40"}));
    const auto texts = prompt.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Communication Error!!"), 1)
        << ::testing::PrintToString(texts);
    EXPECT_FALSE(portLeftOpen);
    EXPECT_FALSE(config.state.TransferDone);
    EXPECT_TRUE(config.image.bytes == image.bytes);
    EXPECT_TRUE(config.model == model);
    EXPECT_TRUE(sim.Exited());

    const std::filesystem::path factory = testing::ProgramBinDir() / "UK_08FD.ini";
    const std::vector<uint8_t> radioBytes = ReadFileBytes(factory);
    ASSERT_EQ(radioBytes.size(), 32768u) << factory;
    config.image.bytes[271] = radioBytes[271];
    prompt.messages.clear();
    ASSERT_TRUE(read({"--image", factory.string()}));
    EXPECT_TRUE(config.state.TransferDone);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_FALSE(portLeftOpen);
    // The ranges a read leaves alone are the image's own.
    for (int a : {128, 129, 256, 271, 700, 768, 1000, 2048, 9000, 17919, 18176, 20735}) {
        EXPECT_EQ(config.image.bytes[static_cast<size_t>(a)], radioBytes[static_cast<size_t>(a)])
            << a;
    }
}

// What the adapter says when a device does not open: the device and the system's reason, and
// for a denied permission how to get it.
constexpr const char* kAdvice =
    ". To use serial ports, add yourself to the dialout group: sudo adduser $USER dialout, "
    "then log out and in.";

TEST(PortOpenErrorTest, OnlyADeniedPermissionSaysHowToGetItWithTheDialoutGroup) {
    EXPECT_EQ(PortOpenError("/dev/ttyACM1", "Permission denied.", true),
              std::string("/dev/ttyACM1: Permission denied") + kAdvice);
    EXPECT_EQ(PortOpenError("/dev/ttyUSB0", "No such file or directory", false),
              "/dev/ttyUSB0: No such file or directory");
    const std::string missing = "/dev/ttyMRW-missing-" + std::to_string(getpid());
    EXPECT_FALSE(PortAccessDenied(missing));
    QtSerialPort port(missing);
    std::string error;
    EXPECT_FALSE(port.Open("57600,N,8,1", error));
    EXPECT_EQ(error.rfind(missing + ": ", 0), 0u) << error;
    EXPECT_EQ(error.find("dialout"), std::string::npos) << error;
    EXPECT_EQ(port.LastError(), error);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Send({'P'}));
    EXPECT_EQ(port.ReadByte(), -1);

    // A device as crw-rw---- root:dialout is to a stranger. The child opens it as an ordinary
    // user (the superuser, who may open anything, becomes "nobody" first) and exits 0 when it
    // was seen as denied and said so with the advice.
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
        QtSerialPort port(device);
        std::string error;
        const bool said =
            !port.Open("57600,N,8,1", error) && error == device + ": Permission denied" + kAdvice;
        _exit(!PortAccessDenied(device) ? 1 : said ? 0 : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: not seen as denied; 2: another message";
}

}  // namespace
}  // namespace mrw

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
