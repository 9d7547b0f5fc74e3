// A full read, a full program, a guarded program (backup read, program, verify read) and a
// guarded program of a one-channel edit, which writes and verifies only the blocks that differ
// from its backup read, through the QSerialPort adapter against mrw-radiosim with 57600-baud
// byte-time emulation, each pass compared with the floor the protocol allows: every byte on the
// wire at 10 bits / 57600 baud, plus the pauses the protocol prescribes. The one-channel edit's
// whole time is also put against a full read's floor.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/config.h"
#include "core/services.h"
#include "image/codec.h"
#include "link/safe_program.h"
#include "link/transfer.h"
#include "platform/qt_serial_port.h"
#include "sim/radiosim_process.h"

namespace mrw {
namespace {

constexpr double kBaud = 57600.0;
constexpr double kBitsPerByte = 10.0;

/// Real time, adding up every prescribed pause.
class PauseCountingClock : public SystemClock {
public:
    void Sleep(int ms) override {
        pausedMs += ms;
        SystemClock::Sleep(ms);
    }
    long pausedMs = 0;
};

/// A serial port that counts the bytes crossing it in both directions.
class CountingPort : public SerialPort {
public:
    explicit CountingPort(SerialPort& port) : port_(port) {}
    bool Open(const std::string& settings, std::string& error) override {
        return port_.Open(settings, error);
    }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    bool Send(const std::vector<uint8_t>& bytes) override {
        sent += static_cast<long>(bytes.size());
        return port_.Send(bytes);
    }
    int Waiting() override { return port_.Waiting(); }
    int ReadByte() override {
        const int c = port_.ReadByte();
        received += c >= 0 ? 1 : 0;
        return c;
    }
    void DiscardInput() override {
        // Not counted: asking the adapter what is pending waits for the line when nothing is,
        // a wait that belongs to the benchmark, not to the transfer (it cost every write
        // request 2 ms). A complete run discards nothing; bytes dropped here would only lower
        // the floor and so raise the ratio.
        port_.DiscardInput();
    }
    long sent = 0;
    long received = 0;

private:
    SerialPort& port_;
};

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "bench_link";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

/// The floor of the last full read (BM_FullRead runs first); 0 before it ran.
double fullReadFloor = 0.0;

void RunTransfer(benchmark::State& state, int mode) {
    EnsureApplication();
    const std::string factory = (testing::ProgramBinDir() / "UK_08FD.ini").string();
    for (auto _ : state) {
        state.PauseTiming();
        testing::RadioSimProcess sim;
        std::string error;
        std::vector<std::string> args = {"--baud", "57600"};
        if (mode == kModeRead) {
            args.insert(args.end(), {"--image", factory});
        } else {
            args.insert(args.end(), {"--region", "1"});
        }
        if (!sim.Start(args, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        PauseCountingClock clock;
        ScriptedPrompt prompt;
        Config config;
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.state.ModelType = 1;
        const std::vector<uint8_t> image = testing::ReadFileBytes(factory);
        if (image.size() != config.image.bytes.size()) {
            state.SkipWithError("no factory image");
            return;
        }
        std::copy(image.begin(), image.end(), config.image.bytes.begin());
        DecodeImage(config.image, config.model);
        QtSerialPort serial(sim.Device());
        CountingPort port(serial);
        config.state.TransferMode = static_cast<int16_t>(mode);
        TransferUi ui;
        Transfer transfer(config, port, ui, mode);
        transfer.Load();
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        transfer.RunOk();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        state.PauseTiming();
        if (!config.state.TransferDone) {
            state.SkipWithError("the transfer did not complete");
            return;
        }
        const double wireSeconds =
            static_cast<double>(port.sent + port.received) * kBitsPerByte / kBaud;
        const double floor = wireSeconds + static_cast<double>(clock.pausedMs) / 1000.0;
        state.counters["seconds"] = seconds;
        state.counters["wire_bytes"] = static_cast<double>(port.sent + port.received);
        state.counters["pauses_s"] = static_cast<double>(clock.pausedMs) / 1000.0;
        state.counters["floor_s"] = floor;
        state.counters["ratio"] = seconds / floor;
        if (mode == kModeRead) {
            fullReadFloor = floor;
        }
        sim.Stop();
        state.ResumeTiming();
    }
}

/// Where a pass starts: time, bytes on the wire and prescribed pauses so far.
struct Mark {
    std::chrono::steady_clock::time_point time;
    long wireBytes = 0;
    long pausedMs = 0;
};

/// Seconds, floor and ratio of the pass from `from` to `to` as counters named after `pass`.
void PassCounters(benchmark::State& state, const std::string& pass, const Mark& from,
                  const Mark& to) {
    const double seconds = std::chrono::duration<double>(to.time - from.time).count();
    const double floor = static_cast<double>(to.wireBytes - from.wireBytes) * kBitsPerByte / kBaud +
                         static_cast<double>(to.pausedMs - from.pausedMs) / 1000.0;
    state.counters[pass + "_s"] = seconds;
    state.counters[pass + "_floor_s"] = floor;
    state.counters[pass + "_ratio"] = seconds / floor;
}

// Programming with its safeguards: the backup read, the program pass and the verify read, each
// against its own floor, and the whole run's time. `oneChannelEdit`: the radio holds the factory
// image and the file differs from it in one channel's name, so that only that block is written
// and read back; the whole time is also put against a full read's floor ("whole_vs_read_floor").
void RunSafeProgram(benchmark::State& state, bool oneChannelEdit) {
    EnsureApplication();
    const std::string factory = (testing::ProgramBinDir() / "UK_08FD.ini").string();
    const std::filesystem::path backup =
        std::filesystem::temp_directory_path() / "mrw_bench_backup.hex";
    for (auto _ : state) {
        state.PauseTiming();
        testing::RadioSimProcess sim;
        std::string error;
        const std::vector<std::string> args =
            oneChannelEdit ? std::vector<std::string>{"--baud", "57600", "--image", factory}
                           : std::vector<std::string>{"--baud", "57600", "--region", "1"};
        if (!sim.Start(args, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        PauseCountingClock clock;
        ScriptedPrompt prompt;
        Config config;
        config.services.clock = &clock;
        config.services.prompt = &prompt;
        config.state.ModelType = 1;
        config.state.ModelName = "HV2300";
        const std::vector<uint8_t> image = testing::ReadFileBytes(factory);
        if (image.size() != config.image.bytes.size()) {
            state.SkipWithError("no factory image");
            return;
        }
        std::copy(image.begin(), image.end(), config.image.bytes.begin());
        DecodeImage(config.image, config.model);
        if (oneChannelEdit) {
            if (config.model.CHUSA.empty()) {
                state.SkipWithError("no channel to edit");
                return;
            }
            config.model.CHUSA[0].ChTag = "BRIDGE";
        }
        QtSerialPort serial(sim.Device());
        CountingPort port(serial);
        config.state.TransferMode = static_cast<int16_t>(kModeProgram);
        TransferUi ui;
        Transfer transfer(config, port, ui, kModeProgram);
        std::map<std::string, Mark> marks;
        auto mark = [&] {
            return Mark{std::chrono::steady_clock::now(), port.sent + port.received,
                        clock.pausedMs};
        };
        SafeProgramOptions options;
        options.backup = true;
        options.backupFile = backup;
        options.verify = true;
        options.onStage = [&](const std::string& stage) { marks[stage] = mark(); };
        SafeProgram guard(config, options);
        transfer.SetProgramGuard(&guard);
        transfer.Load();
        state.ResumeTiming();

        const Mark start = mark();
        transfer.RunOk();
        const Mark end = mark();

        state.PauseTiming();
        const char* backupStage = "Reading the radio for its backup\u2026";
        const char* writeStage = "Writing\u2026";
        const char* verifyStage = "Verifying\u2026";
        if (!config.state.TransferDone || marks.size() != 3) {
            state.SkipWithError("the guarded program did not complete");
            return;
        }
        PassCounters(state, "backup", marks[backupStage], marks[writeStage]);
        PassCounters(state, "program", marks[writeStage], marks[verifyStage]);
        PassCounters(state, "verify", marks[verifyStage], end);
        PassCounters(state, "whole", start, end);
        if (oneChannelEdit) {
            // The floor the quick path is held to: the backup read's floor plus the write and
            // read floors of the blocks it changed, with the steps around them; against it the
            // whole time ("whole_ratio"), and against a full read's floor.
            state.counters["write_requests"] = static_cast<double>(transfer.SentRanges().size());
            if (fullReadFloor > 0.0) {
                state.counters["full_read_floor_s"] = fullReadFloor;
                state.counters["whole_vs_read_floor"] =
                    std::chrono::duration<double>(end.time - start.time).count() / fullReadFloor;
            }
        }
        std::filesystem::remove(backup);
        sim.Stop();
        state.ResumeTiming();
    }
}

void BM_SafeProgram(benchmark::State& state) {
    RunSafeProgram(state, false);
}
void BM_SafeProgramOneChannel(benchmark::State& state) {
    RunSafeProgram(state, true);
}

void BM_FullRead(benchmark::State& state) {
    RunTransfer(state, kModeRead);
}
void BM_FullProgram(benchmark::State& state) {
    RunTransfer(state, kModeProgram);
}

BENCHMARK(BM_FullRead)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_FullProgram)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SafeProgram)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_SafeProgramOneChannel)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace mrw
