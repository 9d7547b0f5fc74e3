#include "link/serial_line.h"

#include <optional>
#include <vector>

#include "core/text.h"

namespace mrw {

bool ParseLineSettings(const std::string& settings, LineSettings& line) {
    std::vector<std::string> parts = Split(settings, ",");
    if (parts.size() != 4) {
        return false;
    }
    std::optional<double> baud = ParseNumber(parts[0]);
    std::optional<double> bits = ParseNumber(parts[2]);
    const std::string parity = ToUpper(Trim(parts[1]));
    const std::string stop = Trim(parts[3]);
    if (!baud || *baud < 50 || *baud > 4'000'000 || *baud != static_cast<int>(*baud)) {
        return false;
    }
    if (!bits || *bits < 5 || *bits > 8 || *bits != static_cast<int>(*bits)) {
        return false;
    }
    LineSettings parsed;
    parsed.baud = static_cast<int>(*baud);
    parsed.dataBits = static_cast<int>(*bits);
    static constexpr std::pair<const char*, Parity> kParities[] = {{"N", Parity::None},
                                                                   {"E", Parity::Even},
                                                                   {"O", Parity::Odd},
                                                                   {"M", Parity::Mark},
                                                                   {"S", Parity::Space}};
    static constexpr std::pair<const char*, StopBits> kStops[] = {
        {"1", StopBits::One}, {"1.5", StopBits::OneAndHalf}, {"2", StopBits::Two}};
    bool parityKnown = false;
    bool stopKnown = false;
    for (auto [name, value] : kParities) {
        if (parity == name) {
            parsed.parity = value;
            parityKnown = true;
        }
    }
    for (auto [name, value] : kStops) {
        if (stop == name) {
            parsed.stopBits = value;
            stopKnown = true;
        }
    }
    if (!parityKnown || !stopKnown) {
        return false;
    }
    line = parsed;
    return true;
}

bool CheckOpenRequest(const std::string& device, const std::string& settings, LineSettings& line,
                      std::string& error) {
    if (!ParseLineSettings(settings, line)) {
        error = "Invalid port settings: " + settings;
        return false;
    }
    if (device.empty()) {
        error = "No serial port chosen.";
        return false;
    }
    return true;
}

std::string PortOpenError(const std::string& device, const std::string& reason,
                          bool permissionDenied) {
    std::string text = device + ": " + reason;
    if (permissionDenied) {
        while (!text.empty() && text.back() == '.') {
            text.pop_back();
        }
        text +=
            ". To use serial ports, add yourself to the dialout group: "
            "sudo adduser $USER dialout, then log out and in.";
    }
    return text;
}

std::string ComDevicePath(const std::string& port) {
    const std::string prefix = "\\\\.\\";
    std::string name = port.rfind(prefix, 0) == 0 ? port.substr(prefix.size()) : port;
    if (name.size() < 4 || name.size() > 6 || ToUpper(name.substr(0, 3)) != "COM" ||
        name[3] == '0') {
        return {};
    }
    int number = 0;
    for (char c : name.substr(3)) {
        if (c < '0' || c > '9') {
            return {};
        }
        number = number * 10 + (c - '0');
    }
    return number <= 255 ? prefix + "COM" + std::to_string(number) : std::string();
}

}  // namespace mrw
