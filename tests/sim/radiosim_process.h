// Runs mrw-radiosim as a child process for tests and benchmarks: starts it, reads the device
// path from its first output line, asks it to save its memory, and stops it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "test_files.h"

namespace mrw::testing {

/// One mrw-radiosim process.
class RadioSimProcess {
public:
    ~RadioSimProcess() { Stop(); }

    /// Starts the simulator with `args` and waits (up to 10 s) for its device path.
    bool Start(const std::vector<std::string>& args, std::string& error) {
        std::vector<std::string> argv = {(ProgramBinDir() / "mrw-radiosim").string()};
        argv.insert(argv.end(), args.begin(), args.end());
        int out[2];
        if (pipe(out) != 0 || (pid_ = fork()) < 0) {
            error = "pipe or fork failed";
            return false;
        }
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            if (!errorFile.empty()) {
                dup2(open(errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            }
            std::vector<char*> raw(argv.size() + 1, nullptr);
            std::transform(argv.begin(), argv.end(), raw.begin(), [](auto& a) { return a.data(); });
            execv(raw[0], raw.data());
            _exit(127);
        }
        close(out[1]);
        out_ = out[0];
        device_.clear();
        char c = 0;
        pollfd fd{out_, POLLIN, 0};
        while (poll(&fd, 1, 10000) > 0 && read(out_, &c, 1) == 1 && c != '\n') {
            device_ += c;
        }
        if (c != '\n') {
            error = argv[0] + " named no device";
            Stop();
            return false;
        }
        return true;
    }

    /// When set before Start: the simulator's standard error (its --log lines) goes here.
    std::filesystem::path errorFile;

    /// The pseudo-terminal the simulator serves.
    const std::string& Device() const { return device_; }

    /// Stops the simulator (SIGTERM; SIGKILL after 5 s). It saves its memory on the way out.
    void Stop() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            for (int i = 1; waitpid(pid_, nullptr, WNOHANG) == 0; ++i) {
                if (i == 500) {
                    kill(pid_, SIGKILL);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            pid_ = -1;
        }
        if (out_ >= 0) {
            close(std::exchange(out_, -1));
        }
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

}  // namespace mrw::testing
