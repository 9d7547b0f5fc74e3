#include "platform/qt_serial_port.h"

#include <QSerialPortInfo>
#include <utility>

#include "core/text.h"

namespace mrw {
namespace {

/// How long Waiting() lets bytes arrive when none are buffered.
constexpr int kPollWaitMs = 2;
/// How long a send may take to leave the program.
constexpr int kWriteTimeoutMs = 2000;

}  // namespace

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

bool ParseLineSettings(const std::string& settings, LineSettings& line) {
    std::vector<std::string> parts = Split(settings, ",");
    if (parts.size() != 4) {
        return false;
    }
    std::optional<double> baud = ParseNumber(parts[0]);
    std::optional<double> bits = ParseNumber(parts[2]);
    const std::string parity = ToUpper(Trim(parts[1]));
    const std::string stop = Trim(parts[3]);
    if (!baud || *baud < 50 || *baud > 4'000'000 || *baud != static_cast<qint32>(*baud)) {
        return false;
    }
    line.baud = static_cast<qint32>(*baud);
    if (parity == "N") {
        line.parity = QSerialPort::NoParity;
    } else if (parity == "E") {
        line.parity = QSerialPort::EvenParity;
    } else if (parity == "O") {
        line.parity = QSerialPort::OddParity;
    } else if (parity == "M") {
        line.parity = QSerialPort::MarkParity;
    } else if (parity == "S") {
        line.parity = QSerialPort::SpaceParity;
    } else {
        return false;
    }
    if (!bits || *bits < 5 || *bits > 8 || *bits != static_cast<int>(*bits)) {
        return false;
    }
    line.dataBits = static_cast<QSerialPort::DataBits>(static_cast<int>(*bits));
    if (stop == "1") {
        line.stopBits = QSerialPort::OneStop;
    } else if (stop == "1.5") {
        line.stopBits = QSerialPort::OneAndHalfStop;
    } else if (stop == "2") {
        line.stopBits = QSerialPort::TwoStop;
    } else {
        return false;
    }
    return true;
}

QtSerialPort::QtSerialPort(std::string devicePath) : path_(std::move(devicePath)) {
    port_.setPortName(QString::fromStdString(path_));
}

bool QtSerialPort::Open(const std::string& settings, std::string& error) {
    Close();
    LineSettings line;
    if (!ParseLineSettings(settings, line)) {
        error = "Invalid port settings: " + settings;
        return false;
    }
    if (path_.empty()) {
        error = "No serial port chosen.";
        return false;
    }
    port_.clearError();
    if (!port_.open(QIODevice::ReadWrite)) {
        // The device leads the reason, so that a box or log line says which one failed.
        error = PortOpenError(path_, port_.errorString().toStdString(), PortAccessDenied(path_));
        lastError_ = error;
        port_.clearError();
        return false;
    }
    const bool configured = port_.setBaudRate(line.baud) && port_.setDataBits(line.dataBits) &&
                            port_.setParity(line.parity) && port_.setStopBits(line.stopBits) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        error = path_ + ": " + port_.errorString().toStdString();
        lastError_ = error;
        Close();
        return false;
    }
    lastError_.clear();
    return true;
}

void QtSerialPort::Close() {
    if (port_.isOpen()) {
        port_.close();
    }
    port_.clearError();
}

bool QtSerialPort::IsOpen() const {
    return port_.isOpen();
}

bool QtSerialPort::CheckError() {
    const QSerialPort::SerialPortError failure = port_.error();
    if (failure == QSerialPort::NoError) {
        return port_.isOpen();
    }
    if (failure == QSerialPort::TimeoutError) {
        port_.clearError();
        return port_.isOpen();
    }
    lastError_ = port_.errorString().toStdString();
    Close();
    return false;
}

bool QtSerialPort::Send(const std::vector<uint8_t>& bytes) {
    if (!port_.isOpen()) {
        return false;
    }
    const qint64 written =
        port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (written != static_cast<qint64>(bytes.size())) {
        CheckError();
        return false;
    }
    // No event loop runs during a transfer: push the bytes out here.
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(kWriteTimeoutMs)) {
            if (port_.error() == QSerialPort::TimeoutError) {
                lastError_ = "Write timed out.";
                Close();
            } else {
                CheckError();
            }
            return false;
        }
    }
    return CheckError();
}

int QtSerialPort::Waiting() {
    if (!port_.isOpen()) {
        return 0;
    }
    if (port_.bytesAvailable() == 0) {
        port_.waitForReadyRead(kPollWaitMs);
        if (!CheckError()) {
            return 0;
        }
    }
    return static_cast<int>(port_.bytesAvailable());
}

int QtSerialPort::ReadByte() {
    if (!port_.isOpen()) {
        return -1;
    }
    char c = 0;
    if (!port_.getChar(&c)) {
        CheckError();
        return -1;
    }
    return static_cast<uint8_t>(c);
}

void QtSerialPort::DiscardInput() {
    if (!port_.isOpen()) {
        return;
    }
    // Bytes already taken from the line, then those still in the system's buffer.
    port_.readAll();
    port_.clear(QSerialPort::Input);
    CheckError();
}

std::vector<SerialDevice> EnumerateSerialPorts() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        const QString name = info.portName();
        device.path = info.systemLocation().toStdString();
#ifdef Q_OS_WIN
        device.path = name.toStdString();  // "COM3" opens it
#endif
        if (name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
            device.friendlyName = (info.description() + " (" + name + ")").toStdString();
        } else {
            device.friendlyName = info.description().toStdString();
        }
        devices.push_back(std::move(device));
    }
    return devices;
}

std::string SerialPortPathOf(int number, SettingsStore& store) {
    return ChosenPortPath({}, number, EnumerateSerialPorts(), store);
}

}  // namespace mrw
