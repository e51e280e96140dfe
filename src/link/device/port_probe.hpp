// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Port dialog and `kestra-cli ports` show about the machine's serial ports: for each of
// COM1-COM16 the device it maps to and whether it can be opened right now (absent or held by
// another program means unavailable), and the serial devices the system reports, with their USB
// descriptions, so a user can find an adapter that is not on one of the sixteen names.

#include <QString>

#include <vector>

namespace kestra {

struct ComPortStatus {
    int number = 0;    // 1-16
    QString portName;  // "COM3", "\\.\COM12"
    QString device;    // "/dev/ttyUSB2" (the COM name itself on Windows)
    bool available = false;
};

struct DetectedSerialPort {
    QString device;  // full path, "/dev/ttyUSB0"
    QString description;
    QString manufacturer;
    QString serialNumber;
    bool hasUsbIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    int comNumber = 0;  // the COM number that maps to this device, 0 for none
};

// Opens the device the way a transfer does and closes it at once.
bool PortOpensNow(const QString& device);

// COM1-COM16 in order, each probed with PortOpensNow.
std::vector<ComPortStatus> ProbeComPorts();

// Every serial device the system lists, sorted by device path.
std::vector<DetectedSerialPort> DetectSerialPorts();

}  // namespace kestra
