// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a serial port is named. The program keeps the Windows-style PortName ("COM3", "\\.\COM12")
// that Program.ini's [Setup] COM produces; on Linux each COM number maps to a device file
// (COM1-8 /dev/ttyUSB0-7, COM9-12 /dev/ttyACM0-3, COM13-16 /dev/ttyS0-3). An explicit device
// path ([Setup] Device, --port) overrides the COM number. The name "demo" selects the built-in
// virtual radio.

#include <string>
#include <string_view>

namespace kestra {

inline constexpr int kPortCount = 16;
inline constexpr std::string_view kDemoDevice = "demo";
// What a COM number outside 1-16 resolves to on Linux: a path no device has, followed by the
// port name ("COM0"), so that messages can say that no port is chosen.
inline constexpr std::string_view kNoPortDevicePrefix = "/dev/kestra-no-port-";

// "COM%d" for n below 10, "\\.\COM%d" from 10 on (also for 0 and negative numbers).
std::string PortNameForNumber(int n);
// The number after the first "M" ("%*[^M]M%d"), or 0 when there is none.
int PortNumberFromName(std::string_view portName);
// The device file a port number opens on this platform ("COM3" itself on Windows).
std::string DeviceForPortNumber(int n);
// A COM port as the Port dialog names it: "COM13 (/dev/ttyS0)", or "COM13" where the port is
// its own device (Windows); never the device-namespace form "\\.\COM13".
std::string ComPortLabel(int n);
// The device a transfer opens: the override when set, else the device of portName's number
// (a number outside 1-16 gives a path no device has).
std::string ResolveDevice(std::string_view portName, std::string_view deviceOverride);

}  // namespace kestra
