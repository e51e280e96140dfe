// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli channels FILE: prints the channel grid of a document, one line per row (A 001 to
// B VFO): the row label, then the eight cell texts, separated by tabs; an empty cell is an empty
// field. The section limits come from the document as they do when the program opens it.

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"

namespace kestra::cli {

std::string ChannelRowLine(const ChannelTable& table, int record) {
    std::string line = RowLabel(record);
    for (int column = 0; column < kColumnCount; ++column) {
        line += '\t';
        line += table.Cell(record, static_cast<Column>(column));
    }
    line += '\n';
    return line;
}

int RunChannels(const Context& ctx) {
    const auto line = ParseCommand(ctx, "channels", {.files = 1});
    if (!line) {
        return kExitUsage;
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }

    std::string text;
    for (int record = 0; record < kRecordCount; ++record) {
        text += ChannelRowLine(document.table(), record);
    }
    ctx.out << text;
    ctx.out.flush();
    if (!ctx.out) {
        return Fail(ctx, "cannot write to standard output");
    }
    return kExitOk;
}

}  // namespace kestra::cli
