#include "link/port_names.hpp"

#include <climits>
#include <cstdint>

namespace kestra {

std::string PortNameForNumber(int n) {
    // Ports from 10 on need the device-namespace form to open on Windows.
    const std::string number = std::to_string(n);
    return n < 10 ? "COM" + number : "\\\\.\\COM" + number;
}

int PortNumberFromName(std::string_view portName) {
    // Same reading as the pattern "%*[^M]M%d": at least one character other than "M", then the
    // first "M", then a decimal number (optional blanks and sign before it).
    std::size_t i = 0;
    while (i < portName.size() && portName[i] != 'M') {
        ++i;
    }
    if (i == 0 || i >= portName.size()) {
        return 0;
    }
    ++i;  // the "M"
    while (i < portName.size() &&
           (portName[i] == ' ' || portName[i] == '\t' || portName[i] == '\n' ||
            portName[i] == '\r' || portName[i] == '\v' || portName[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < portName.size() && (portName[i] == '+' || portName[i] == '-')) {
        negative = portName[i] == '-';
        ++i;
    }
    if (i >= portName.size() || portName[i] < '0' || portName[i] > '9') {
        return 0;
    }
    std::int64_t value = 0;
    for (; i < portName.size() && portName[i] >= '0' && portName[i] <= '9'; ++i) {
        value = value * 10 + (portName[i] - '0');
        if (value > INT_MAX) {
            value = INT_MAX;  // saturate rather than overflow on absurd texts
        }
    }
    return static_cast<int>(negative ? -value : value);
}

std::string DeviceForPortNumber(int n) {
#ifdef _WIN32
    return PortNameForNumber(n);
#else
    if (n >= 1 && n <= 8) {
        return "/dev/ttyUSB" + std::to_string(n - 1);
    }
    if (n >= 9 && n <= 12) {
        return "/dev/ttyACM" + std::to_string(n - 9);
    }
    if (n >= 13 && n <= kPortCount) {
        return "/dev/ttyS" + std::to_string(n - 13);
    }
    // A port number outside 1-16 names no device, so the transfer reports that the port failed
    // to open instead of quietly using some other port.
    return std::string(kNoPortDevicePrefix) + "COM" + std::to_string(n);
#endif
}

std::string ResolveDevice(std::string_view portName, std::string_view deviceOverride) {
    if (!deviceOverride.empty()) {
        return std::string(deviceOverride);
    }
#ifdef _WIN32
    return std::string(portName);
#else
    return DeviceForPortNumber(PortNumberFromName(portName));
#endif
}

}  // namespace kestra
