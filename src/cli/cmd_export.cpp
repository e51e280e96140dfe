// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli export FILE -o OUT.csv: the channels of a document as the comma-separated list other
// programming tools read (one row per channel the grid shows, A001 to B128), written to OUT.csv
// as a document is saved: atomically, and never over a read-only file.

#include "channels/channel_csv.hpp"
#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/text_files.hpp"
#include "model/app_state.hpp"

namespace kestra::cli {

int RunExport(const Context& ctx) {
    const auto line = ParseCommand(ctx, "export", {.output = true, .files = 1});
    if (!line) {
        return kExitUsage;
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    if (const auto failed = WriteTextFile(
            line->output, ExportChannelsCsv(document.image(), document.limits()), "channel list")) {
        return Fail(ctx, *failed);
    }
    return kExitOk;
}

}  // namespace kestra::cli
