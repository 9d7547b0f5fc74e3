// The inputs a fuzz target has run, over time: with MRW_FUZZ_RATE_LOG naming a file, a line
// "<seconds> <inputs> <CPU seconds>" is appended to it once a second, so that a long run shows
// whether its rate holds (.ci/fuzz reports the first and the last part of the run). libFuzzer calls
// the target through this wrapper (linked with --wrap=LLVMFuzzerTestOneInput); without the variable
// it only passes the input on.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

extern "C" int __real_LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

struct RateLog {
    RateLog() {
        if (const char* path = std::getenv("MRW_FUZZ_RATE_LOG"); path != nullptr && *path) {
            file = std::fopen(path, "w");
        }
        start = std::chrono::steady_clock::now();
    }
    std::FILE* file = nullptr;
    std::chrono::steady_clock::time_point start;
    uint64_t inputs = 0;
    long long second = 0;
};

}  // namespace

extern "C" __attribute__((no_sanitize("coverage"))) int __wrap_LLVMFuzzerTestOneInput(
    const uint8_t* data, size_t size) {
    static RateLog log;
    const int result = __real_LLVMFuzzerTestOneInput(data, size);
    ++log.inputs;
    if (log.file != nullptr) {
        const auto elapsed = std::chrono::steady_clock::now() - log.start;
        const long long now = std::chrono::duration_cast<std::chrono::seconds>(elapsed).count();
        if (now > log.second) {
            log.second = now;
            const double seconds = std::chrono::duration<double>(elapsed).count();
            std::fprintf(log.file, "%.3f %llu %.3f\n", seconds,
                         static_cast<unsigned long long>(log.inputs),
                         static_cast<double>(std::clock()) / CLOCKS_PER_SEC);
            std::fflush(log.file);
        }
    }
    return result;
}
