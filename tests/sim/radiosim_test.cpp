// mrw-radiosim as a process: memory from a file with identity overrides, answers on the
// pseudo-terminal, saves on exit, refuses a bad image.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "sim/radio_engine.h"
#include "sim/radiosim_process.h"

namespace mrw::testing {
namespace {

std::string Exchange(int fd, const std::string& request, size_t expected) {
    EXPECT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    std::string answer;
    char buffer[256];
    pollfd p{fd, POLLIN, 0};
    for (ssize_t n = 1; answer.size() < expected && n > 0 && poll(&p, 1, 3000) > 0;) {
        n = read(fd, buffer, sizeof buffer);
        answer.append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
    }
    return answer;
}

TEST(RadioSimProcessTest, ServesAFileWithOverridesAndSavesOnExit) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("mrw_radiosim_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    sim::RadioMemory memory = *sim::BlankMemory(2);
    memory[0x300] = 0x5A;
    std::ofstream(folder / "in.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(memory.data()), memory.size());
    std::ofstream(folder / "short.bin") << "short";
    const auto saved = folder / "out.bin";
    RadioSimProcess radiosim;
    std::string error;
    EXPECT_FALSE(radiosim.Start({"--image", (folder / "short.bin").string()}, error));
    EXPECT_FALSE(radiosim.Start({"--model-code", "8FD"}, error));
    ASSERT_TRUE(
        radiosim.Start({"--image", (folder / "in.bin").string(), "--product", "XY", "--region",
                        "GRMN", "--model-code", "0AFD", "--save", saved.string()},
                       error))
        << error;
    const int fd = open(radiosim.Device().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);

    EXPECT_EQ(Exchange(fd, "#QKPRD\t0300\t01\t74\r\n", 8 + 20),
              "#CMDOK\r\n#QKPDT\t0300\t01\t5A\t0F\r\n");
    EXPECT_EQ(Exchange(fd, sim::BuildFrame("#QKPWR", {"0301", "02", "1234"}), 8), "#CMDOK\r\n");
    EXPECT_EQ(Exchange(fd, sim::BuildFrame("#QKPWR", {"0303", "01", "77"}), 8), "#CMDOK\r\n");
    close(fd);
    radiosim.Stop();
    const std::vector<uint8_t> bytes = ReadFileBytes(saved);
    ASSERT_EQ(bytes.size(), 32768u);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(0x301, 3), "\x12\x34\x77");
    EXPECT_EQ(text.substr(128, 2), "\x0A\xFD");  // the model code given over the file's (09 61)
    EXPECT_EQ(text.substr(256, 6), "XY    ");
    EXPECT_EQ(text[271], 5);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace mrw::testing
