// mrw-radiosim as a process: it refuses a bad option or image, starts, answers on its
// pseudo-terminal with the identity it was given. What it answers is the engine test's.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sim/radiosim_process.h"

namespace mrw::testing {
namespace {

TEST(RadioSimProcessTest, StartsAndAnswersOverItsPseudoTerminal) {
    RadioSimProcess radiosim;
    std::string error;
    EXPECT_FALSE(radiosim.Start({"--model-code", "8FD"}, error));
    EXPECT_FALSE(radiosim.Start({"--image", "/dev/null"}, error));  // not 32768 bytes
    ASSERT_TRUE(radiosim.Start({"--model-code", "0AFD"}, error)) << error;
    const int fd = open(radiosim.Device().c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    tcsetattr(fd, TCSANOW, &tio);
    // The model code at 128; checksums are the XOR of every character up to the last HT.
    const std::string expected = "#CMDOK\r\n#QKPDT\t0080\t02\t0AFD\t00\r\n";
    ASSERT_EQ(write(fd, "#QKPRD\t0080\t02\t7C\r\n", 19), 19);
    std::string answer;
    char buffer[64];
    pollfd p{fd, POLLIN, 0};
    for (ssize_t n = 1; answer.size() < expected.size() && n > 0 && poll(&p, 1, 3000) > 0;) {
        n = read(fd, buffer, sizeof buffer);
        answer.append(buffer, static_cast<size_t>(std::max<ssize_t>(n, 0)));
    }
    EXPECT_EQ(answer, expected);
    close(fd);
}

}  // namespace
}  // namespace mrw::testing
