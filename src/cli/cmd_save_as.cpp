// kestra-cli save-as IN OUT: opens a document, decodes it into the channel grid and saves it the
// way the program does: the grid is encoded back with the model block of the document's model
// (the "6120E" block when it holds none) and every summary area, then the 16384 bytes are
// written atomically. Saving the result again gives the same bytes.

#include "channels/channel_table.hpp"
#include "channels/image_preparation.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"

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
    return SaveAsTheProgramDoes(ctx, image, limits, table, line->files[1]);
}

int SaveAsTheProgramDoes(const Context& ctx, MemoryImage& image, const SectionLimits& limits,
                         const ChannelTable& table, const std::string& path) {
    table.StoreGridToImage(image, limits, OpenedModelIndex(image));
    if (const FileResult saved = SaveDocumentFile(path, image); !saved) {
        return Fail(ctx, saved.error);
    }
    return kExitOk;
}

}  // namespace kestra::cli
