// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli new -o FILE: writes the image of a new document, built from Default.dat in the
// program directory or from the built-in defaults, exactly as the desktop program starts one
// (before anything encodes it: the bytes are the template's or the defaults').

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"
#include "model/document_file.hpp"
#include "model/program_directory.hpp"

namespace kestra::cli {

int RunNew(const Context& ctx) {
    const auto line = ParseCommand(ctx, "new", {.output = true});
    if (!line) {
        return kExitUsage;
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    document.New(ProgramDirectory(ctx.argv0));
    if (const FileResult saved = SaveDocumentFile(line->output, document.image()); !saved) {
        return Fail(ctx, saved.error);
    }
    return kExitOk;
}

}  // namespace kestra::cli
