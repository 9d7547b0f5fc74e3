// mrw-radiosim: a simulated radio at the end of a pseudo-terminal. Prints the device a PC
// program should open on the first line of its output, then answers the clone protocol from a
// 32768-byte memory until it is told to stop.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/folders.h"
#include "files/atomic_file.h"
#include "model/catalogue.h"
#include "sim/radio_engine.h"

namespace {

using mrw::sim::Fault;
using mrw::sim::FaultKind;
using mrw::sim::RadioEngine;
using mrw::sim::RadioMemory;
using mrw::sim::RadioOptions;
using SteadyClock = std::chrono::steady_clock;

constexpr const char* kHelp =
    R"(Usage: mrw-radiosim [OPTIONS]

A simulated marine VHF radio in PC control mode, for trying MRW without a radio.
It opens a pseudo-terminal, prints its device path (for example /dev/pts/5) on the
first line of its output, and answers the clone protocol from a 32768-byte memory:
the wake-up byte 0x50 (echoed), "ACMD:002" (OK), "#CMDSY", "#QKPSR" (status),
"#QKPRD" (read), "#QKPWR" (write, frame checksum checked), 0x18 (answered 0x06).
Malformed or out-of-range requests and bad checksums are answered "ERROR".
Open the printed device in MRW with --port DEVICE.

Memory:
  --image FILE        serve this raw 32768-byte memory image
  --defaults REGION   serve the region default image REGION<suffix>.ini of --model
                      (INTL, UK, BE, NL, SW, GRMN, USA) from --data-dir
  --data-dir DIR      folder of the region default images (default: as MRW finds them:
                      this program's folder, else ../share/mrw beside it, else
                      )" MRW_INSTALLED_DATA_DIR R"()
  --model TYPE        model type 1 (HV2300), 2 (HV2400) or 11 (HV2300M); default 1.
                      Without --image or --defaults the memory is blank (all 0xFF)
                      with the identity of this model and region byte 0 (INTL)
  --model-code HEX    report another model code (4 hex digits) at 128 and 32766
  --product TEXT      report another product code at 256 (up to 6 characters)
  --region CODE       report another region byte at 271 (0..255, or a region name)
  --save FILE         write the memory to FILE on exit (SIGTERM, SIGINT, end of
                      the simulation) and whenever SIGUSR1 arrives

Line:
  --baud N            emulate the byte time of N baud (10 bits per byte): answers
                      leave no faster than a real cable would carry them (e.g. 57600)

Faults (N counts the framed requests #QKPSR/#QKPRD/#QKPWR from 1; N:K means
requests N to N+K-1; each option may be given several times):
  --error-at N[:K]        answer "ERROR" instead of acknowledging
  --no-answer-at N[:K]    answer nothing at all
  --half-sync-at N[:K]    answer "ERROR" like --error-at; of the "#CMDSY" that
                          follow request N+K-1, acknowledge the first and refuse
                          the others (a resynchronisation that fails halfway)
  --drop-reply-at N[:K]   acknowledge but leave out the data or status reply
                          (for a write: leave out the acknowledgement)
  --bad-checksum-at N[:K] send the data or status reply with a wrong checksum
  --garbage-at N[:K]      send random bytes before the answer
  --garbage-length L      number of random bytes (default 5)
  --cut-at N[:K]          stop the last message of the answer halfway
  --pull-cable-at N       close the line when request N arrives (the PC sees the
                          device vanish); the simulator saves and exits
  --drop-write-at A[:K]   acknowledge writes to memory address A (to A+K-1) but keep
                          the old bytes there, as a radio that loses a write would;
                          A is decimal or hexadecimal with 0x (e.g. 0x1300); only a
                          read-back shows it (MRW's verify after programming)
  --busy N                report busy ("01") to the first N status requests
  --silent-after N        answer nothing once N framed requests were received
                          (0: a radio that never answers)
  --refuse-baud-switch    answer "ERROR" to "ACMD:002"
  --seed S                seed of the random garbage (default 1)

Other:
  --log               print every request received on standard error
  --help              show this text

Exit status: 0 after SIGTERM/SIGINT or a pulled cable, 1 when the memory or the
pseudo-terminal cannot be set up, 2 for bad options.
)";

volatile sig_atomic_t g_stop = 0;
volatile sig_atomic_t g_save = 0;

void OnSignal(int signal) {
    if (signal == SIGUSR1) {
        g_save = 1;
    } else {
        g_stop = 1;
    }
}

struct Options {
    RadioOptions radio;
    std::optional<std::string> image;
    std::optional<std::string> defaults;
    std::optional<std::string> dataDir;
    int model = 1;
    std::optional<uint16_t> modelCode;
    std::optional<std::string> product;
    std::optional<int> region;
    std::optional<std::string> save;
    int baud = 0;
    bool log = false;
};

std::optional<int> ParseInt(const std::string& text, int base = 10) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

/// "A" or "A:K": a memory address (decimal, or hexadecimal after "0x") and K >= 1 addresses.
std::optional<Fault> ParseDropWrite(const std::string& text) {
    const size_t colon = text.find(':');
    const std::string first = text.substr(0, colon);
    const bool hex = first.size() > 2 && (first.rfind("0x", 0) == 0 || first.rfind("0X", 0) == 0);
    std::optional<int> address = hex ? ParseInt(first.substr(2), 16) : ParseInt(first);
    std::optional<int> count = colon == std::string::npos ? 1 : ParseInt(text.substr(colon + 1));
    if (!address || !count || *address < 0 || *count < 1 ||
        *address + *count > mrw::sim::kRadioMemorySize) {
        return std::nullopt;
    }
    return Fault{.kind = FaultKind::DropWrite, .count = *count, .address = *address};
}

/// "N" or "N:K" with N >= 1, K >= 1.
std::optional<Fault> ParseFault(FaultKind kind, const std::string& text) {
    const size_t colon = text.find(':');
    std::optional<int> request = ParseInt(text.substr(0, colon));
    std::optional<int> count = colon == std::string::npos ? 1 : ParseInt(text.substr(colon + 1));
    if (!request || !count || *request < 1 || *count < 1) {
        return std::nullopt;
    }
    return Fault{kind, *request, *count};
}

bool Fail(const std::string& message) {
    std::cerr << "mrw-radiosim: " << message << "\n";
    return false;
}

bool ParseOptions(int argc, char** argv, Options& options, bool& help) {
    const std::vector<std::pair<const char*, FaultKind>> faultOptions = {
        {"--error-at", FaultKind::ErrorReply},       {"--no-answer-at", FaultKind::NoAnswer},
        {"--drop-reply-at", FaultKind::DropReply},   {"--bad-checksum-at", FaultKind::BadChecksum},
        {"--garbage-at", FaultKind::Garbage},        {"--cut-at", FaultKind::CutShort},
        {"--pull-cable-at", FaultKind::CablePulled}, {"--half-sync-at", FaultKind::HalfSync},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        if (arg == "--log") {
            options.log = true;
            continue;
        }
        if (arg == "--refuse-baud-switch") {
            options.radio.baudSwitchReply = "ERROR";
            continue;
        }
        if (i + 1 >= argc) {
            return Fail("unknown option or missing value: " + arg + " (see --help)");
        }
        const std::string value = argv[++i];
        auto number = [&](int min, int max) -> std::optional<int> {
            std::optional<int> n = ParseInt(value);
            if (!n || *n < min || *n > max) {
                Fail("bad value for " + arg + ": " + value);
                return std::nullopt;
            }
            return n;
        };
        if (arg == "--drop-write-at") {
            std::optional<Fault> fault = ParseDropWrite(value);
            if (!fault) {
                return Fail("bad value for " + arg + ": " + value +
                            " (an address 0..32767, decimal or 0x..., optionally :K)");
            }
            options.radio.faults.push_back(*fault);
            continue;
        }
        bool handled = false;
        for (const auto& [name, kind] : faultOptions) {
            if (arg == name) {
                std::optional<Fault> fault = ParseFault(kind, value);
                if (!fault) {
                    return Fail("bad value for " + arg + ": " + value + " (N or N:K expected)");
                }
                options.radio.faults.push_back(*fault);
                handled = true;
            }
        }
        if (handled) {
            continue;
        }
        if (arg == "--image") {
            options.image = value;
        } else if (arg == "--defaults") {
            options.defaults = value;
        } else if (arg == "--data-dir") {
            options.dataDir = value;
        } else if (arg == "--save") {
            options.save = value;
        } else if (arg == "--product") {
            if (value.size() > static_cast<size_t>(mrw::sim::kProductCodeLength)) {
                return Fail("--product takes at most 6 characters");
            }
            options.product = value;
        } else if (arg == "--model") {
            auto n = number(0, 255);
            if (!n || !mrw::sim::BlankMemory(*n)) {
                return Fail("unknown model type: " + value + " (1, 2 or 11)");
            }
            options.model = *n;
        } else if (arg == "--model-code") {
            std::optional<int> code = value.size() == 4 ? ParseInt(value, 16) : std::nullopt;
            if (!code) {
                return Fail("--model-code takes 4 hexadecimal digits");
            }
            options.modelCode = static_cast<uint16_t>(*code);
        } else if (arg == "--region") {
            std::optional<int> code = ParseInt(value);
            if (!code) {
                code = mrw::RegionCodeOfName(value);
            }
            if (!code || *code < 0 || *code > 255) {
                return Fail("bad region: " + value);
            }
            options.region = *code;
        } else if (arg == "--baud") {
            auto n = number(1, 10'000'000);
            if (!n) {
                return false;
            }
            options.baud = *n;
        } else if (arg == "--busy") {
            auto n = number(0, 1'000'000);
            if (!n) {
                return false;
            }
            options.radio.busyStatusCount = *n;
        } else if (arg == "--silent-after") {
            auto n = number(0, 1'000'000);
            if (!n) {
                return false;
            }
            options.radio.silentAfter = *n;
        } else if (arg == "--garbage-length") {
            auto n = number(1, 4096);
            if (!n) {
                return false;
            }
            options.radio.garbageLength = *n;
        } else if (arg == "--seed") {
            auto n = number(1, 2'000'000'000);
            if (!n) {
                return false;
            }
            options.radio.seed = static_cast<uint32_t>(*n);
        } else {
            return Fail("unknown option: " + arg + " (see --help)");
        }
    }
    if (options.image && options.defaults) {
        return Fail("give either --image or --defaults, not both");
    }
    return true;
}

bool LoadFile(const std::filesystem::path& path, RadioMemory& memory) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Fail("cannot open " + path.string());
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() != memory.size()) {
        return Fail(path.string() + " holds " + std::to_string(bytes.size()) +
                    " bytes; a memory image holds 32768");
    }
    std::copy(bytes.begin(), bytes.end(), memory.begin());
    return true;
}

std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        self = std::filesystem::absolute(argv0, ec);
    }
    return self.parent_path();
}

bool BuildMemory(const Options& options, const char* argv0, RadioMemory& memory) {
    memory = *mrw::sim::BlankMemory(options.model);
    if (options.image && !LoadFile(*options.image, memory)) {
        return false;
    }
    if (options.defaults) {
        const std::filesystem::path folder =
            options.dataDir ? std::filesystem::path(*options.dataDir)
                            : mrw::FindDataFolder(ProgramFolder(argv0), MRW_INSTALLED_DATA_DIR);
        std::string region = *options.defaults;
        for (char& c : region) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (!LoadFile(folder / (region + mrw::ModelFileSuffix(options.model) + ".ini"), memory)) {
            return false;
        }
    }
    if (options.modelCode) {
        mrw::sim::SetModelCode(memory, *options.modelCode);
    }
    if (options.product) {
        mrw::sim::SetProductCode(memory, *options.product);
    }
    if (options.region) {
        memory[mrw::sim::kRegionAddress] = static_cast<uint8_t>(*options.region);
    }
    return true;
}

void Save(const Options& options, const RadioMemory& memory) {
    if (!options.save) {
        return;
    }
    std::string error;
    if (!mrw::WriteFileAtomically(
            *options.save,
            std::string_view(reinterpret_cast<const char*>(memory.data()), memory.size()),
            &error)) {
        std::cerr << "mrw-radiosim: cannot save " << *options.save << ": " << error << "\n";
    }
}

void MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
}

void LogRequest(const mrw::sim::RadioRequest& request) {
    std::cerr << "radiosim: " << request.word;
    if (request.framedNumber > 0) {
        std::cerr << " #" << request.framedNumber;
    }
    if (request.address >= 0) {
        std::cerr << " address " << mrw::sim::Hex(static_cast<unsigned>(request.address), 4);
    }
    if (request.count >= 0) {
        std::cerr << " count " << request.count;
    }
    if (!request.valid) {
        std::cerr << " (refused)";
    }
    std::cerr << "\n";
}

/// Answer bytes waiting for their time on the line.
struct Outgoing {
    uint8_t value;
    SteadyClock::time_point due;
};

int Run(const Options& options, RadioMemory& memory) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::cerr << "mrw-radiosim: cannot open a pseudo-terminal: " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    const char* name = ptsname(master);
    if (name == nullptr) {
        std::cerr << "mrw-radiosim: no pseudo-terminal name\n";
        return 1;
    }
    const std::string device = name;
    // Holding the slave side open keeps the master readable while the PC closes and reopens
    // the device (otherwise every read of the master fails with EIO in between).
    int slave = open(device.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::cerr << "mrw-radiosim: cannot open " << device << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    MakeRaw(slave);
    MakeRaw(master);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    std::cout << device << std::endl;

    RadioEngine engine(memory, options.radio);
    const auto byteTime = options.baud > 0 ? std::chrono::duration_cast<SteadyClock::duration>(
                                                 std::chrono::duration<double>(10.0 / options.baud))
                                           : SteadyClock::duration::zero();
    std::deque<Outgoing> outgoing;
    SteadyClock::time_point lineFree{};
    size_t logged = 0;

    sigset_t blocked;
    sigset_t waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGUSR1);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGUSR1);

    while (!g_stop) {
        if (g_save) {
            g_save = 0;
            Save(options, memory);
        }
        // Hand the line every answer byte whose time has come.
        const auto now = SteadyClock::now();
        std::vector<uint8_t> due;
        while (!outgoing.empty() && outgoing.front().due <= now) {
            due.push_back(outgoing.front().value);
            outgoing.pop_front();
        }
        if (!due.empty()) {
            size_t done = 0;
            while (done < due.size()) {
                ssize_t n = write(master, due.data() + done, due.size() - done);
                if (n > 0) {
                    done += static_cast<size_t>(n);
                } else if (n < 0 && errno == EINTR) {
                    continue;
                } else {
                    // The line is full (nobody reading): keep the rest for later.
                    for (size_t i = due.size(); i > done; --i) {
                        outgoing.push_front({due[i - 1], now});
                    }
                    break;
                }
            }
        }

        timespec timeout{0, 200'000'000};
        if (!outgoing.empty()) {
            auto wait = std::max(outgoing.front().due - SteadyClock::now(),
                                 SteadyClock::duration(std::chrono::microseconds(50)));
            wait = std::min(wait, SteadyClock::duration(std::chrono::milliseconds(200)));
            auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout = {static_cast<time_t>(ns / 1'000'000'000),
                       static_cast<long>(ns % 1'000'000'000)};
        }
        pollfd fd{master, POLLIN, 0};
        const int ready = ppoll(&fd, 1, &timeout, &waitMask);
        if (ready < 0) {
            continue;  // a signal: the loop head handles it
        }
        if (ready == 0 || (fd.revents & POLLIN) == 0) {
            continue;
        }
        uint8_t buffer[4096];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                usleep(20'000);  // the slave side is between owners; wait for the next one
            }
            continue;
        }
        const auto arrived = SteadyClock::now();
        std::vector<uint8_t> answer = engine.Receive(buffer, static_cast<size_t>(n));
        if (options.log) {
            for (; logged < engine.Requests().size(); ++logged) {
                LogRequest(engine.Requests()[logged]);
            }
        }
        if (engine.CablePulled()) {
            std::cerr << "mrw-radiosim: cable pulled at request " << engine.FramedCount() << "\n";
            close(master);
            close(slave);
            Save(options, memory);
            return 0;
        }
        // The request took its own byte times on the line; the answer follows it.
        SteadyClock::time_point at = std::max(lineFree, arrived + byteTime * static_cast<int>(n));
        for (uint8_t value : answer) {
            at += byteTime;
            outgoing.push_back({value, at});
        }
        lineFree = at;
    }
    Save(options, memory);
    close(slave);
    close(master);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, options, help)) {
        return 2;
    }
    if (help) {
        std::cout << kHelp;
        return 0;
    }
    RadioMemory memory{};
    if (!BuildMemory(options, argv[0], memory)) {
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGUSR1, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    return Run(options, memory);
}
