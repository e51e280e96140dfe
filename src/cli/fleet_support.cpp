// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/fleet_support.hpp"

#include <algorithm>
#include <mutex>
#include <sstream>

#include "cli/backup_support.hpp"
#include "link/clock.hpp"
#include "link/device/worker_threads.hpp"
#include "link/port_names.hpp"

namespace kestra::cli {

namespace {

// The terminal while several radios run: a radio's line and messages when it finishes, and on a
// terminal one line with every radio's percentage, redrawn in place.
class FleetTerminal final : public FleetObserver {
public:
    FleetTerminal(const Context& ctx, const FleetRequest& request, bool showProgress)
        : ctx_(ctx),
          kind_(request.action == FleetAction::Write ? BackupKind::Write : BackupKind::Read),
          showProgress_(showProgress),
          cells_(request.radios.size(), "  0%") {}
    ~FleetTerminal() override { ClearProgressLine(); }

    void RadioProgress(std::size_t radio, int position, int total) override {
        const std::string cell = Percent(position, total);
        const std::lock_guard lock(mutex_);
        if (cells_[radio] != cell) {
            cells_[radio] = cell;
            DrawProgressLine();
        }
    }

    void RadioFinished(std::size_t radio, const RadioOutcome& outcome) override {
        const std::lock_guard lock(mutex_);
        ClearProgressLine();
        ctx_.out << RadioFinishedLine(outcome) << std::endl;
        if (!outcome.ok()) {
            std::istringstream lines(outcome.error);
            // Every line names its radio; one that begins with the port's name already keeps it.
            const std::string prefix = outcome.port + ": ";
            for (std::string line; std::getline(lines, line);) {
                ctx_.err << (line.starts_with(prefix) ? "" : prefix) << line << '\n';
            }
        }
        if (outcome.backup) {
            PrintBackupResult(ctx_, *outcome.backup, kind_, outcome.port + ": ");
        }
        ctx_.err.flush();
        cells_[radio] = outcome.ok() ? "done" : "FAIL";
        DrawProgressLine();
    }

private:
    static std::string Percent(int position, int total) {
        std::string text = std::to_string(total > 0 ? position * 100 / total : 0) + "%";
        return std::string(text.size() < 4 ? 4 - text.size() : 0, ' ') + text;
    }
    void DrawProgressLine() {
        if (!showProgress_) {
            return;
        }
        std::string line = "\rradios:";
        for (const std::string& cell : cells_) {
            line += " " + cell;
        }
        drawn_ = line.size();
        ctx_.err << line << std::flush;
    }
    void ClearProgressLine() {
        if (drawn_ > 0) {
            ctx_.err << '\r' << std::string(drawn_, ' ') << '\r' << std::flush;
            drawn_ = 0;
        }
    }

    const Context& ctx_;
    BackupKind kind_;
    bool showProgress_;
    std::mutex mutex_;
    std::vector<std::string> cells_;
    std::size_t drawn_ = 0;
};

// Each radio's line is opened, used and closed on its own worker thread.
void CliLine(const std::string& device, const std::function<void(SerialLink&, Clock&)>& use) {
    CliLink link(device);
    SteadyClock clock;
    use(link.link(), clock);
}

}  // namespace

std::optional<std::vector<FleetPort>> ChooseFleetPorts(const Context& ctx, const char* command,
                                                       const std::vector<std::string>& names) {
    std::vector<FleetPort> ports;
    for (const std::string& name : names) {
        AppState state;
        ChoosePort(ctx, name, state);
        const std::string device = ResolveDevice(state.portName, state.deviceOverride);
        if (device.starts_with(kNoPortDevicePrefix)) {
            Fail(ctx,
                 name + " is not one of COM1-COM" + std::to_string(kPortCount) +
                     "; give COMn or a device path. Nothing was sent (" + Usage(command) + ")",
                 kExitUsage);
            return std::nullopt;
        }
        ports.push_back({name, device});
    }
    if (const std::string problem = FleetPortProblem(ports); !problem.empty()) {
        Fail(ctx, problem + "; nothing was sent (" + Usage(command) + ")", kExitUsage);
        return std::nullopt;
    }
    return ports;
}

std::optional<std::string> ReportOption(const Context& ctx, const CommandLine& options, bool& ok) {
    ok = true;
    const auto report = options.Value("--report");
    if (!report) {
        return std::nullopt;
    }
    if (const FileResult target = CheckFleetReportTarget(*report); !target) {
        Fail(ctx, target.error + " Nothing was sent.");
        ok = false;
    }
    return report;
}

std::vector<RadioOutcome> RunFleetOnTerminal(const Context& ctx, const FleetRequest& request,
                                             const InterruptScope& interrupt) {
    // The serial ports want an application object before the first worker opens one.
    const QtCoreScope qt;
    FleetTerminal terminal(ctx, request, IsTerminal(ctx.err));
    return RunFleet(request, CliLine, terminal, &interrupt.flag(), RunOnQtThreads);
}

int FinishFleet(const Context& ctx, const std::vector<RadioOutcome>& outcomes,
                const FleetReportInfo& info, const std::optional<std::string>& report,
                const InterruptScope& interrupt) {
    ctx.out << '\n' << FleetTableText(MakeFleetTable(outcomes)) << std::flush;
    const bool allOk = std::all_of(outcomes.begin(), outcomes.end(),
                                   [](const RadioOutcome& outcome) { return outcome.ok(); });
    int code = allOk ? kExitOk : kExitFailure;
    if (report) {
        if (const FileResult saved = SaveFleetReport(*report, FleetReportJson(info, outcomes));
            !saved) {
            code = Fail(ctx, saved.error);
        } else {
            ctx.err << "kestra-cli: report saved as " << *report << '\n';
        }
    }
    return code == kExitOk ? kExitOk : interrupt.Failed(ctx);
}

}  // namespace kestra::cli
