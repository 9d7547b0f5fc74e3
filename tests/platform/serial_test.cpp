// The QSerialPort adapter over a real pseudo-terminal, against the mrw-radiosim process: raw
// protocol bytes, a full read and a full program end to end, and faults on the line.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
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

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

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

class SerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("mrw_serial_" + std::to_string(getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void StartSim(std::vector<std::string> args) {
        std::string error;
        ASSERT_TRUE(sim.Start(args, error)) << error;
    }
    std::filesystem::path folder;
    RadioSimProcess sim;
};

TEST_F(SerialTest, SettingsTextsAreParsed) {
    LineSettings line;
    ASSERT_TRUE(ParseLineSettings("57600,N,8,1", line));
    EXPECT_EQ(line.baud, 57600);
    EXPECT_EQ(line.parity, QSerialPort::NoParity);
    EXPECT_EQ(line.dataBits, QSerialPort::Data8);
    EXPECT_EQ(line.stopBits, QSerialPort::OneStop);
    ASSERT_TRUE(ParseLineSettings("19200,e,7,2", line));
    EXPECT_EQ(line.parity, QSerialPort::EvenParity);
    EXPECT_EQ(line.stopBits, QSerialPort::TwoStop);
    for (const char* bad : {"57600,N,8", "fast,N,8,1", "57600,X,8,1", "57600,N,9,1"}) {
        EXPECT_FALSE(ParseLineSettings(bad, line)) << bad;
    }
}

TEST_F(SerialTest, MissingDeviceFailsToOpenWithAReason) {
    QtSerialPort port("/dev/mrw-no-such-device");
    std::string error;
    EXPECT_FALSE(port.Open("19200,N,8,1", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.Send(Bytes("P")));
    EXPECT_EQ(port.Waiting(), 0);
    EXPECT_EQ(port.ReadByte(), -1);
}

TEST_F(SerialTest, DiscardAndAbortOverThePseudoTerminal) {
    StartSim({});
    QtSerialPort port(sim.Device());
    std::string error;
    ASSERT_TRUE(port.Open("57600,N,8,1", error)) << error;
    // Input not read yet is dropped by DiscardInput.
    ASSERT_TRUE(port.Send(Bytes("#CMDSY\r\n")));
    EXPECT_EQ(Receive(port, 1), "#");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    port.DiscardInput();
    EXPECT_EQ(Receive(port, 1, 0.3), "");
    ASSERT_TRUE(port.Send({sim::kAbortByte}));
    EXPECT_EQ(Receive(port, 1), "\x06");
}

/// A transfer through the adapter on real time, answers scripted.
class TransferOverPty : public SerialTest {
protected:
    TransferOverPty() {
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.state.ModelType = 1;
        sim::SetModelCode(config.image.bytes, 0x08FD);
        sim::SetProductCode(config.image.bytes, "KT562W");
        config.image.bytes[271] = 0;  // region
    }

    /// Runs the OK button of a transfer dialog in `mode` against the simulator's device.
    bool RunTransfer(int mode) {
        QtSerialPort port(sim.Device());
        config.state.TransferMode = static_cast<int16_t>(mode);
        config.state.TransferDone = false;
        TransferUi ui;
        Transfer transfer(config, port, ui, mode);
        transfer.Load();
        const bool closes = transfer.RunOk();
        portLeftOpen = port.IsOpen();
        return closes;
    }

    SystemClock clock;
    ScriptedPrompt prompt;
    Config config;
    bool portLeftOpen = false;
};

/// Image addresses that programming must leave alone in the radio.
bool NeverProgrammed(int address) {
    struct Range {
        int first;
        int last;
    };
    static constexpr Range kKept[] = {{0, 159},     {192, 270},     {320, 639},
                                      {652, 653},   {688, 703},     {736, 767},
                                      {1792, 2047}, {17920, 18175}, {20736, 32767}};
    return std::any_of(std::begin(kKept), std::end(kKept),
                       [&](const Range& r) { return address >= r.first && address <= r.last; });
}

TEST_F(TransferOverPty, FullReadThenFullProgramEndToEnd) {
    const std::filesystem::path factory = testing::ProgramBinDir() / "UK_08FD.ini";
    ASSERT_TRUE(std::filesystem::exists(factory)) << factory;
    const std::vector<uint8_t> radioBytes = ReadFileBytes(factory);
    ASSERT_EQ(radioBytes.size(), 32768u);
    config.image.bytes[271] = radioBytes[271];

    // Read the factory image of one radio.
    StartSim({"--image", factory.string()});
    ASSERT_TRUE(RunTransfer(kModeRead));
    EXPECT_TRUE(config.state.TransferDone);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_FALSE(portLeftOpen);
    // Everything the read copies arrived intact (the kept ranges are the image's own).
    for (int a : {128, 129, 256, 271, 700, 768, 1000, 2048, 9000, 17919, 18176, 20735}) {
        EXPECT_EQ(config.image.bytes[static_cast<size_t>(a)], radioBytes[static_cast<size_t>(a)])
            << a;
    }
    sim.Stop();

    // Program it into a second, blank radio of the same model and region.
    const std::filesystem::path saved = folder / "radio2.bin";
    StartSim(
        {"--model", "1", "--region", std::to_string(radioBytes[271]), "--save", saved.string()});
    const sim::RadioMemory before = *sim::BlankMemory(1);
    prompt.messages.clear();
    ASSERT_TRUE(RunTransfer(kModeProgram));
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Complete!!"});
    EXPECT_FALSE(portLeftOpen);
    sim.Stop();

    std::vector<uint8_t> after = ReadFileBytes(saved);
    ASSERT_EQ(after.size(), 32768u);
    int written = 0;
    for (int a = 0; a < 32768; ++a) {
        const auto i = static_cast<size_t>(a);
        if (NeverProgrammed(a)) {
            EXPECT_EQ(after[i], before[i]) << "address " << a << " was programmed";
        } else if (a != 645 && a != 651) {
            // 640..644 and 646..650 arrive because the blank radio holds no MMSI or ATIS code.
            EXPECT_EQ(after[i], config.image.bytes[i]) << "address " << a;
            ++written;
        }
    }
    EXPECT_GT(written, 18000);
}

/// The read failures below must leave the configuration exactly as it was.
class ReadFaultOverPty : public TransferOverPty {
protected:
    void ExpectOneCommunicationError(const std::vector<std::string>& simArgs) {
        StartSim(simArgs);
        const Image image = config.image;
        const DataModel model = config.model;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(RunTransfer(kModeRead));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 40.0) << "the link hung";
        const auto texts = prompt.Texts();
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Communication Error!!"), 1)
            << ::testing::PrintToString(texts);
        EXPECT_LE(texts.size(), 2u) << ::testing::PrintToString(texts);
        EXPECT_FALSE(portLeftOpen);
        EXPECT_FALSE(config.state.TransferDone);
        EXPECT_TRUE(config.image.bytes == image.bytes);
        EXPECT_TRUE(config.model == model);
    }
};

// Framed requests: 1 status, 2 and 3 model code, 4 product code, 5 region, then read blocks.
TEST_F(ReadFaultOverPty, GarbageBeforeAReply) {
    ExpectOneCommunicationError({"--garbage-at", "9", "--garbage-length", "3"});
}

TEST_F(ReadFaultOverPty, ReplyCutShort) {
    ExpectOneCommunicationError({"--cut-at", "8"});
}

TEST_F(ReadFaultOverPty, CablePulledInTheMiddleOfARead) {
    ExpectOneCommunicationError({"--pull-cable-at", "40"});
    EXPECT_TRUE(sim.Exited());
}

}  // namespace
}  // namespace mrw

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
