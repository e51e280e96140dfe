// kestra-cli channels FILE: prints the channel grid of a document, one line per row (A 001 to
// B VFO): the row label, then the eight cell texts, separated by tabs; an empty cell is an empty
// field. The section limits come from the document as they do when the program opens it.

#include "channels/channel_table.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"

namespace kestra::cli {

int RunChannels(const Context& ctx) {
    const auto line = ParseCommand(ctx, "channels", {.files = 1});
    if (!line) {
        return kExitUsage;
    }
    MemoryImage image;
    SectionLimits limits;
    ChannelTable table;
    if (!OpenDocument(ctx, line->files[0], image, limits, table)) {
        return kExitFailure;
    }

    std::string text;
    for (int row = 1; row <= kChannelRows; ++row) {
        text += table.Text(row, 0);
        for (int column = 1; column < kGridColumnCount; ++column) {
            text += '\t';
            text += table.Text(row, column);
        }
        text += '\n';
    }
    ctx.out << text;
    ctx.out.flush();
    if (!ctx.out) {
        return Fail(ctx, "cannot write to standard output");
    }
    return kExitOk;
}

}  // namespace kestra::cli
