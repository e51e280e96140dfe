// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/link_support.hpp"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>

#include <filesystem>
#include <iostream>
#include <string_view>
#include <utility>

#include "link/device/link_factory.hpp"
#include "link/port_choice.hpp"
#include "link/port_names.hpp"
#include "link/wire_protocol.hpp"
#include "model/program_directory.hpp"
#include "model/settings_file.hpp"

namespace kestra::cli {

namespace {

constexpr int kBarCells = 40;
// How PortHint says that a COM number names no port.
constexpr std::string_view kNotAPort = " is not one of COM1-COM";

// The transfers' texts name the device already; when no port is chosen the command line says
// how to choose one here instead of the desktop program's menu.
std::string WithDevice(const std::string& text, const std::string& hint) {
    const std::string firstLine = text.substr(0, text.find('\n'));
    if (firstLine == kOpenPortFail && hint.find(kNotAPort) != std::string::npos) {
        return firstLine + " (" + hint + ")";
    }
    return text;
}

// The hint for a port that cannot be opened: its device, or why a COM number names none.
// settingsFile is where the choice came from, empty for --port.
std::string PortHint(const AppState& state, const std::string& settingsFile) {
    const int number = PortNumberFromName(state.portName);
    if (!state.deviceOverride.empty() || (number >= 1 && number <= kPortCount)) {
        return ResolveDevice(state.portName, state.deviceOverride);
    }
    const std::string why =
        "COM" + std::to_string(number) + std::string(kNotAPort) + std::to_string(kPortCount);
    if (settingsFile.empty()) {
        return why + "; give --port COMn or a device path";
    }
    return "no port chosen: " + why + "; give --port P, or set COM or Device under [Setup] in " +
           settingsFile;
}

}  // namespace

std::string ChoosePort(const Context& ctx, const std::optional<std::string>& port,
                       AppState& state) {
    // As the desktop program starts: [Setup] COM (default 0) names the port, [Setup] Device
    // overrides it, --port overrides both. A missing Program.ini is not created by a
    // command-line run.
    const std::filesystem::path ini = SettingsFilePath(ProgramDirectory(ctx.argv0));
    std::optional<SettingsFile> settings;
    std::error_code ec;
    if (!port && std::filesystem::is_regular_file(ini, ec)) {
        settings.emplace(ini);
        if (PortChoiceFromText(settings->GetText("Setup", "Device")).kind ==
            PortChoice::Kind::Demo) {
            ctx.err << "kestra-cli: Device=demo in " << ini.string()
                    << " is not used: the demo radio is only used with --port demo\n";
        }
    }
    ChoosePortAtStartUp(state, settings ? &*settings : nullptr, port);
    if (IsDemoPort(state)) {
        ctx.err << "kestra-cli: using the built-in demo radio (--port demo), not a radio on a "
                   "cable\n";
    }
    return PortHint(state, port ? std::string() : ini.string());
}

namespace {

// Set by the first SIGINT or SIGTERM while a transfer runs.
CancelFlag gInterrupted{false};
static_assert(CancelFlag::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void OnInterrupt(int) {
    gInterrupted.store(true);
}

}  // namespace

InterruptScope::InterruptScope() {
    gInterrupted.store(false);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler lasts for one signal: a second Ctrl+C ends the program at once.
    action.sa_flags = SA_RESETHAND;
    for (auto [signal, old] : {std::pair{SIGINT, &oldInt_}, std::pair{SIGTERM, &oldTerm_}}) {
        sigaction(signal, nullptr, old);
        // A signal the program was started to ignore (a background job, nohup) stays ignored.
        if (old->sa_handler != SIG_IGN) {
            sigaction(signal, &action, nullptr);
        }
    }
}

InterruptScope::~InterruptScope() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
}

const CancelFlag& InterruptScope::flag() const {
    return gInterrupted;
}

int InterruptScope::Failed(const Context& ctx) const {
    if (gInterrupted.load()) {
        return Fail(ctx, "interrupted; the port is closed", kExitInterrupted);
    }
    return kExitFailure;  // the transfer printed its message
}

QtCoreScope::QtCoreScope() {
    // QSerialPort wants an application object on the main thread; the document commands run
    // without one.
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "kestra-cli";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);
    }
}

QtCoreScope::~QtCoreScope() = default;

CliLink::CliLink(const AppState& state)
    : device_(ResolveDevice(state.portName, state.deviceOverride)) {
    // "demo" is the desktop program's demo radio, in this process for this one transfer.
    if (device_ == kDemoDevice) {
        demoRadio_ = std::make_unique<DemoRadio>();
    }
    link_ = LinkFactory(demoRadio_ ? &demoRadio_->radio() : nullptr).Create(device_);
}

CliLink::~CliLink() = default;

bool IsTerminal(const std::ostream& err) {
    return (&err == &std::cerr || &err == &std::clog) && ::isatty(STDERR_FILENO) == 1;
}

TerminalTransferObserver::TerminalTransferObserver(std::ostream& err, bool showProgress,
                                                   std::string device)
    : err_(err), showProgress_(showProgress), device_(std::move(device)) {}

TerminalTransferObserver::~TerminalTransferObserver() {
    EndProgressLine();
}

void TerminalTransferObserver::SetProgress(int position, int total,
                                           const std::string& percentText) {
    if (!showProgress_ || total <= 0) {
        return;
    }
    const int cells = position * kBarCells / total;
    // Redraw only when something visible changed: a terminal write per block is cheap, but
    // there is no reason to make one.
    if (cells == drawnCells_ && percentText == drawnPercent_) {
        return;
    }
    drawnCells_ = cells;
    drawnPercent_ = percentText;
    std::string line = "\r[";
    line.append(static_cast<std::size_t>(cells), '#');
    line.append(static_cast<std::size_t>(kBarCells - cells), ' ');
    line += "] ";
    line += percentText;
    line += "   ";
    err_ << line << std::flush;
    lineOpen_ = true;
}

void TerminalTransferObserver::ShowMessage(const std::string& text) {
    EndProgressLine();
    err_ << WithDevice(text, device_) << std::endl;
}

void TerminalTransferObserver::EndProgressLine() {
    if (lineOpen_) {
        err_ << '\n' << std::flush;
        lineOpen_ = false;
        drawnCells_ = -1;
        drawnPercent_.clear();
    }
}

bool TerminalMessenger::Show(const std::string& text, MessageButtons buttons) {
    err_ << WithDevice(text, device_) << std::endl;
    // Nobody answers a question here: its default, "No".
    return buttons != MessageButtons::YesNo;
}

}  // namespace kestra::cli
