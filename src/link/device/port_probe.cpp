// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/device/port_probe.hpp"

#include <QSerialPortInfo>

#include <algorithm>

#include "link/port_names.hpp"
#include "link/device/qt_serial_link.hpp"

namespace kestra {

bool PortOpensNow(const QString& device) {
    QtSerialLink link;
    const bool opened = link.Open(device.toStdString());
    link.Close();
    return opened;
}

std::vector<ComPortStatus> ProbeComPorts() {
    std::vector<ComPortStatus> ports;
    ports.reserve(kPortCount);
    for (int n = 1; n <= kPortCount; ++n) {
        ComPortStatus status;
        status.number = n;
        status.portName = QString::fromStdString(PortNameForNumber(n));
        status.device = QString::fromStdString(DeviceForPortNumber(n));
        status.available = PortOpensNow(status.device);
        ports.push_back(status);
    }
    return ports;
}

std::vector<DetectedSerialPort> DetectSerialPorts() {
    std::vector<DetectedSerialPort> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        DetectedSerialPort port;
        port.device = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        port.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        for (int n = 1; n <= kPortCount; ++n) {
            if (port.device == QString::fromStdString(DeviceForPortNumber(n))) {
                port.comNumber = n;
                break;
            }
        }
        ports.push_back(port);
    }
    std::sort(ports.begin(), ports.end(),
              [](const DetectedSerialPort& a, const DetectedSerialPort& b) {
                  return a.device < b.device;
              });
    return ports;
}

}  // namespace kestra
