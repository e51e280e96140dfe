// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the commands that drive several radios (fleet write, fleet read, clone) share: the ports
// named by --port, each chosen as --port chooses one everywhere (the same device twice is
// refused); the run itself, one thread and one serial line per radio, every radio stopped by
// Ctrl+C before its next block; the terminal's view of it (a line per radio on stdout as it
// finishes, its failure message and backup note on stderr, one progress line on a terminal);
// and the table and the JSON report at its end.

#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "fleet/fleet_plan.hpp"
#include "fleet/fleet_report.hpp"
#include "fleet/fleet_run.hpp"

namespace kestra::cli {

// The ports in the order given; nothing after printing the problem (none given, one device named
// twice), which the command answers with kExitUsage.
std::optional<std::vector<FleetPort>> ChooseFleetPorts(const Context& ctx, const char* command,
                                                       const std::vector<std::string>& names);

// --report OUT.json, checked before any radio is woken. Nothing when the option is not given;
// false in ok after printing why the report could not be saved there.
std::optional<std::string> ReportOption(const Context& ctx, const CommandLine& options, bool& ok);

// Runs every radio of the request at once and tells the terminal about each as it finishes.
std::vector<RadioOutcome> RunFleetOnTerminal(const Context& ctx, const FleetRequest& request,
                                             const InterruptScope& interrupt);

// The table on stdout and the report when one is asked for. The exit code: kExitOk when every
// radio went through and the report was saved, kExitInterrupted after Ctrl+C, else
// kExitFailure.
int FinishFleet(const Context& ctx, const std::vector<RadioOutcome>& outcomes,
                const FleetReportInfo& info, const std::optional<std::string>& report,
                const InterruptScope& interrupt);

}  // namespace kestra::cli
