// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_names.hpp"

#include "model/text_numbers.hpp"

namespace kestra {

std::string PortNameForNumber(int n) {
    // Ports from 10 on need the device-namespace form to open on Windows.
    const std::string number = std::to_string(n);
    return n < 10 ? "COM" + number : "\\\\.\\COM" + number;
}

int PortNumberFromName(std::string_view portName) {
    // Same reading as the pattern "%*[^M]M%d": at least one character other than "M", then the
    // first "M", then a decimal number as "%d" reads it (saturating on absurd texts).
    const std::size_t m = portName.find('M');
    if (m == 0 || m == std::string_view::npos) {
        return 0;
    }
    return LeadingInt(portName.substr(m + 1));
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

std::string ComPortLabel(int n) {
    const std::string name = "COM" + std::to_string(n);
    const std::string device = DeviceForPortNumber(n);
    return device == name || device == PortNameForNumber(n) ? name : name + " (" + device + ")";
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
