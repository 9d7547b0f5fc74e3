#include "sim/sim_radio.h"

#include <algorithm>
#include <charconv>

namespace mrw::sim {
namespace {

constexpr double kBitsPerByte = 10.0;  // start bit, 8 data bits, stop bit

/// The baud rate at the front of a settings text such as "57600,N,8,1"; 0 when unreadable.
int BaudOf(const std::string& settings) {
    int baud = 0;
    const char* end = settings.data() + settings.size();
    auto [ptr, ec] = std::from_chars(settings.data(), end, baud);
    if (ec != std::errc() || (ptr != end && *ptr != ',') || baud <= 0) {
        return 0;
    }
    return baud;
}

}  // namespace

SimRadio::SimRadio(Clock* clock) : clock_(clock), engine_(memory, options) {}

bool SimRadio::Open(const std::string& settings, std::string& error) {
    Close();
    opens_.push_back(settings);
    if (CablePulled()) {
        error = "The device is not connected.";
        return false;
    }
    const int baud = BaudOf(settings);
    if (baud == 0) {
        error = "Invalid port settings: " + settings;
        return false;
    }
    baud_ = baud;
    open_ = true;
    return true;
}

void SimRadio::Close() {
    open_ = false;
    rx_.clear();
}

bool SimRadio::IsOpen() const {
    return open_ && !CablePulled();
}

double SimRadio::ByteSeconds() const {
    if (!emulateByteTime || clock_ == nullptr || baud_ <= 0) {
        return 0.0;
    }
    return kBitsPerByte / baud_;
}

bool SimRadio::Send(const std::vector<uint8_t>& bytes) {
    if (!IsOpen()) {
        return false;
    }
    const double byteTime = ByteSeconds();
    double sentDoneAt = 0.0;
    if (byteTime > 0.0) {
        // The request occupies the line for its own byte times before the radio has it all.
        const double now = clock_->Seconds();
        sentDoneAt = now + static_cast<double>(bytes.size()) * byteTime;
    }
    std::vector<uint8_t> answer = engine_.Receive(bytes);
    if (CablePulled()) {
        open_ = false;
        rx_.clear();
        return true;  // the bytes left the PC; nobody will answer
    }
    Deliver(answer, sentDoneAt);
    return true;
}

void SimRadio::Deliver(const std::vector<uint8_t>& answer, double sentDoneAt) {
    const double byteTime = ByteSeconds();
    double at = std::max(sentDoneAt, lineFreeAt_);
    for (uint8_t value : answer) {
        at += byteTime;
        rx_.push_back({value, at});
    }
    if (byteTime > 0.0) {
        lineFreeAt_ = at;
    }
}

int SimRadio::Waiting() {
    if (!IsOpen()) {
        return 0;
    }
    if (ByteSeconds() == 0.0) {
        return static_cast<int>(rx_.size());
    }
    const double now = clock_->Seconds();
    return static_cast<int>(std::count_if(rx_.begin(), rx_.end(),
                                          [&](const PendingByte& b) { return b.readyAt <= now; }));
}

int SimRadio::ReadByte() {
    if (!IsOpen() || rx_.empty()) {
        return -1;
    }
    if (ByteSeconds() > 0.0 && rx_.front().readyAt > clock_->Seconds()) {
        return -1;
    }
    const uint8_t value = rx_.front().value;
    rx_.pop_front();
    return value;
}

void SimRadio::DiscardInput() {
    ++discards_;
    if (ByteSeconds() == 0.0) {
        rx_.clear();
        return;
    }
    // Only what has arrived can be discarded; bytes still on the line arrive later.
    const double now = clock_->Seconds();
    while (!rx_.empty() && rx_.front().readyAt <= now) {
        rx_.pop_front();
    }
}

void SimRadio::ClearRecord() {
    engine_.ClearRequests();
    opens_.clear();
    discards_ = 0;
}

}  // namespace mrw::sim
