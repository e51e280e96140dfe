// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A fake Linux system in a temporary folder, laid out as the cable doctor reads the real one:
// sysfs with its class and bus links (relative, as the kernel makes them), device nodes in /dev
// with their /dev/serial/by-id links, /proc entries with open descriptors, and /etc/group and
// /etc/passwd. The device nodes are plain files with the test runner as owner, so a test gives
// their group a name through GroupFile and decides which groups the user has.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.hpp"

namespace kestra::testing {

struct UsbSerialAdapter {
    std::string name = "ttyUSB0";
    std::string busPath = "1-2";
    std::uint16_t vendor = 0x1a86;
    std::uint16_t product = 0x7523;
    std::string productName = "USB Serial";
    std::string manufacturer;
    std::string driver = "ch341-uart";
    std::optional<int> latencyTimerMs;
    std::string byId = "usb-1a86_USB_Serial-if00-port0";
};

class SystemTree {
public:
    const std::filesystem::path& root() const { return dir_.path(); }
    std::filesystem::path At(const std::string& absolute) const {
        return root() / std::filesystem::path(absolute).relative_path();
    }

    void Write(const std::string& absolute, const std::string& text) const {
        std::filesystem::create_directories(At(absolute).parent_path());
        std::ofstream(At(absolute)) << text;
    }
    // A symbolic link at `absolute` to `target`, relative like the kernel's links.
    void Link(const std::string& absolute, const std::string& target) const {
        const auto link = At(absolute);
        std::filesystem::create_directories(link.parent_path());
        if (std::filesystem::is_symlink(link)) {
            return;  // a device shared by several ports
        }
        std::filesystem::create_symlink(At(target).lexically_relative(link.parent_path()), link);
    }

    // A USB serial adapter with its serial device, as the usb-serial drivers make them.
    void AddUsbSerial(const UsbSerialAdapter& adapter) const {
        const std::string usb = AddUsbDevice(adapter.busPath, adapter.vendor, adapter.product,
                                             adapter.productName, adapter.manufacturer);
        const std::string port = usb + "/" + adapter.busPath + ":1.0/" + adapter.name;
        Link(port + "/driver", "/sys/bus/usb-serial/drivers/" + adapter.driver);
        std::filesystem::create_directories(At("/sys/bus/usb-serial/drivers/" + adapter.driver));
        if (adapter.latencyTimerMs) {
            Write(port + "/latency_timer", std::to_string(*adapter.latencyTimerMs) + "\n");
        }
        AddClassDevice(adapter.name, port);
        if (!adapter.byId.empty()) {
            Link("/dev/serial/by-id/" + adapter.byId, "/dev/" + adapter.name);
        }
    }
    // A USB device with no serial device under it (no driver took it).
    std::string AddUsbDevice(const std::string& busPath, std::uint16_t vendor,
                             std::uint16_t product, const std::string& productName = "",
                             const std::string& manufacturer = "") const {
        const std::string usb = "/sys/devices/pci0000:00/0000:00:14.0/usb1/" + busPath;
        Write(usb + "/idVendor", Hex(vendor));
        Write(usb + "/idProduct", Hex(product));
        if (!productName.empty()) {
            Write(usb + "/product", productName + "\n");
        }
        if (!manufacturer.empty()) {
            Write(usb + "/manufacturer", manufacturer + "\n");
        }
        Link("/sys/bus/usb/devices/" + busPath, usb);
        return usb;
    }
    // A built-in serial port; type 0 is a port whose UART the kernel did not find.
    void AddBuiltInPort(const std::string& name, int type) const {
        const std::string device = "/sys/devices/platform/serial8250";
        Link(device + "/driver", "/sys/bus/platform/drivers/serial8250");
        std::filesystem::create_directories(At("/sys/bus/platform/drivers/serial8250"));
        AddClassDevice(name, device);
        Write(device + "/tty/" + name + "/type", std::to_string(type) + "\n");
    }
    // A built-in serial port as newer kernels show it: the serial core's port device below its
    // controller, below the UART's own device with the real driver.
    void AddLayeredBuiltInPort(const std::string& name) const {
        const std::string uart = "/sys/devices/pnp0/00:01";
        const std::string port = uart + "/00:01:0/00:01:0.0";
        Link(uart + "/driver", "/sys/bus/pnp/drivers/serial");
        Link(uart + "/00:01:0/driver", "/sys/bus/serial-base/drivers/ctrl");
        Link(port + "/driver", "/sys/bus/serial-base/drivers/port");
        AddClassDevice(name, port);
        Write(port + "/tty/" + name + "/type", "4\n");
    }
    // A terminal without hardware (a virtual console): no device link.
    void AddConsole(const std::string& name) const {
        const std::string classDevice = "/sys/devices/virtual/tty/" + name;
        std::filesystem::create_directories(At(classDevice));
        Link("/sys/class/tty/" + name, classDevice);
        Node("/dev/" + name);
    }

    // A device node (a plain file here) with the given permissions.
    void Node(const std::string& absolute, unsigned mode = 0660) const {
        Write(absolute, "");
        std::filesystem::permissions(At(absolute), static_cast<std::filesystem::perms>(mode));
        if (::geteuid() == 0) {
            // Group 0 is root's, which the doctor rightly treats as no group at all; a real
            // system gives serial devices a group of their own.
            EXPECT_EQ(::chown(At(absolute).c_str(), 0, kRootRunnerGid), 0);
        }
    }
    // The owner and group the fake nodes get: the test runner's, or (as root) uid 0 and a
    // group of their own.
    unsigned NodeUid() const { return ::geteuid(); }
    unsigned NodeGid() const { return ::geteuid() == 0 ? kRootRunnerGid : ::getegid(); }

    // A process with its name and the files it holds open.
    void Process(int pid, const std::string& name,
                 const std::vector<std::string>& openFiles) const {
        const std::string proc = "/proc/" + std::to_string(pid);
        Write(proc + "/comm", name + "\n");
        std::filesystem::create_directories(At(proc + "/fd"));
        int fd = 3;
        for (const std::string& file : openFiles) {
            // /proc shows the real path; the link is read, never followed.
            std::filesystem::create_symlink(file, At(proc + "/fd/" + std::to_string(fd++)));
        }
    }

private:
    static std::string Hex(std::uint16_t value) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x\n", static_cast<unsigned>(value));
        return text;
    }
    void AddClassDevice(const std::string& name, const std::string& device) const {
        const std::string classDevice = device + "/tty/" + name;
        Link(classDevice + "/device", device);
        Link("/sys/class/tty/" + name, classDevice);
        Node("/dev/" + name);
    }
    static constexpr unsigned kRootRunnerGid = 20;

    test::TempDir dir_{"kestra-system"};
};

}  // namespace kestra::testing
