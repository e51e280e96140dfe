// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli ports: what the Port dialog knows about the serial ports. COM1-COM16 with the
// device each one opens and whether it can be opened now, then the other serial devices the
// system reports (USB adapters on other names), which --port PATH can use.

#include <QString>

#include <iomanip>
#include <sstream>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "link/device/port_probe.hpp"

namespace kestra::cli {

namespace {

std::string Describe(const DetectedSerialPort& port) {
    std::string text = port.description.toStdString();
    auto add = [&text](const QString& part) {
        if (!part.isEmpty()) {
            text += (text.empty() ? "" : ", ") + part.toStdString();
        }
    };
    add(port.manufacturer);
    if (!port.serialNumber.isEmpty()) {
        add("serial " + port.serialNumber);
    }
    if (port.hasUsbIds) {
        add(QString::asprintf("USB %04x:%04x", port.vendorId, port.productId));
    }
    return text;
}

}  // namespace

int RunPorts(const Context& ctx) {
    if (!ParseCommand(ctx, "ports", {})) {
        return kExitUsage;
    }
    const QtCoreScope qt;
    const auto detected = DetectSerialPorts();
    std::ostringstream text;
    for (const ComPortStatus& port : ProbeComPorts()) {
        std::string about;
        for (const DetectedSerialPort& found : detected) {
            if (found.comNumber == port.number) {
                about = Describe(found);
            }
        }
        text << std::left << std::setw(7) << ("COM" + std::to_string(port.number)) << std::setw(15)
             << port.device.toStdString();
        // Columns for the eye, but no blanks at the end of a line for the scripts.
        if (about.empty()) {
            text << (port.available ? "available" : "unavailable");
        } else {
            text << std::setw(13) << (port.available ? "available" : "unavailable") << about;
        }
        text << '\n';
    }
    text << "Other detected serial devices:";
    bool any = false;
    for (const DetectedSerialPort& found : detected) {
        if (found.comNumber == 0) {
            text << "\n  " << std::left << std::setw(20) << found.device.toStdString()
                 << Describe(found);
            any = true;
        }
    }
    text << (any ? "\n" : " none\n");
    ctx.out << text.str() << std::flush;
    return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
}

}  // namespace kestra::cli
