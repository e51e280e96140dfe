// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_inventory.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace kestra {

namespace fs = std::filesystem;

namespace {

// The chips of the usual programming cables. Clones report the ids of the chip they copy.
constexpr std::array<AdapterChip, 13> kAdapterChips{{
    {0x0403, 0x6001, "FTDI FT232R"},
    {0x0403, 0x6010, "FTDI FT2232"},
    {0x0403, 0x6011, "FTDI FT4232"},
    {0x0403, 0x6014, "FTDI FT232H"},
    {0x0403, 0x6015, "FTDI FT-X"},
    {0x067b, 0x2303, "Prolific PL2303"},
    {0x067b, 0x23a3, "Prolific PL2303GC"},
    {0x1a86, 0x7523, "CH340"},
    {0x1a86, 0x7522, "CH340K"},
    {0x1a86, 0x5523, "CH341"},
    {0x1a86, 0x55d4, "CH9102"},
    {0x10c4, 0xea60, "Silicon Labs CP210x"},
    {0x10c4, 0xea70, "Silicon Labs CP2105"},
}};

// The first line of a small sysfs or /proc file, without its line end; empty when unreadable.
std::string FirstLine(const fs::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
        line.pop_back();
    }
    return line;
}

std::optional<std::uint16_t> HexId(const fs::path& path) {
    const std::string text = FirstLine(path);
    std::uint16_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<UsbIdentity> ReadUsbIdentity(const fs::path& usbDevice) {
    const auto vendor = HexId(usbDevice / "idVendor");
    const auto product = HexId(usbDevice / "idProduct");
    if (!vendor || !product) {
        return std::nullopt;
    }
    return UsbIdentity{*vendor, *product, FirstLine(usbDevice / "product"),
                       FirstLine(usbDevice / "manufacturer")};
}

// Whether path lies inside folder (both resolved).
bool IsInside(const fs::path& path, const fs::path& folder) {
    const auto rel = path.lexically_relative(folder);
    return !rel.empty() && *rel.begin() != "..";
}

// The symbolic link resolved to a real path below root, or nothing when it leads nowhere or
// out of the root (a fixture tree never points outside itself).
std::optional<fs::path> Resolve(const fs::path& root, const fs::path& path) {
    std::error_code ec;
    fs::path real = fs::canonical(path, ec);
    if (ec) {
        return std::nullopt;
    }
    const fs::path realRoot = fs::canonical(root, ec);
    if (ec || (realRoot != real && !IsInside(real, realRoot))) {
        return std::nullopt;
    }
    return real;
}

// Walks up from a device's sysfs folder to the USB device it belongs to, if any.
std::optional<UsbIdentity> UsbIdentityAbove(const fs::path& root, fs::path folder) {
    std::error_code ec;
    const fs::path stop = fs::canonical(UnderRoot(root, "/sys"), ec);
    while (!folder.empty() && folder != stop && folder != folder.parent_path()) {
        if (fs::exists(folder / "idVendor", ec)) {
            return ReadUsbIdentity(folder);
        }
        folder = folder.parent_path();
    }
    return std::nullopt;
}

// The /dev/serial/by-id links that lead to /dev/<name>.
std::vector<std::string> ByIdNames(const fs::path& root, const std::string& name) {
    std::vector<std::string> names;
    const fs::path node = UnderRoot(root, "/dev/" + name).lexically_normal();
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(UnderRoot(root, "/dev/serial/by-id"), ec)) {
        const fs::path target = fs::read_symlink(entry.path(), ec);
        if (ec) {
            continue;
        }
        const fs::path resolved = target.is_absolute() ? UnderRoot(root, target.string())
                                                       : (entry.path().parent_path() / target);
        if (resolved.lexically_normal() == node) {
            names.push_back("/dev/serial/by-id/" + entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The kernel driver of a serial device. Since Linux 6.5 a serial port's device is the serial
// core's own port device (driver "port") below a controller (driver "ctrl"); the UART's driver
// is the one above them.
std::string DriverOf(fs::path device) {
    for (int level = 0; level < 4 && !device.empty(); ++level) {
        std::error_code ec;
        const fs::path driver = fs::read_symlink(device / "driver", ec);
        if (ec) {
            return {};
        }
        if (driver.string().find("/serial-base/") == std::string::npos) {
            return driver.filename().string();
        }
        device = device.parent_path();
    }
    return {};
}

// A built-in serial port whose UART the kernel did not find reports the port type 0.
bool IsEmptyBuiltInPort(const std::string& name, const fs::path& classEntry) {
    return name.starts_with("ttyS") && FirstLine(classEntry / "type") == "0";
}

std::optional<SerialDevice> ReadSerialDevice(const fs::path& root, const fs::path& classEntry) {
    SerialDevice device;
    device.name = classEntry.filename().string();
    const auto sysfsDevice = Resolve(root, classEntry / "device");
    if (!sysfsDevice || IsEmptyBuiltInPort(device.name, classEntry)) {
        return std::nullopt;  // a console or a terminal without hardware behind it
    }
    device.sysfsDevice = *sysfsDevice;
    device.node = "/dev/" + device.name;
    device.byIdNames = ByIdNames(root, device.name);
    device.usb = UsbIdentityAbove(root, *sysfsDevice);
    device.driver = DriverOf(*sysfsDevice);
    const std::string latency = FirstLine(*sysfsDevice / "latency_timer");
    int ms = 0;
    if (!latency.empty() &&
        std::from_chars(latency.data(), latency.data() + latency.size(), ms).ec == std::errc()) {
        device.latencyTimerMs = ms;
    }
    return device;
}

}  // namespace

fs::path UnderRoot(const fs::path& root, std::string_view absolute) {
    fs::path relative(absolute);
    return root / relative.relative_path();
}

std::string UsbIdText(const UsbIdentity& usb) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", static_cast<unsigned>(usb.vendor),
                  static_cast<unsigned>(usb.product));
    return text;
}

std::vector<SerialDevice> ListSerialDevices(const fs::path& root) {
    std::vector<SerialDevice> devices;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(UnderRoot(root, "/sys/class/tty"), ec)) {
        if (auto device = ReadSerialDevice(root, entry.path())) {
            devices.push_back(std::move(*device));
        }
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.name < b.name; });
    return devices;
}

const AdapterChip* FindAdapterChip(std::uint16_t vendor, std::uint16_t product) {
    for (const AdapterChip& chip : kAdapterChips) {
        if (chip.vendor == vendor && chip.product == product) {
            return &chip;
        }
    }
    return nullptr;
}

bool IsCh34x(const UsbIdentity& usb) {
    return usb.vendor == 0x1a86 &&
           (usb.product == 0x7523 || usb.product == 0x7522 || usb.product == 0x5523);
}

std::vector<UsbSerialAdapter> ListUsbSerialAdapters(const fs::path& root,
                                                    const std::vector<SerialDevice>& devices) {
    std::vector<UsbSerialAdapter> adapters;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(UnderRoot(root, "/sys/bus/usb/devices"), ec)) {
        const auto folder = Resolve(root, entry.path());
        const auto usb = folder ? ReadUsbIdentity(*folder) : std::nullopt;
        const AdapterChip* chip = usb ? FindAdapterChip(usb->vendor, usb->product) : nullptr;
        if (chip == nullptr) {
            continue;
        }
        UsbSerialAdapter adapter{*usb, chip->name, entry.path().filename().string(), false};
        adapter.hasSerialDevice = std::any_of(
            devices.begin(), devices.end(),
            [&](const SerialDevice& device) { return IsInside(device.sysfsDevice, *folder); });
        adapters.push_back(std::move(adapter));
    }
    std::sort(
        adapters.begin(), adapters.end(),
        [](const UsbSerialAdapter& a, const UsbSerialAdapter& b) { return a.busPath < b.busPath; });
    return adapters;
}

}  // namespace kestra
