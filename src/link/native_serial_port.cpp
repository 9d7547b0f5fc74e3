#include "link/native_serial_port.h"

#include <utility>

namespace mrw {

namespace {

/// How long Waiting() lets bytes arrive when none are taken in.
constexpr int kPollWaitMs = 2;

}  // namespace

NativeSerialPort::NativeSerialPort(std::string devicePath) : path_(std::move(devicePath)) {}

NativeSerialPort::~NativeSerialPort() {
    Close();
}

bool NativeSerialPort::IsOpen() const {
    return handle_ != -1;
}

int NativeSerialPort::Waiting() {
    if (IsOpen() && next_ == received_.size()) {
        Fill(kPollWaitMs);
    }
    return IsOpen() ? static_cast<int>(received_.size() - next_) : 0;
}

int NativeSerialPort::ReadByte() {
    if (IsOpen() && next_ == received_.size()) {
        Fill(0);
    }
    if (!IsOpen() || next_ == received_.size()) {
        return -1;
    }
    return received_[next_++];
}

bool NativeSerialPort::Fail(const std::string& reason) {
    lastError_ = reason;
    Close();
    return false;
}

}  // namespace mrw
