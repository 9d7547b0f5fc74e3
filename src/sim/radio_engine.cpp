#include "sim/radio_engine.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace mrw::sim {
namespace {

constexpr char kHt = '\t';
constexpr const char* kCrLf = "\r\n";
constexpr const char* kAck = "#CMDOK";
constexpr const char* kRefusal = "ERROR";

constexpr std::string_view kStatusRequest = "#QKPSR";
constexpr std::string_view kStatusReply = "#QKPSD";
constexpr std::string_view kReadRequest = "#QKPRD";
constexpr std::string_view kReadReply = "#QKPDT";
constexpr std::string_view kWriteRequest = "#QKPWR";
constexpr std::string_view kSync = "#CMDSY";
constexpr std::string_view kBaudSwitch = "ACMD:002";
constexpr int kWordLength = 6;
constexpr int kMaxCount = 255;

constexpr const char* kStatusReady = "00";
constexpr const char* kStatusBusy = "01";

/// Model codes and product codes by model type.
struct ModelIdentity {
    int modelType;
    uint16_t code;
    bool hasProductCode;
};
constexpr std::array<ModelIdentity, 3> kModels = {{
    {1, 0x08FD, true},
    {2, 0x0961, true},
    {11, 0x08FD, false},
}};
constexpr std::string_view kProductCode = "KT562W";

std::optional<int> ParseHex(std::string_view text) {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + digit;
    }
    return value;
}

std::vector<std::string> SplitAtHt(std::string_view line) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t tab = line.find(kHt, start);
        if (tab == std::string_view::npos) {
            parts.emplace_back(line.substr(start));
            return parts;
        }
        parts.emplace_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

bool IsPlainAck(std::string_view line) {
    return line == "#CMDOK" || line == "#CMDSM" || line == "#CMDUN" || line == "#CMDER";
}

}  // namespace

uint8_t XorChecksum(std::string_view text) {
    uint8_t sum = 0;
    for (char c : text) {
        sum ^= static_cast<uint8_t>(c);
    }
    return sum;
}

std::string Hex(unsigned value, int width) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<size_t>(width), '0');
    for (int i = width - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

std::string BuildFrame(std::string_view word, const std::vector<std::string>& fields) {
    std::string frame(word);
    frame += kHt;
    for (const std::string& field : fields) {
        if (!field.empty()) {
            frame += field;
            frame += kHt;
        }
    }
    frame += Hex(XorChecksum(frame), 2);
    frame += kCrLf;
    return frame;
}

void SetModelCode(RadioMemory& memory, uint16_t code) {
    const auto high = static_cast<uint8_t>(code >> 8);
    const auto low = static_cast<uint8_t>(code & 0xFF);
    memory[kModelCodeAddress] = high;
    memory[kModelCodeAddress + 1] = low;
    memory[kModelCodeEndAddress] = high;
    memory[kModelCodeEndAddress + 1] = low;
}

void SetProductCode(RadioMemory& memory, std::string_view code) {
    for (int i = 0; i < kProductCodeLength; ++i) {
        const auto index = static_cast<size_t>(i);
        memory[static_cast<size_t>(kProductCodeAddress + i)] =
            index < code.size() ? static_cast<uint8_t>(code[index]) : ' ';
    }
}

std::optional<RadioMemory> BlankMemory(int modelType) {
    auto model = std::find_if(kModels.begin(), kModels.end(),
                              [&](const ModelIdentity& m) { return m.modelType == modelType; });
    if (model == kModels.end()) {
        return std::nullopt;
    }
    RadioMemory memory;
    memory.fill(0xFF);
    SetModelCode(memory, model->code);
    if (model->hasProductCode) {
        SetProductCode(memory, kProductCode);
    }
    memory[kRegionAddress] = 0;
    return memory;
}

RadioEngine::RadioEngine(RadioMemory& memory, const RadioOptions& options)
    : memory_(memory), options_(options), random_(options.seed == 0 ? 1 : options.seed) {}

int RadioEngine::CountOf(std::string_view word) const {
    return static_cast<int>(std::count_if(requests_.begin(), requests_.end(),
                                          [&](const RadioRequest& r) { return r.word == word; }));
}

bool RadioEngine::Silent() const {
    return cablePulled_ || (options_.silentAfter >= 0 && framedCount_ >= options_.silentAfter);
}

bool RadioEngine::WriteDropped(int address) const {
    return std::any_of(options_.faults.begin(), options_.faults.end(), [address](const Fault& f) {
        return f.kind == FaultKind::DropWrite && address >= f.address &&
               address < f.address + std::max(f.count, 1);
    });
}

const Fault* RadioEngine::FaultAt(FaultKind kind, int request) const {
    for (const Fault& fault : options_.faults) {
        if (fault.kind == kind && kind != FaultKind::DropWrite && request >= fault.request &&
            request < fault.request + std::max(fault.count, 1)) {
            return &fault;
        }
    }
    return nullptr;
}

std::vector<uint8_t> RadioEngine::Receive(const uint8_t* bytes, size_t size) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < size && !cablePulled_; ++i) {
        HandleByte(bytes[i], out);
    }
    return out;
}

void RadioEngine::HandleByte(uint8_t byte, std::vector<uint8_t>& out) {
    const bool silent = Silent();
    if (byte == kAbortByte) {
        // An abort ends whatever was being received.
        line_.clear();
        requests_.push_back({.word = kAbortWord});
        if (!silent) {
            out.push_back(kAbortAckByte);
        }
        return;
    }
    if (line_.empty() && byte == kWakeUpByte) {
        requests_.push_back({.word = kWakeUpWord});
        baud_ = kWakeUpBaud;
        if (!silent) {
            out.push_back(kWakeUpByte);
        }
        return;
    }
    if (line_.empty() && byte == kWakeUpFollowByte) {
        requests_.push_back({.word = kWakeUpFollowWord});
        return;
    }
    if (byte == '\n') {
        std::string line = std::move(line_);
        line_.clear();
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            HandleLine(line, out);
        }
        return;
    }
    // A runaway line (garbage, no terminator) is cut off rather than growing without bound.
    if (line_.size() > 4096) {
        line_.clear();
    }
    line_ += static_cast<char>(byte);
}

void RadioEngine::HandleLine(const std::string& line, std::vector<uint8_t>& out) {
    auto send = [&](std::string_view text) {
        if (!Silent()) {
            out.insert(out.end(), text.begin(), text.end());
        }
    };
    if (line == kSync) {
        requests_.push_back({.word = line});
        if (syncAcksLeft_ && *syncAcksLeft_ == 0) {
            send(std::string(kRefusal) + kCrLf);
            return;
        }
        if (syncAcksLeft_) {
            --*syncAcksLeft_;
        }
        send(std::string(kAck) + kCrLf);
        return;
    }
    if (line == kBaudSwitch) {
        requests_.push_back({.word = line});
        const bool accepted = options_.baudSwitchReply == "OK";
        send(options_.baudSwitchReply + kCrLf);
        if (accepted && !Silent()) {
            baud_ = kWorkingBaud;
        }
        return;
    }
    if (IsPlainAck(line)) {
        requests_.push_back({.word = line});
        return;
    }
    if (line.size() > static_cast<size_t>(kWordLength) && line[kWordLength] == kHt) {
        HandleFramed(line, out);
        return;
    }
    requests_.push_back({.word = line, .valid = false});
}

void RadioEngine::HandleFramed(const std::string& line, std::vector<uint8_t>& out) {
    const int number = ++framedCount_;
    syncAcksLeft_.reset();
    RadioRequest request{.word = line.substr(0, kWordLength), .framedNumber = number};
    std::vector<std::string> parts = SplitAtHt(line);
    // parts: word, fields..., checksum
    const std::string& checksumText = parts.back();
    std::optional<int> checksum = checksumText.size() == 2 ? ParseHex(checksumText) : std::nullopt;
    request.valid = checksum && *checksum == XorChecksum(std::string_view(line).substr(
                                                 0, line.size() - checksumText.size()));
    request.fields.assign(parts.begin() + 1, parts.end() - 1);

    if (FaultAt(FaultKind::CablePulled, number)) {
        requests_.push_back(std::move(request));
        cablePulled_ = true;
        return;
    }
    // A radio that has fallen silent neither answers nor acts on what it hears.
    if (options_.silentAfter >= 0 && number > options_.silentAfter) {
        requests_.push_back(std::move(request));
        return;
    }

    std::vector<std::string> messages;
    auto refuse = [&] { messages = {kRefusal}; };
    auto ack = std::string(kAck) + kCrLf;
    const auto& fields = request.fields;

    if (!request.valid) {
        refuse();
    } else if (FaultAt(FaultKind::ErrorReply, number)) {
        refuse();
    } else if (const Fault* half = FaultAt(FaultKind::HalfSync, number)) {
        refuse();
        if (number == half->request + std::max(half->count, 1) - 1) {
            syncAcksLeft_ = 1;
        }
    } else if (request.word == kStatusRequest) {
        ++statusCount_;
        const char* status = statusCount_ <= options_.busyStatusCount ? kStatusBusy : kStatusReady;
        messages = {ack, BuildFrame(kStatusReply, {status})};
    } else if (request.word == kReadRequest || request.word == kWriteRequest) {
        const bool write = request.word == kWriteRequest;
        const size_t expected = write ? 3 : 2;
        std::optional<int> address = fields.size() == expected ? ParseHex(fields[0]) : std::nullopt;
        std::optional<int> count = fields.size() == expected ? ParseHex(fields[1]) : std::nullopt;
        if (address) {
            request.address = *address;
        }
        if (count) {
            request.count = *count;
        }
        const bool inRange = address && count && *count >= 1 && *count <= kMaxCount &&
                             *address + *count <= kRadioMemorySize;
        if (!inRange) {
            refuse();
        } else if (!write) {
            std::string data;
            for (int i = 0; i < *count; ++i) {
                data += Hex(memory_[static_cast<size_t>(*address + i)], 2);
            }
            messages = {ack, BuildFrame(kReadReply, {Hex(static_cast<unsigned>(*address), 4),
                                                     Hex(static_cast<unsigned>(*count), 2), data})};
        } else {
            const std::string& digits = fields[2];
            bool ok = digits.size() == static_cast<size_t>(2 * *count);
            for (int i = 0; ok && i < *count; ++i) {
                std::optional<int> value =
                    ParseHex(std::string_view(digits).substr(static_cast<size_t>(2 * i), 2));
                ok = value.has_value();
                if (ok) {
                    request.data.push_back(static_cast<uint8_t>(*value));
                }
            }
            if (ok) {
                for (size_t i = 0; i < request.data.size(); ++i) {
                    const int target = *address + static_cast<int>(i);
                    if (!WriteDropped(target)) {
                        memory_[static_cast<size_t>(target)] = request.data[i];
                    }
                }
                messages = {ack};
            } else {
                request.data.clear();
                refuse();
            }
        }
    } else {
        refuse();
    }
    requests_.push_back(std::move(request));
    Emit(std::move(messages), number, out);
}

void RadioEngine::Emit(std::vector<std::string> messages, int request, std::vector<uint8_t>& out) {
    if (FaultAt(FaultKind::NoAnswer, request)) {
        return;
    }
    const bool framedReply = messages.size() == 2;
    if (framedReply && FaultAt(FaultKind::BadChecksum, request)) {
        // Flip the low checksum digit: '0'..'9','A'..'F' stay hexadecimal.
        std::string& reply = messages.back();
        char& digit = reply[reply.size() - 3];
        digit = digit == '0' ? '1' : '0';
    }
    if (FaultAt(FaultKind::DropReply, request)) {
        messages.pop_back();
    }
    if (FaultAt(FaultKind::CutShort, request) && !messages.empty()) {
        std::string& last = messages.back();
        last.resize(last.size() / 2);
    }
    if (FaultAt(FaultKind::Garbage, request)) {
        for (int i = 0; i < options_.garbageLength; ++i) {
            // xorshift32: reproducible garbage for a given seed.
            random_ ^= random_ << 13;
            random_ ^= random_ >> 17;
            random_ ^= random_ << 5;
            out.push_back(static_cast<uint8_t>(random_ & 0xFF));
        }
    }
    for (const std::string& message : messages) {
        out.insert(out.end(), message.begin(), message.end());
    }
}

}  // namespace mrw::sim
