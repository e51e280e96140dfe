// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/cable_doctor.hpp"

#ifdef __unix__
#include <unistd.h>
#endif

#include <algorithm>
#include <optional>
#include <system_error>

#include "link/port_names.hpp"
#include "link/radio_probe.hpp"
#include "link/serial_inventory.hpp"

namespace kestra {

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kBrlttyFiles{"/usr/bin/brltty", "/bin/brltty", "/usr/sbin/brltty",
                                            "/usr/lib/udev/rules.d/85-brltty.rules",
                                            "/lib/udev/rules.d/85-brltty.rules"};
constexpr const char* kBrlttyRemedy =
    "If you use no braille display, remove it: sudo apt remove brltty, then unplug the cable and "
    "plug it in again.";

Finding Good(std::string text) {
    return {FindingLevel::Good, std::move(text)};
}
Finding Note(std::string text) {
    return {FindingLevel::Note, std::move(text)};
}
Finding Problem(std::string text) {
    return {FindingLevel::Problem, std::move(text)};
}

// The name a user should give for a device: its by-id name, which stays the same whichever
// USB socket the cable is in, else its /dev name.
std::string PreferredName(const SerialDevice& device) {
    return device.byIdNames.empty() ? device.node : device.byIdNames.front();
}

std::string DescribeDevice(const SerialDevice& device) {
    std::string text = "Serial device " + device.node;
    if (!device.byIdNames.empty()) {
        text += " (" + device.byIdNames.front() + ")";
    }
    text += ":";
    if (device.usb) {
        text += " USB " + UsbIdText(*device.usb);
        if (const AdapterChip* chip = FindAdapterChip(device.usb->vendor, device.usb->product)) {
            text += std::string(" ") + chip->name;
        }
        if (!device.usb->productName.empty()) {
            text += " \"" + device.usb->productName + "\"";
        }
        if (!device.usb->manufacturer.empty()) {
            text += " by " + device.usb->manufacturer;
        }
        text += ",";
    }
    text += device.driver.empty() ? " no driver" : " driver " + device.driver;
    if (device.latencyTimerMs) {
        text += ", latency timer " + std::to_string(*device.latencyTimerMs) + " ms";
    }
    return text + ".";
}

void AddDeviceFindings(const std::vector<SerialDevice>& devices, std::vector<Finding>& out) {
    for (const SerialDevice& device : devices) {
        out.push_back(Note(DescribeDevice(device)));
        if (device.latencyTimerMs && *device.latencyTimerMs > 1) {
            out.push_back(Note(
                "The latency timer of " + device.node + " is " +
                std::to_string(*device.latencyTimerMs) +
                " ms, which slows every exchange with the radio; Kestra asks the driver for "
                "low-latency mode (1 ms) whenever it opens the port, so nothing needs doing."));
        }
    }
}

void AddAdapterFindings(const DoctorEnvironment& env, const std::vector<SerialDevice>& devices,
                        std::vector<Finding>& out) {
    const bool brltty = AnyExists(env.root, kBrlttyFiles) || ProcessRunning(env.root, "brltty");
    for (const UsbSerialAdapter& adapter : ListUsbSerialAdapters(env.root, devices)) {
        const std::string name =
            "The USB adapter " + UsbIdText(adapter.usb) + " (" + adapter.chip +
            (adapter.usb.productName.empty() ? "" : ", \"" + adapter.usb.productName + "\"") +
            ") in USB port " + adapter.busPath;
        if (adapter.hasSerialDevice) {
            if (brltty && IsCh34x(adapter.usb)) {
                out.push_back(Note(
                    "brltty (the braille display service) is installed, and it is known to take "
                    "CH340/CH341 cables away from their serial driver. If the cable's serial "
                    "device disappears a few seconds after plugging it in, that is why. " +
                    std::string(kBrlttyRemedy)));
            }
            continue;
        }
        if (brltty && IsCh34x(adapter.usb)) {
            out.push_back(Problem(name +
                                  " has no serial device: brltty (the braille display service) "
                                  "is installed, and it is known to take CH340/CH341 cables away "
                                  "from their serial driver. " +
                                  kBrlttyRemedy));
        } else {
            out.push_back(Problem(name +
                                  " has no serial device: no driver took it. Unplug it and plug "
                                  "it in again; if it stays so, sudo dmesg | tail shows what the "
                                  "kernel said about it."));
        }
    }
}

void AddServiceFindings(const DoctorEnvironment& env, std::vector<Finding>& out) {
    if (ProcessRunning(env.root, "ModemManager")) {
        out.push_back(Note(
            "ModemManager is running; it may probe a USB serial device for some seconds after it "
            "is plugged in, and the port is busy meanwhile. Wait half a minute after plugging in "
            "the cable, or, if you use no mobile broadband modem: sudo systemctl disable --now "
            "ModemManager"));
    }
}

std::string DeviceChoices(const std::vector<SerialDevice>& devices) {
    std::string text;
    for (const SerialDevice& device : devices) {
        text += (text.empty() ? "" : ", ") + PreferredName(device);
    }
    return text;
}

// Where a port is missing or none is chosen: the devices there are and how to choose one.
std::string Alternatives(const std::vector<SerialDevice>& devices, const ChosenPort& port) {
    if (devices.empty()) {
        return " Plug the cable in first.";
    }
    return " Serial devices present: " + DeviceChoices(devices) +
           (port.howToChoose.empty() ? "." : "; " + port.howToChoose + ".");
}

// Why the user may not open a device, and the command that changes it.
Finding AccessDenied(const DoctorEnvironment& env, const std::string& device,
                     const NodeOwnership& node) {
    const auto groups = ReadGroupDatabase(env.root);
    const std::string group = GroupName(groups, node.gid);
    const std::string who = "You (" + env.user.name + ")";
    const std::string perms = PermissionText(node.mode);
    if ((node.mode & 060U) == 060U && node.gid != 0) {
        if (DatabaseListsMember(env.root, groups, env.user.name, node.gid)) {
            return Problem(who + " are in the group " + group + ", which may open " + device +
                           ", but this login session started before you were added: log out "
                           "and in again (a new terminal window is not enough), then check "
                           "again.");
        }
        // The command comes last on the line, so it can be copied as it is.
        return Problem(who + " may not open " + device + ": it belongs to the group " + group +
                       " (" + perms +
                       ") and you are not in it. Join the group, then log out "
                       "and in again: sudo usermod -aG " +
                       group + " " + env.user.name);
    }
    return Problem(who + " may not open " + device + ": its permissions (" + perms + ", owner " +
                   UserName(env.root, node.uid) + ", group " + group +
                   ") let no group of users in. Serial devices normally belong to the group "
                   "dialout through the system's udev rules; look in /etc/udev/rules.d for a "
                   "rule that changes this one, or ask your administrator.");
}

// The device the chosen name leads to, as an absolute path of the system ("/dev/ttyUSB0" for
// "/dev/serial/by-id/usb-..."); nothing when it does not exist.
std::optional<std::string> RealDevice(const DoctorEnvironment& env, const std::string& device) {
    std::error_code ec;
    const fs::path root = fs::canonical(env.root, ec);
    const fs::path real = fs::canonical(UnderRoot(env.root, device), ec);
    if (ec) {
        return std::nullopt;
    }
    const fs::path relative = real.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") {
        return std::nullopt;
    }
    return (fs::path("/") / relative).string();
}

void AddAccessFindings(const DoctorEnvironment& env, const std::string& device,
                       const std::string& real, std::vector<Finding>& out) {
    const fs::path node = UnderRoot(env.root, real);
    const auto ownership = ReadOwnership(node);
    if (!ownership) {
        return;
    }
    const bool may = env.live ? ProcessMayReadWrite(node) : PermitsReadWrite(*ownership, env.user);
    if (!may) {
        out.push_back(AccessDenied(env, device, *ownership));
        return;
    }
    out.push_back(Good("You may open " + device + " (group " +
                       GroupName(ReadGroupDatabase(env.root), ownership->gid) + ", " +
                       PermissionText(ownership->mode) + ")."));
}

void AddChosenPortFindings(const DoctorEnvironment& env, const ChosenPort& port,
                           const std::vector<SerialDevice>& devices, std::vector<Finding>& out) {
    if (port.device.empty()) {
        out.push_back(
            Problem("No port is chosen: " + port.whyNone + "." + Alternatives(devices, port)));
        return;
    }
    const std::string named = port.Named();
    const auto real = RealDevice(env, port.device);
    if (!real) {
        out.push_back(
            Problem("The chosen port " + named + " does not exist." + Alternatives(devices, port)));
        return;
    }
    const bool pseudoTerminal = real->starts_with("/dev/pts/");
    if (pseudoTerminal) {
        out.push_back(Note("The chosen port " + named +
                           " is a pseudo-terminal (as kestra-virtual-radio serves), not a cable."));
    }
    AddAccessFindings(env, port.device, *real, out);
    // A pseudo-terminal is always held by the program that serves it.
    if (pseudoTerminal) {
        return;
    }
    const auto holders = ProcessesHolding(env.root, *real, env.ownPid);
    if (!holders.empty()) {
        std::string list;
        for (const ProcessInfo& holder : holders) {
            list += (list.empty() ? "" : ", ") + holder.name + " (pid " +
                    std::to_string(holder.pid) + ")";
        }
        out.push_back(Problem(port.device + " is open in another program: " + list +
                              ". Close it first: two programs on one cable garble each other's "
                              "exchange with the radio, and most hold the port for themselves."));
    }
}

}  // namespace

std::string ChosenPort::Named() const {
    if (label.empty() || label == device || device.empty() || device == kDemoDevice) {
        return label.empty() ? device : label;
    }
    return label + " (" + device + ")";
}

DoctorEnvironment DoctorEnvironment::ThisSystem() {
    DoctorEnvironment env;
    env.user = UserIdentity::Current();
#ifdef __unix__
    env.ownPid = static_cast<int>(::getpid());
#endif
    env.live = true;
    return env;
}

std::vector<Finding> ExamineSystem(const DoctorEnvironment& env, const ChosenPort& port) {
    std::vector<Finding> findings;
    const std::vector<SerialDevice> devices = ListSerialDevices(env.root);
    AddDeviceFindings(devices, findings);
    const std::size_t before = findings.size();
    AddAdapterFindings(env, devices, findings);
    if (devices.empty() && findings.size() == before) {
        const std::string text =
            "No serial device found. Plug the programming cable into a USB socket; if it is "
            "plugged in, try another socket, and check that lsusb lists it.";
        // A chosen port that exists anyway (a pseudo-terminal) is tested all the same.
        const bool chosenExists = !port.device.empty() && RealDevice(env, port.device);
        findings.push_back(chosenExists ? Note(text) : Problem(text));
    }
    AddServiceFindings(env, findings);
    AddChosenPortFindings(env, port, devices, findings);
    return findings;
}

DoctorReport RunCableDoctor(const DoctorEnvironment& env, const ChosenPort& port, SerialLink& link,
                            Clock& clock, const std::function<std::string()>& openErrorText) {
    DoctorReport report;
    report.findings = ExamineSystem(env, port);
    // A missing device was reported above; there is nothing to test.
    if (port.device.empty() || !RealDevice(env, port.device)) {
        return report;
    }
    const ProbeResult probe = ProbeRadio(link, clock, port.device, openErrorText);
    report.findings.push_back(probe.finding);
    report.portOpened = probe.opened;
    report.radioAnswered = probe.answered;
    return report;
}

}  // namespace kestra
