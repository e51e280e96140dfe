// kestra-cli save-as IN OUT: opens a document, decodes it into the channel grid and saves it the
// way the program does: the grid is encoded back with the "6120E" model block and every summary
// area, then the 16384 bytes are written atomically. Saving the result again gives the same bytes.

#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

int RunSaveAs(const Context& ctx) {
    if (ctx.args.size() != 2 || ctx.args[0].empty() || ctx.args[1].empty()) {
        return Fail(ctx, "usage: kestra-cli save-as IN OUT", kExitUsage);
    }
    MemoryImage image;
    SectionLimits limits;
    ChannelTable table;
    if (!OpenDocument(ctx, ctx.args[0], image, limits, table)) {
        return kExitFailure;
    }
    table.StoreGridToImage(image, limits, kDefaultModelIndex);
    if (const FileResult saved = SaveDocumentFile(ctx.args[1], image); !saved) {
        return Fail(ctx, saved.error);
    }
    return kExitOk;
}

}  // namespace kestra::cli
