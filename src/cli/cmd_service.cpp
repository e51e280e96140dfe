// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli service read|write: one service dialog's "Read" or "Write" without the window, for
// technicians who script a production line. AREA (parameter-adjust, dtmf-initialization,
// sql-adjust) picks the dialog; the command moves exactly the ranges its button moves, and
// --password must be the service password, compared as the Password dialog compares it.
//
//   service read --area AREA --password TEXT [--port P] FILE -o OUT
//       reads the area from the radio into FILE's image, does what the dialog does after the
//       read and on closing (Parameter Adjust: the section limits from the model block, every
//       control committed), and saves the document as OUT as Save As does.
//   service write --area AREA --password TEXT [--port P] FILE [--force]
//       prepares FILE's area as pressing the dialog's Write does, reads the radio's present
//       values of the ranges about to be written and keeps them as a backup (kind "service"),
//       then writes. Values that were never read from a radio (a new document's or erased) are
//       refused before anything is sent, unless --force. FILE is not changed.

#include <chrono>
#include <string>

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/backup_support.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "link/clock.hpp"
#include "link/service_transfer.hpp"
#include "model/document_file.hpp"
#include "service/password.hpp"
#include "service/service_area.hpp"

namespace kestra::cli {

namespace {

constexpr std::string_view kAreaNames = "parameter-adjust, dtmf-initialization or sql-adjust";

// The area --area names once --password is the service password; nothing after the line that
// says what is wrong.
std::optional<ServiceArea> CheckAreaAndPassword(const Context& ctx, const CommandLine& line) {
    const std::string usage = " (" + Usage("service") + ")";
    if (!line.area) {
        Fail(ctx, "--area AREA missing: " + std::string(kAreaNames) + usage, kExitUsage);
        return std::nullopt;
    }
    const std::optional<ServiceArea> area = ServiceAreaOfName(*line.area);
    if (!area) {
        Fail(ctx, "unknown area " + *line.area + " (" + std::string(kAreaNames) + ")", kExitUsage);
        return std::nullopt;
    }
    if (!line.password) {
        Fail(ctx,
             "--password TEXT missing: the calibration areas need the service password" + usage,
             kExitUsage);
        return std::nullopt;
    }
    if (!IsServicePassword(*line.password)) {
        Fail(ctx, "wrong service password; nothing was read or written", kExitUsage);
        return std::nullopt;
    }
    return area;
}

int ServiceRead(const Context& ctx, const CommandLine& line, ServiceArea area) {
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line.files[0], document)) {
        return kExitFailure;
    }
    if (const FileResult target = CheckDocumentTarget(line.output); !target) {
        return Fail(ctx, target.error);
    }
    const ServiceTransferPlan& plan = AreaInfo(area).read;
    const std::string port = ChoosePort(ctx, line.port, state);
    CliLink link(state);
    SteadyClock clock;
    TerminalMessenger messenger(ctx.err, port);
    const ServiceResult read =
        ServiceTransfer(link.link(), clock, messenger).Run({plan, link.device(), state.image, {}});
    if (!read.ok) {
        return kExitFailure;  // the transfer printed its message
    }
    CopyPlanRanges(plan, read.image, document.image());
    FinishServiceRead(area, document.image(), state.limits);
    return SaveDocument(ctx, document, line.output);
}

int ServiceWrite(const Context& ctx, const CommandLine& line, ServiceArea area) {
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line.files[0], document)) {
        return kExitFailure;
    }
    const ServiceAreaInfo& info = AreaInfo(area);
    MemoryImage image = document.image();
    PrepareServiceWrite(area, image);
    if (HoldsUnreadValues(area, image) && !line.force) {
        return Fail(ctx,
                    line.files[0] + " holds no " + std::string(info.caption) +
                        " values read from a radio (only a new document's or erased ones); "
                        "writing them would replace the radio's calibration, so nothing was "
                        "sent. Read them first with kestra-cli service read, or add --force.",
                    kExitUsage);
    }
    const std::string port = ChoosePort(ctx, line.port, state);
    CliLink link(state);
    SteadyClock clock;
    TerminalMessenger messenger(ctx.err, port);
    ServiceRequest request{info.write, link.device(), image, {}};
    request.keepBackup = [&ctx, &info](const MemoryImage& previous) {
        return KeepServiceBackup(ctx, previous, info.caption);
    };
    return ServiceTransfer(link.link(), clock, messenger).Run(request).ok ? kExitOk : kExitFailure;
}

}  // namespace

int RunService(const Context& ctx) {
    const bool reading = !ctx.args.empty() && ctx.args.front() == "read";
    if (!reading && (ctx.args.empty() || ctx.args.front() != "write")) {
        return Fail(ctx, "read or write missing (" + Usage("service") + ")", kExitUsage);
    }
    const Context rest{ctx.args.subspan(1), ctx.argv0, ctx.out, ctx.err};
    const ArgumentRules rules =
        reading ? ArgumentRules{.port = true,
                                .output = true,
                                .area = true,
                                .password = true,
                                .files = 1}
                : ArgumentRules{
                      .port = true, .area = true, .password = true, .force = true, .files = 1};
    const auto line = ParseCommand(rest, "service", rules);
    if (!line) {
        return kExitUsage;
    }
    const std::optional<ServiceArea> area = CheckAreaAndPassword(ctx, *line);
    if (!area) {
        return kExitUsage;
    }
    return reading ? ServiceRead(ctx, *line, *area) : ServiceWrite(ctx, *line, *area);
}

}  // namespace kestra::cli
