// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli fleet write FILE --port P1 --port P2 ... [--verify] [--model NAME]
//                  [--own-id-start N] [--report OUT.json]
// kestra-cli fleet read --port P1 --port P2 ... -o DIR [--report OUT.json]
//
// Several radios at once, one cable each. A write prepares FILE once, as `write` prepares it,
// and sends it to every radio at the same time; each radio gets exactly what `write` gives one
// radio (band check, backup once it answered, verify when asked, the partly-written warning),
// and a failure on one never stops the others. With --own-id-start the radio on the i-th port
// gets the DTMF Own ID N + i - 1, set as the Auto Dial page sets a typed one; nothing else
// differs between the radios. A read saves every radio to DIR/<port>.dat. A line per radio as
// it finishes, a table at the end, the same facts as JSON with --report. Exit 0 when every radio
// went through, 1 when any failed, 2 for a wrong command line (nothing sent), 130 after Ctrl+C.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/fleet_support.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

namespace {

constexpr const char* kCommand = "fleet";
constexpr std::string_view kWriteOptions[] = {"--own-id-start", "--report"};
constexpr std::string_view kReadOptions[] = {"--report"};

int FleetWrite(const Context& ctx) {
    const auto options = ParseCommand(
        ctx, kCommand,
        {.model = true, .verify = true, .ports = true, .files = 1, .valueOptions = kWriteOptions});
    if (!options) {
        return kExitUsage;
    }
    const auto ports = ChooseFleetPorts(ctx, kCommand, options->ports);
    if (!ports) {
        return kExitUsage;
    }
    const std::optional<std::string> ownIdStart = options->Value("--own-id-start");
    // The numbering is checked before the files: it needs no image.
    std::string error;
    if (ownIdStart && !NumberOwnIds(*ownIdStart, ports->size(), error)) {
        return Fail(ctx, "--own-id-start: " + error + "; nothing was sent", kExitUsage);
    }
    bool reportOk = true;
    const auto report = ReportOption(ctx, *options, reportOk);
    MemoryImage image;
    if (!reportOk || !PrepareForWrite(ctx, options->files[0], options->model, image)) {
        return kExitFailure;
    }
    FleetRequest request;
    request.action = FleetAction::Write;
    request.verify = options->verify;
    request.backupFolder = BackupDirectory();
    auto radios = FleetWriteRadios(*ports, image, ownIdStart, error);
    if (!radios) {
        return Fail(ctx, "--own-id-start: " + error + "; nothing was sent", kExitUsage);
    }
    request.radios = std::move(*radios);

    const auto started = std::chrono::system_clock::now();
    const InterruptScope interrupt;
    const auto outcomes = RunFleetOnTerminal(ctx, request, interrupt);
    return FinishFleet(ctx, outcomes, MakeReportInfo("fleet write", options->files[0], started),
                       report, interrupt);
}

// DIR, created when missing; false after saying why it cannot hold the files.
bool PrepareFolder(const Context& ctx, const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder)) {
        Fail(ctx, "cannot use \"" + folder.string() + "\" as the folder for the radios' files: " +
                      (ec ? ec.message() : std::string("it is not a folder")) +
                      ". Nothing was read.");
        return false;
    }
    return true;
}

int FleetRead(const Context& ctx) {
    const auto options =
        ParseCommand(ctx, kCommand, {.output = true, .ports = true, .valueOptions = kReadOptions});
    if (!options) {
        return kExitUsage;
    }
    const auto ports = ChooseFleetPorts(ctx, kCommand, options->ports);
    if (!ports) {
        return kExitUsage;
    }
    bool reportOk = true;
    const auto report = ReportOption(ctx, *options, reportOk);
    if (!reportOk || !PrepareFolder(ctx, options->output)) {
        return kExitFailure;
    }
    FleetRequest request;
    request.action = FleetAction::Read;
    request.backupFolder = BackupDirectory();
    const auto files = FleetReadFiles(options->output, *ports);
    for (std::size_t i = 0; i < ports->size(); ++i) {
        // A file that could not be saved is refused before any radio is woken.
        if (const FileResult target = CheckDocumentTarget(files[i]); !target) {
            return Fail(ctx, target.error + " Nothing was read.");
        }
        // A fresh image: every byte 0xFF, as `read` starts from.
        request.radios.push_back({(*ports)[i].name, (*ports)[i].device, {}, {}, files[i]});
    }

    const auto started = std::chrono::system_clock::now();
    const InterruptScope interrupt;
    const auto outcomes = RunFleetOnTerminal(ctx, request, interrupt);
    return FinishFleet(ctx, outcomes, MakeReportInfo("fleet read", {}, started), report, interrupt);
}

}  // namespace

int RunFleetCommand(const Context& ctx) {
    if (ctx.args.empty() || (ctx.args[0] != "write" && ctx.args[0] != "read")) {
        return Fail(ctx, "fleet needs write or read first (" + Usage(kCommand) + ")", kExitUsage);
    }
    const Context sub{ctx.args.subspan(1), ctx.argv0, ctx.out, ctx.err};
    return ctx.args[0] == "write" ? FleetWrite(sub) : FleetRead(sub);
}

}  // namespace kestra::cli
