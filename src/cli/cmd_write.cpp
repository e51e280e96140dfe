// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli write [--port P] [--service] [--model NAME] [--verify] FILE: writes a document to the
// radio exactly as Program, Write does in the desktop program: the document is opened, its grid
// is encoded back with the model block of its model (the one its block names, else "6120E";
// --model picks another) and every summary area the radio needs, and the clone transfer sends
// its 351 blocks. FILE itself is not changed. The image about to be sent is kept as a backup
// once the radio has answered. A write that fails part-way (or is stopped with Ctrl+C) says that
// the radio may hold a partly written memory. --verify reads the written ranges back and fails,
// naming where the radio differs, unless it holds exactly what was sent.

#include <string>

#include "cli/arguments.hpp"
#include "cli/backup_support.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "link/clock.hpp"
#include "link/clone_session.hpp"

namespace kestra::cli {

int RunWrite(const Context& ctx) {
    const auto options = ParseCommand(
        ctx, "write", {.port = true, .service = true, .model = true, .verify = true, .files = 1});
    if (!options) {
        return kExitUsage;
    }

    AppState state;
    state.serviceMode = options->service;
    if (!PrepareForWrite(ctx, options->files[0], options->model, state.image)) {
        return kExitFailure;
    }

    const std::string port = ChoosePort(ctx, options->port, state);
    CliLink link(state);
    SteadyClock clock;
    TerminalTransferObserver observer(ctx.err, IsTerminal(ctx.err), port);
    // The image is kept once the radio has answered, so an attempt that never reached it
    // leaves no backup behind.
    observer.onAboutToSend = [&] { KeepTransferBackup(ctx, state.image, BackupKind::Write); };
    const InterruptScope interrupt;
    CloneSession session(link.link(), clock, observer, &interrupt.flag());
    ClonePlan plan = ClonePlan::Write();
    plan.verify = options->verify;
    if (!session.Run({plan, link.device(), state.serviceMode, state.image}).ok) {
        return interrupt.Failed(ctx);
    }
    if (options->verify) {
        ctx.err << "kestra-cli: verified: the radio holds what was written.\n";
    }
    return kExitOk;
}

}  // namespace kestra::cli
