#include "app/system_ports.h"

#include <QSerialPortInfo>
#include <algorithm>

namespace mrw {

std::vector<PortEntry> SystemSerialPorts() {
    QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    std::sort(infos.begin(), infos.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.systemLocation() < b.systemLocation();
    });
    std::vector<PortEntry> ports;
    int number = 0;
    for (const QSerialPortInfo& info : infos) {
        ports.push_back({++number, info.systemLocation().toStdString()});
    }
    return ports;
}

}  // namespace mrw
