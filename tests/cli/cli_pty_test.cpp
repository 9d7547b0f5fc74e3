// mrw-cli as a user runs it: the real executable against mrw-radiosim on a pseudo-terminal
// (which refuses a bad option or image before it starts),
// on a serial device that is not there, and stopped by a signal.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "sim/radiosim_process.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

using mrw::testing::RadioSimProcess;
using mrw::testing::ReadFile;

class CliOnAPseudoTerminal : public ::testing::Test {
protected:
    // Suites of other build trees may run at the same time: a folder of this process's own.
    CliOnAPseudoTerminal() { fs::create_directories(dir); }
    ~CliOnAPseudoTerminal() override { fs::remove_all(dir); }

    /// mrw-cli with `args`; its exit status, its error stream in `err`.
    int RunCli(const std::string& args) {
        const std::string command = (fs::path(MRW_TEST_BIN_DIR) / "mrw-cli").string() + " " + args +
                                    " > /dev/null 2> " + (dir / "cli.err").string();
        const int status = std::system(command.c_str());
        err = ReadFile(dir / "cli.err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    const fs::path dir = fs::temp_directory_path() / ("mrw_cli_pty_" + std::to_string(getpid()));
    std::string err;
};

TEST_F(CliOnAPseudoTerminal, ReadsAndProgramsTheSimulatedRadio) {
    const fs::path saved = dir / "radio.bin";
    const std::string dat = (dir / "radio.dat").string();
    RadioSimProcess sim;
    std::string error;
    EXPECT_FALSE(sim.Start({"--model-code", "8FD"}, error));   // three digits
    EXPECT_FALSE(sim.Start({"--image", "/dev/null"}, error));  // not 32768 bytes
    ASSERT_TRUE(sim.Start({"--defaults", "NL", "--model", "1", "--save", saved.string()}, error))
        << error;
    const std::string common = "--model 1 --region nl --port " + sim.Device();
    ASSERT_EQ(RunCli(common + " read -o " + dat), 0) << err;
    std::string text = ReadFile(dat);
    EXPECT_NE(text.find("REGION=3\r\n"), std::string::npos);

    // Rename the first channel and program it back.
    const size_t tag = text.find("ChTag=#", text.find("[CHUSA1]"));
    ASSERT_NE(tag, std::string::npos);
    text.replace(tag, text.find("\r\n", tag) - tag, "ChTag=#PTYTEST");
    std::ofstream(dat, std::ios::binary) << text;
    ASSERT_EQ(RunCli(common + " program " + dat), 0) << err;
    sim.Stop();
    EXPECT_EQ(ReadFile(saved).substr(4864, 7), "PTYTEST");
}

// The system's reason and no advice on groups; nothing written.
TEST_F(CliOnAPseudoTerminal, AMissingDeviceIsNamedWithTheSystemsReason) {
    const std::string device = (dir / "ttyUSB9").string();
    EXPECT_EQ(RunCli("--model 1 --port " + device + " read -o " + (dir / "radio.dat").string()), 1);
    EXPECT_EQ(
        err.rfind("The serial port cannot be opened.\n" + device + ": No such file or directory\n",
                  0),
        0u)
        << err;
    EXPECT_EQ(err.find("dialout"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "radio.dat"));
}

TEST_F(CliOnAPseudoTerminal, SigtermAndSighupCancelATransferAsCtrlCDoes) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        // The radio takes the checks (framed requests 1 to 4) and then answers nothing: the
        // clear's first write (request 5) waits for its acknowledgement when the signal comes.
        RadioSimProcess sim;
        sim.errorFile = dir / "radiosim.log";
        std::string error;
        ASSERT_TRUE(sim.Start({"--model", "1", "--log", "--silent-after", "4"}, error)) << error;
        const fs::path errFile = dir / "cli.err";
        const pid_t cli = fork();
        ASSERT_GE(cli, 0);
        if (cli == 0) {
            const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(err, STDERR_FILENO);
            const int null = open("/dev/null", O_RDWR);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDIN_FILENO);
            const std::string program = (fs::path(MRW_TEST_BIN_DIR) / "mrw-cli").string();
            execl(program.c_str(), program.c_str(), "--model", "1", "--port", sim.Device().c_str(),
                  "clear", "dsc-tx-log", nullptr);
            _exit(127);
        }
        // Waits for the radio to receive the first write (the link waits 10 s for each of
        // its three tries), or for mrw-cli to end before it.
        int status = 0;
        while (ReadFile(sim.errorFile).find("#QKPWR") == std::string::npos) {
            ASSERT_NE(waitpid(cli, &status, WNOHANG), cli) << ReadFile(errFile);
            usleep(10000);
        }
        kill(cli, signal);
        ASSERT_EQ(waitpid(cli, &status, 0), cli);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal";
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(ReadFile(errFile),
                  "Cancelled.\nThe radio was partly cleared: 1 of 42 blocks written. Run the "
                  "clear again.\n");
    }
}

}  // namespace
