// Preloaded into mrw by startup_first_paint.sh: where the program enters its event loop, the
// events already pending run instead (the shown main window's expose and first paint), and the
// process ends. The process's wall time is then its start-up up to the first window drawn.
// When MRW_BENCH_SCHEDSTAT names a file, the main thread's scheduler statistics go there
// first: time on the CPU, time waiting for a CPU (other processes' load) and time slices, in
// nanoseconds. Built without Qt headers: the two functions are named by their exported symbols.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

extern "C" {

// QCoreApplication::processEvents(QEventLoop::ProcessEventsFlags)
void _ZN16QCoreApplication13processEventsE6QFlagsIN10QEventLoop17ProcessEventsFlagEE(int flags);

static void CopySchedStat() {
    const char* target = getenv("MRW_BENCH_SCHEDSTAT");
    if (target == nullptr) {
        return;
    }
    char buffer[256];
    const int in = open("/proc/thread-self/schedstat", O_RDONLY);
    const ssize_t n = in >= 0 ? read(in, buffer, sizeof buffer) : -1;
    const int out = open(target, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (n > 0 && out >= 0) {
        (void)!write(out, buffer, static_cast<size_t>(n));
    }
}

static int RunPendingEventsAndEnd() {
    for (int i = 0; i < 5; ++i) {
        _ZN16QCoreApplication13processEventsE6QFlagsIN10QEventLoop17ProcessEventsFlagEE(0);
    }
    CopySchedStat();
    _exit(0);
}

// QApplication::exec(), as the program's main calls it.
int _ZN12QApplication4execEv() {
    return RunPendingEventsAndEnd();
}

}  // extern "C"
