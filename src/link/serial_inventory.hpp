// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a Linux system says about its serial hardware, read from sysfs and /dev: every serial
// device with its /dev/serial/by-id names, its USB vendor and product ids and strings, its kernel
// driver and (FTDI adapters) its latency timer; and the USB serial adapters that are plugged in,
// whether or not a driver gave them a serial device. Everything is read below a root folder:
// "/" on a running system, a fixture tree in the tests. Nothing here changes the system.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestra {

// root joined with an absolute path of the system ("/sys/class/tty" below root).
std::filesystem::path UnderRoot(const std::filesystem::path& root, std::string_view absolute);

struct UsbIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string productName;   // the device's own product string, may be empty
    std::string manufacturer;  // the same for its manufacturer
};

// "1a86:7523", as lsusb writes it.
std::string UsbIdText(const UsbIdentity& usb);

struct SerialDevice {
    std::string name;                    // "ttyUSB0"
    std::string node;                    // "/dev/ttyUSB0"
    std::vector<std::string> byIdNames;  // "/dev/serial/by-id/usb-FTDI_FT232R_..."
    std::optional<UsbIdentity> usb;      // for a device on USB
    std::string driver;                  // "ftdi_sio", "ch341-uart", "cdc_acm", "serial8250"
    std::optional<int> latencyTimerMs;   // the FTDI driver's latency timer
    std::filesystem::path sysfsDevice;   // the device's folder in sysfs, resolved below root
};

// The serial devices, sorted by name. Built-in serial ports whose UART the kernel did not find
// (the ttyS entries every PC kernel creates) and terminals without hardware are left out.
std::vector<SerialDevice> ListSerialDevices(const std::filesystem::path& root);

// A chip that USB serial programming cables are built on, known by its USB ids.
struct AdapterChip {
    std::uint16_t vendor;
    std::uint16_t product;
    const char* name;
};
// The chip of these ids, or nothing for an unknown device.
const AdapterChip* FindAdapterChip(std::uint16_t vendor, std::uint16_t product);
// CH340 and CH341: the chips that brltty's rules claim for braille displays.
bool IsCh34x(const UsbIdentity& usb);

struct UsbSerialAdapter {
    UsbIdentity usb;
    std::string chip;              // "CH340", "FTDI FT232R", ...
    std::string busPath;           // "1-1.2", the USB port it is plugged into
    bool hasSerialDevice = false;  // a driver made a serial device of it
};

// The plugged-in USB devices built on a known adapter chip. devices is ListSerialDevices's
// answer, used to tell whether each adapter got a serial device.
std::vector<UsbSerialAdapter> ListUsbSerialAdapters(const std::filesystem::path& root,
                                                    const std::vector<SerialDevice>& devices);

}  // namespace kestra
