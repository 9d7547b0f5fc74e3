// mrw-cli as a user runs it: the real executable against mrw-radiosim on a pseudo-terminal.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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

int RunCli(const fs::path& bin, const std::string& args) {
    std::string cmd = (bin / "mrw-cli").string() + " " + args + " > /dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliOnAPseudoTerminal, ReadsAndProgramsTheSimulatedRadio) {
    fs::path bin = MRW_TEST_BIN_DIR;
    // Suites of other build trees may run at the same time: a folder of this process's own.
    fs::path dir = fs::temp_directory_path() / ("mrw_cli_pty_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::path saved = dir / "radio.bin";
    RadioSimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start({"--defaults", "NL", "--model", "1", "--save", saved.string()}, error))
        << error;

    std::string common = "--model 1 --region nl --port " + sim.Device();
    ASSERT_EQ(RunCli(bin, common + " read -o " + (dir / "radio.dat").string()), 0);
    std::string dat = ReadFile(dir / "radio.dat");
    EXPECT_NE(dat.find("REGION=3\r\n"), std::string::npos);

    // Rename the first channel and program it back.
    size_t tag = dat.find("ChTag=#", dat.find("[CHUSA1]"));
    ASSERT_NE(tag, std::string::npos);
    dat.replace(tag, dat.find("\r\n", tag) - tag, "ChTag=#PTYTEST");
    std::ofstream(dir / "radio.dat", std::ios::binary) << dat;
    ASSERT_EQ(RunCli(bin, common + " program " + (dir / "radio.dat").string()), 0);

    sim.Stop();
    std::string memory = ReadFile(saved);
    ASSERT_EQ(memory.size(), 32768U);
    EXPECT_EQ(memory.substr(4864, 7), "PTYTEST");
    fs::remove_all(dir);
}

TEST(CliOnAPseudoTerminal, ARefusedConnectionOrBlockFailsWithoutOutput) {
    fs::path bin = MRW_TEST_BIN_DIR;
    fs::path out =
        fs::temp_directory_path() / ("mrw_cli_pty_refused_" + std::to_string(getpid()) + ".dat");
    // The radio refuses the baud switch: the read ends at once, before any block. Or it
    // refuses block 20 and only half of the resynchronisation gets through: the read fails
    // rather than keeping the image's old bytes for that block.
    for (const std::vector<std::string>& radio :
         {std::vector<std::string>{"--model", "1", "--refuse-baud-switch"},
          {"--model", "1", "--half-sync-at", "20:3"}}) {
        SCOPED_TRACE(radio.back());
        fs::remove(out);
        RadioSimProcess sim;
        std::string error;
        ASSERT_TRUE(sim.Start(radio, error)) << error;
        EXPECT_EQ(RunCli(bin, "--model 1 --port " + sim.Device() + " read -o " + out.string()), 1);
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST(CliOnAPseudoTerminal, SigtermAndSighupCancelATransferAsCtrlCDoes) {
    fs::path bin = MRW_TEST_BIN_DIR;
    fs::path dir = fs::temp_directory_path() / ("mrw_cli_pty_signal_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
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
            const std::string program = (bin / "mrw-cli").string();
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
    fs::remove_all(dir);
}

}  // namespace
