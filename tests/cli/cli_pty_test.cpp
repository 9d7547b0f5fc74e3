// mrw-cli as a user runs it: the real executable against mrw-radiosim on a pseudo-terminal.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "test_files.h"

namespace {

namespace fs = std::filesystem;

using mrw::testing::ReadFile;

// The simulator as a child process; its first output line names its pseudo-terminal.
class Simulator {
public:
    Simulator(const fs::path& bin, const std::string& args) {
        std::string cmd = "exec " + (bin / "mrw-radiosim").string() + " " + args;
        int out[2];
        if (pipe(out) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        FILE* f = fdopen(out[0], "r");
        char line[256] = {};
        if (f != nullptr && std::fgets(line, sizeof line, f) != nullptr) {
            device_ = line;
            while (!device_.empty() && (device_.back() == '\n' || device_.back() == '\r')) {
                device_.pop_back();
            }
        }
        stream_ = f;
    }
    ~Simulator() { Stop(); }
    // Stops the simulator; it saves its memory on SIGTERM.
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        if (stream_ != nullptr) {
            std::fclose(stream_);
            stream_ = nullptr;
        }
    }
    const std::string& device() const { return device_; }

private:
    pid_t pid_ = -1;
    FILE* stream_ = nullptr;
    std::string device_;
};

int RunCli(const fs::path& bin, const std::string& args) {
    std::string cmd = (bin / "mrw-cli").string() + " " + args + " > /dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(CliOnAPseudoTerminal, ReadsAndProgramsTheSimulatedRadio) {
    fs::path bin = MRW_TEST_BIN_DIR;
    fs::path dir = fs::temp_directory_path() / "mrw_cli_pty";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::path saved = dir / "radio.bin";
    Simulator sim(bin, "--defaults NL --model 1 --save " + saved.string());
    ASSERT_FALSE(sim.device().empty());

    std::string common = "--model 1 --region nl --port " + sim.device();
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
    fs::path out = fs::temp_directory_path() / "mrw_cli_pty_refused.dat";
    // The radio refuses the baud switch: the read ends at once, before any block. Or it
    // refuses block 20 and only half of the resynchronisation gets through: the read fails
    // rather than keeping the image's old bytes for that block.
    for (const char* radio : {"--refuse-baud-switch", "--half-sync-at 20:3"}) {
        SCOPED_TRACE(radio);
        fs::remove(out);
        Simulator sim(bin, std::string("--model 1 ") + radio);
        ASSERT_FALSE(sim.device().empty());
        EXPECT_EQ(RunCli(bin, "--model 1 --port " + sim.device() + " read -o " + out.string()), 1);
        EXPECT_FALSE(fs::exists(out));
    }
}

}  // namespace
