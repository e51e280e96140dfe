// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli doctor [--port P]: the cable doctor. Lists the serial devices and USB adapters the
// system has, says what keeps the chosen port from working (permissions, another program holding
// it, brltty, ModemManager) and then tests it live: the radio's wake-up and identification. One
// line per finding on stdout, each starting with "ok:", "note:" or "problem:". Exit status 0 when
// the radio answered and nothing stands in the way, 1 otherwise. Nothing on the system changes.

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "link/device/cable_check.hpp"
#include "link/port_names.hpp"
#include "model/program_directory.hpp"

namespace kestra::cli {

namespace {

const char* Prefix(FindingLevel level) {
    switch (level) {
        case FindingLevel::Good:
            return "ok: ";
        case FindingLevel::Note:
            return "note: ";
        case FindingLevel::Problem:
            break;
    }
    return "problem: ";
}

// The port the transfers would use, chosen as they choose it (--port, else Program.ini).
ChosenPort PortToCheck(const Context& ctx, const std::optional<std::string>& option) {
    AppState state;
    ChoosePort(ctx, option, state);
    ChosenPort port;
    port.howToChoose =
        "test one with kestra-cli doctor --port PATH, then choose it in Setup, Com Setup or give "
        "it as --port";
    const int number = PortNumberFromName(state.portName);
    if (!state.deviceOverride.empty()) {
        port.label = state.deviceOverride;
        port.device = state.deviceOverride;
    } else if (number >= 1 && number <= kPortCount) {
        port.label = "COM" + std::to_string(number);  // never the "\\.\COM13" form
        port.device = ResolveDevice(state.portName, {});
    } else {
        const auto ini = SettingsFilePath(ProgramDirectory(ctx.argv0));
        std::error_code ec;
        port.whyNone = "no --port was given, and ";
        port.whyNone += std::filesystem::is_regular_file(ini, ec)
                            ? ini.string() + " names COM" + std::to_string(number) +
                                  ", which is not one of COM1-COM" + std::to_string(kPortCount)
                            : "there is no " + ini.string() + " that names one";
    }
    return port;
}

}  // namespace

int RunDoctor(const Context& ctx) {
    const auto options = ParseCommand(ctx, "doctor", {.port = true});
    if (!options) {
        return kExitUsage;
    }
    const ChosenPort port = PortToCheck(ctx, options->port);

    const QtCoreScope qt;
    std::unique_ptr<DemoRadio> demo;
    if (port.device == kDemoDevice) {
        demo = std::make_unique<DemoRadio>();
    }
    if (!port.device.empty() && IsTerminal(ctx.err)) {
        ctx.err << "Checking " << port.device << " (a few seconds)..." << std::endl;
    }
    const DoctorReport report = CheckCable(port, LinkFactory(demo ? &demo->radio() : nullptr));

    std::ostringstream text;
    for (const Finding& finding : report.findings) {
        text << Prefix(finding.level) << finding.text << '\n';
    }
    ctx.out << text.str() << std::flush;
    if (!ctx.out) {
        return Fail(ctx, "cannot write to standard output");
    }
    return report.Healthy() ? kExitOk : kExitFailure;
}

}  // namespace kestra::cli
