// The console on a POSIX system: isatty, and SIGINT, SIGTERM and SIGHUP as interruptions.
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>

#include "cli/console.h"

namespace mrw::cli {

namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int /*signal*/) {
    gInterrupted = true;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void WriteOutputAsBytes() {}

bool ErrorStreamIsTerminal() {
    return isatty(STDERR_FILENO) != 0;
}

// Ctrl+C, a kill (SIGTERM) and a closed terminal (SIGHUP) all press Cancel; a signal the
// caller ignores (nohup) stays ignored, and each gets its handler back afterwards.
void CatchInterruptions(bool on) {
    static constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};
    static std::array<void (*)(int), 3> previous = {SIG_DFL, SIG_DFL, SIG_DFL};
    if (on) {
        gInterrupted = false;
    }
    for (size_t i = 0; i < kSignals.size(); ++i) {
        if (on) {
            previous[i] = std::signal(kSignals[i], OnInterrupt);
            if (previous[i] == SIG_IGN || previous[i] == SIG_ERR) {
                std::signal(kSignals[i], previous[i] == SIG_IGN ? SIG_IGN : SIG_DFL);
            }
        } else {
            std::signal(kSignals[i], previous[i] == SIG_ERR ? SIG_DFL : previous[i]);
        }
    }
}

bool ConsoleInterrupted() {
    return gInterrupted.load();
}

}  // namespace mrw::cli
