// The serial port through termios: raw mode, the settings' baud rate, parity, data and stop
// bits, no flow control, and the tty list of /sys/class/tty.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/text.h"
#include "link/native_serial_port.h"

namespace mrw {

namespace {

/// How long a send may take to leave the program.
constexpr int kWriteTimeoutMs = 2000;

std::string Reason(int error) {
    return std::strerror(error);
}

/// The termios speed of a baud rate; 0 when the system has none for it.
speed_t SpeedOf(int baud) {
    static constexpr std::pair<int, speed_t> kSpeeds[] = {
        {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
        {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
        {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800}, {921600, B921600},
#endif
    };
    for (auto [rate, speed] : kSpeeds) {
        if (rate == baud) {
            return speed;
        }
    }
    return 0;
}

/// The first line of a small file, trimmed; empty when it cannot be read.
std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return Trim(line);
}

}  // namespace

bool NativeSerialPort::Open(const std::string& settings, std::string& error) {
    Close();
    LineSettings line;
    if (!CheckOpenRequest(path_, settings, line, error)) {
        return false;
    }
    const int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int failure = errno;
        // The device leads the reason, so that a message or log line says which one failed.
        error = PortOpenError(path_, Reason(failure), failure == EACCES || failure == EPERM);
        lastError_ = error;
        return false;
    }
    handle_ = fd;
    termios tty{};
    const speed_t speed = SpeedOf(line.baud);
    std::string reason;
    if (tcgetattr(fd, &tty) != 0) {
        reason = Reason(errno);
    } else if (speed == 0) {
        reason = "The baud rate " + std::to_string(line.baud) + " is not supported.";
    } else if (line.stopBits == StopBits::OneAndHalf) {
        reason = "1.5 stop bits are not supported.";
    } else {
        cfmakeraw(&tty);
        tty.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
        tty.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
        tty.c_cflag &= ~static_cast<tcflag_t>(CMSPAR);
#endif
        tty.c_cflag |= CLOCAL | CREAD;
        static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
        tty.c_cflag |= kSizes[line.dataBits - 5];
        if (line.stopBits == StopBits::Two) {
            tty.c_cflag |= CSTOPB;
        }
        if (line.parity != Parity::None) {
            tty.c_cflag |= PARENB;
            tty.c_iflag |= INPCK;
        }
        if (line.parity == Parity::Odd || line.parity == Parity::Mark) {
            tty.c_cflag |= PARODD;
        }
        if (line.parity == Parity::Mark || line.parity == Parity::Space) {
#ifdef CMSPAR
            tty.c_cflag |= CMSPAR;
#else
            reason = "Mark and space parity are not supported.";
#endif
        }
        tty.c_cc[VMIN] = 0;
        tty.c_cc[VTIME] = 0;
        if (reason.empty() && (cfsetispeed(&tty, speed) != 0 || cfsetospeed(&tty, speed) != 0 ||
                               tcsetattr(fd, TCSANOW, &tty) != 0)) {
            reason = Reason(errno);
        }
    }
    if (!reason.empty()) {
        error = path_ + ": " + reason;
        Fail(error);
        return false;
    }
    // Another program opening the device meanwhile would take the radio's answers.
    ioctl(fd, TIOCEXCL);
    lastError_.clear();
    return true;
}

void NativeSerialPort::Close() {
    if (handle_ != -1) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
    received_.clear();
    next_ = 0;
}

bool NativeSerialPort::Send(const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (IsOpen() && sent < bytes.size()) {
        const ssize_t n =
            ::write(static_cast<int>(handle_), bytes.data() + sent, bytes.size() - sent);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return Fail(Reason(errno));
        }
        pollfd out{static_cast<int>(handle_), POLLOUT, 0};
        const int ready = poll(&out, 1, kWriteTimeoutMs);
        if (ready == 0) {
            return Fail("Write timed out.");
        }
        if (ready < 0 && errno != EINTR) {
            return Fail(Reason(errno));
        }
    }
    return IsOpen();
}

bool NativeSerialPort::Fill(int waitMs) {
    if (!IsOpen()) {
        return false;
    }
    if (next_ == received_.size()) {
        received_.clear();
        next_ = 0;
    }
    pollfd in{static_cast<int>(handle_), POLLIN, 0};
    const int ready = poll(&in, 1, waitMs);
    if (ready < 0) {
        return errno == EINTR || Fail(Reason(errno));
    }
    if (ready == 0) {
        return true;
    }
    uint8_t buffer[4096];
    const ssize_t n = ::read(static_cast<int>(handle_), buffer, sizeof buffer);
    if (n > 0) {
        received_.insert(received_.end(), buffer, buffer + n);
        return true;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return true;
    }
    // The device is gone: an unplugged adapter, a closed pseudo-terminal.
    return Fail(n == 0 || (in.revents & POLLHUP) != 0 ? "The device was disconnected."
                                                      : Reason(errno));
}

void NativeSerialPort::DiscardInput() {
    received_.clear();
    next_ = 0;
    if (IsOpen() && tcflush(static_cast<int>(handle_), TCIFLUSH) != 0) {
        Fail(Reason(errno));
    }
}

std::string UnlistedPortPath(int /*number*/) {
    return {};
}

std::vector<SerialDevice> SystemSerialDevices() {
    namespace fs = std::filesystem;
    std::vector<SerialDevice> devices;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/sys/class/tty", ec)) {
        const std::string name = entry.path().filename().string();
        const fs::path device = entry.path() / "device";
        if (!fs::exists(device, ec)) {
            continue;  // a virtual terminal, a pseudo-terminal
        }
        // The serial8250 driver makes ttyS0..ttyS31 whether or not a UART is there; type 0
        // says none is.
        if (name.rfind("ttyS", 0) == 0 && FirstLine(entry.path() / "type") == "0") {
            continue;
        }
        // The product name of the USB device above the tty, as the desktop program shows it.
        std::string description;
        fs::path up = fs::canonical(device, ec);
        for (int level = 0; level < 4 && description.empty() && !up.empty(); ++level) {
            description = FirstLine(up / "product");
            up = up.parent_path();
        }
        devices.push_back({"/dev/" + name, description});
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return devices;
}

}  // namespace mrw
