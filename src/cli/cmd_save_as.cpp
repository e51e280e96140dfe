// kestra-cli save-as IN OUT: opens a document, decodes it into the channel grid and saves it the
// way the program does: the grid is encoded back with the model block of the document's model
// (the "6120E" block when it holds none) and every summary area, then the 16384 bytes are
// written atomically. Saving the result again gives the same bytes.

#include "channels/channel_table.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"

namespace kestra::cli {

int RunSaveAs(const Context& ctx) {
    const auto line = ParseCommand(ctx, "save-as", {.files = 2});
    if (!line) {
        return kExitUsage;
    }
    MemoryImage image;
    SectionLimits limits;
    ChannelTable table;
    if (!OpenDocument(ctx, line->files[0], image, limits, table)) {
        return kExitFailure;
    }
    return SaveDocumentAs(ctx, line->files[1], image, limits, table) ? kExitOk : kExitFailure;
}

}  // namespace kestra::cli
