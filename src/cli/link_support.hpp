// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the radio commands of kestra-cli (info, read, write) share: the choice of the serial
// device (--port, else [Setup] Device / COM of Program.ini, exactly as the desktop program
// chooses it), the serial link itself, and the terminal's stand-ins for the transfer dialog and
// the message boxes: a progress bar on stderr when stderr is a terminal, and the transfers' own
// texts printed verbatim.

#include <signal.h>

#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cli/commands.hpp"
#include "link/block_mover.hpp"
#include "link/clone_session.hpp"
#include "link/serial_link.hpp"
#include "model/app_state.hpp"
#include "model/messenger.hpp"

QT_BEGIN_NAMESPACE
class QCoreApplication;
QT_END_NAMESPACE

namespace kestra {
class DemoRadio;
}

namespace kestra::cli {

// Sets state.portName / state.deviceOverride: "--port COMn" (or "\\.\COMn") picks port n,
// "--port demo" the built-in demo radio (said on err), any other --port text is a device path;
// without --port, Program.ini's [Setup] Device and COM (a stored demo radio is not used). Returns
// what "Open port fail" adds in parentheses: the device, or why there is none (a COM number
// outside COM1-COM16, such as the COM0 of a missing Program.ini).
std::string ChoosePort(const Context& ctx, const std::optional<std::string>& port, AppState& state);

// Ctrl+C (or SIGTERM) while a transfer runs: the transfer stops before its next block, closes
// the port and prints its message instead of the program dying with the port half-used. A second
// Ctrl+C ends the program at once. One scope at a time.
class InterruptScope {
public:
    InterruptScope();
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    const CancelFlag& flag() const;
    // The exit code after a failed transfer: kExitInterrupted (with a line saying so) when a
    // signal stopped it, else kExitFailure.
    int Failed(const Context& ctx) const;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
};

// A QCoreApplication for the duration of a radio command, unless one exists already.
class QtCoreScope {
public:
    QtCoreScope();
    ~QtCoreScope();
    QtCoreScope(const QtCoreScope&) = delete;
    QtCoreScope& operator=(const QtCoreScope&) = delete;

private:
    std::unique_ptr<QCoreApplication> app_;
};

// The serial line to the chosen device: the real port, or the built-in virtual radio for the
// device name "demo". Owns what it needs for the transfer's duration.
class CliLink {
public:
    explicit CliLink(const AppState& state);
    // The line to a device already resolved (a fleet's radios each get their own).
    explicit CliLink(std::string device);
    ~CliLink();
    CliLink(const CliLink&) = delete;
    CliLink& operator=(const CliLink&) = delete;

    SerialLink& link() { return *link_; }
    const std::string& device() const { return device_; }

private:
    QtCoreScope qt_;
    std::string device_;
    std::unique_ptr<DemoRadio> demoRadio_;
    std::unique_ptr<SerialLink> link_;
};

// The transfer dialog on a terminal: a progress bar on err when showProgress, messages verbatim.
class TerminalTransferObserver final : public TransferObserver {
public:
    TerminalTransferObserver(std::ostream& err, bool showProgress, std::string device);
    ~TerminalTransferObserver() override;

    void SetProgress(int position, int total, const std::string& percentText) override;
    void ShowMessage(const std::string& text) override;
    void RequestClose() override { EndProgressLine(); }
    void AboutToSend() override {
        if (onAboutToSend) {
            onAboutToSend();
        }
    }

    // Called when a write's radio has answered, right before the first block goes out.
    std::function<void()> onAboutToSend;

private:
    void EndProgressLine();

    std::ostream& err_;
    bool showProgress_;
    std::string device_;
    bool lineOpen_ = false;
    int drawnCells_ = -1;
    std::string drawnPercent_;
};

// The message boxes of the service transfers: printed verbatim on err, "OK" at once.
class TerminalMessenger final : public Messenger {
public:
    TerminalMessenger(std::ostream& err, std::string device)
        : err_(err), device_(std::move(device)) {}
    bool Show(const std::string& text, MessageButtons buttons = MessageButtons::Ok) override;

private:
    std::ostream& err_;
    std::string device_;
};

// True when err is the process's stderr and that is a terminal.
bool IsTerminal(const std::ostream& err);

}  // namespace kestra::cli
