// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli read [--port P] [--service] -o FILE: reads the radio's memory with the clone
// transfer (the same 352 blocks as Program, Read) into a fresh image and saves it as FILE. The
// file is written only after the whole transfer succeeded, atomically, so a failed read leaves
// no file behind and an existing FILE untouched. A FILE that could not be saved at all (a folder,
// a missing folder) is refused before the radio is woken. Ctrl+C stops the read between two
// blocks: the port is closed and no file is written.

#include <string>

#include "cli/arguments.hpp"
#include "cli/backup_support.hpp"
#include "cli/commands.hpp"
#include "cli/link_support.hpp"
#include "link/clock.hpp"
#include "link/clone_session.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

int RunRead(const Context& ctx) {
    const auto options = ParseCommand(ctx, "read", {.port = true, .service = true, .output = true});
    if (!options) {
        return kExitUsage;
    }
    if (const FileResult target = CheckDocumentTarget(options->output); !target) {
        return Fail(ctx, target.error);
    }

    AppState state;  // a fresh image: every byte 0xFF
    state.serviceMode = options->service;
    const std::string port = ChoosePort(ctx, options->port, state);

    CliLink link(state);
    SteadyClock clock;
    TerminalTransferObserver observer(ctx.err, IsTerminal(ctx.err), port);
    {
        const InterruptScope interrupt;
        CloneSession session(link.link(), clock, observer, &interrupt.flag());
        const CloneResult read =
            session.Run({ClonePlan::Read(), link.device(), state.serviceMode, state.image});
        if (!read.ok) {
            return interrupt.Failed(ctx);  // the transfer printed its message
        }
        state.image = read.image;
    }
    KeepTransferBackup(ctx, state.image, BackupKind::Read);
    if (const FileResult saved = SaveDocumentFile(options->output, state.image); !saved) {
        return Fail(ctx, saved.error);
    }
    return kExitOk;
}

}  // namespace kestra::cli
