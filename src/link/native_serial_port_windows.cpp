// The serial port through the Windows communications functions: a DCB built from the
// settings, reads that return at once or after a few milliseconds, and the COM ports the
// registry lists.
#include <windows.h>

#include <algorithm>

#include "core/system_windows.h"
#include "link/native_serial_port.h"

namespace mrw {

namespace {

/// How long a send may take to leave the program.
constexpr DWORD kWriteTimeoutMs = 2000;
/// How long a read waits for the first byte when none is there.
constexpr DWORD kReadWaitMs = 2;

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

bool NativeSerialPort::Open(const std::string& settings, std::string& error) {
    Close();
    LineSettings line;
    if (!CheckOpenRequest(path_, settings, line, error)) {
        return false;
    }
    const std::string device = ComDevicePath(path_);
    if (device.empty()) {
        error = PortOpenError(path_, "This is not the name of a COM port (COM1 to COM255).", false);
        lastError_ = error;
        return false;
    }
    const HANDLE port = CreateFileW(WideOf(device).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        // The device leads the reason, so that a message or log line says which one failed.
        error = PortOpenError(path_, WindowsErrorText(GetLastError()), false);
        lastError_ = error;
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(port);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool configured = GetCommState(port, &dcb) != 0;
    if (configured) {
        static constexpr BYTE kParities[] = {NOPARITY, EVENPARITY, ODDPARITY, MARKPARITY,
                                             SPACEPARITY};
        static constexpr BYTE kStops[] = {ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS};
        dcb.BaudRate = static_cast<DWORD>(line.baud);
        dcb.ByteSize = static_cast<BYTE>(line.dataBits);
        dcb.Parity = kParities[static_cast<int>(line.parity)];
        dcb.StopBits = kStops[static_cast<int>(line.stopBits)];
        dcb.fBinary = TRUE;
        dcb.fParity = line.parity != Parity::None ? TRUE : FALSE;
        // No flow control. DTR and RTS keep their state unless they were handshake lines.
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fNull = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fAbortOnError = FALSE;
        if (dcb.fDtrControl == DTR_CONTROL_HANDSHAKE) {
            dcb.fDtrControl = DTR_CONTROL_ENABLE;
        }
        if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE || dcb.fRtsControl == RTS_CONTROL_TOGGLE) {
            dcb.fRtsControl = RTS_CONTROL_ENABLE;
        }
        // A read returns what is there at once, or waits a few milliseconds for the first byte.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
        timeouts.ReadTotalTimeoutConstant = kReadWaitMs;
        timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
        configured = SetCommState(port, &dcb) != 0 && SetCommTimeouts(port, &timeouts) != 0;
    }
    if (!configured) {
        error = path_ + ": " + WindowsErrorText(GetLastError());
        Fail(error);
        return false;
    }
    lastError_.clear();
    return true;
}

void NativeSerialPort::Close() {
    if (handle_ != -1) {
        CloseHandle(HandleOf(handle_));
        handle_ = -1;
    }
    received_.clear();
    next_ = 0;
}

bool NativeSerialPort::Send(const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (IsOpen() && sent < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(HandleOf(handle_), bytes.data() + sent,
                       static_cast<DWORD>(bytes.size() - sent), &written, nullptr)) {
            return Fail(WindowsErrorText(GetLastError()));
        }
        if (written == 0) {
            return Fail("Write timed out.");
        }
        sent += written;
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
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(HandleOf(handle_), &errors, &status)) {
        return Fail(WindowsErrorText(GetLastError()));
    }
    // Nothing there and no wait wanted: no read, which would wait its few milliseconds.
    if (status.cbInQue == 0 && waitMs == 0) {
        return true;
    }
    uint8_t buffer[4096];
    const DWORD wanted = std::clamp<DWORD>(status.cbInQue, 1, sizeof buffer);
    DWORD got = 0;
    if (!ReadFile(HandleOf(handle_), buffer, wanted, &got, nullptr)) {
        return Fail(WindowsErrorText(GetLastError()));
    }
    received_.insert(received_.end(), buffer, buffer + got);
    return true;
}

void NativeSerialPort::DiscardInput() {
    received_.clear();
    next_ = 0;
    if (IsOpen() && !PurgeComm(HandleOf(handle_), PURGE_RXCLEAR)) {
        Fail(WindowsErrorText(GetLastError()));
    }
}

std::string UnlistedPortPath(int number) {
    return number >= 1 && number <= 255 ? "COM" + std::to_string(number) : std::string();
}

std::vector<SerialDevice> SystemSerialDevices() {
    std::vector<SerialDevice> devices;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return devices;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[512];
        DWORD dataLength = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result =
            RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        // "\Device\Serial0" = "COM3": listed as COM3, described by the device's name.
        std::wstring port(reinterpret_cast<const wchar_t*>(data), dataLength / sizeof(wchar_t));
        port.erase(std::find(port.begin(), port.end(), L'\0'), port.end());
        std::wstring device(name, nameLength);
        device.erase(0, device.find_last_of(L'\\') + 1);
        const std::string com = Utf8Of(port);
        devices.push_back({com, Utf8Of(device) + " (" + com + ")"});
    }
    RegCloseKey(key);
    return devices;
}

}  // namespace mrw
