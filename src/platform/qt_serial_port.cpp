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

/// The QSerialPort values of parsed line parameters.
QSerialPort::Parity QtParity(Parity parity) {
    switch (parity) {
        case Parity::Even:
            return QSerialPort::EvenParity;
        case Parity::Odd:
            return QSerialPort::OddParity;
        case Parity::Mark:
            return QSerialPort::MarkParity;
        case Parity::Space:
            return QSerialPort::SpaceParity;
        case Parity::None:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits QtStopBits(StopBits stop) {
    return stop == StopBits::Two          ? QSerialPort::TwoStop
           : stop == StopBits::OneAndHalf ? QSerialPort::OneAndHalfStop
                                          : QSerialPort::OneStop;
}

}  // namespace

QtSerialPort::QtSerialPort(std::string devicePath) : path_(std::move(devicePath)) {
    port_.setPortName(QString::fromStdString(path_));
}

bool QtSerialPort::Open(const std::string& settings, std::string& error) {
    Close();
    LineSettings line;
    if (!CheckOpenRequest(path_, settings, line, error)) {
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
    const bool configured = port_.setBaudRate(line.baud) &&
                            port_.setDataBits(static_cast<QSerialPort::DataBits>(line.dataBits)) &&
                            port_.setParity(QtParity(line.parity)) &&
                            port_.setStopBits(QtStopBits(line.stopBits)) &&
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
