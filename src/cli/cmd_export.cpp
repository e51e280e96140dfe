// kestra-cli export FILE -o OUT.csv: the channels of a document as the comma-separated list other
// programming tools read (one row per channel the grid shows, A001 to B128), written to OUT.csv.

#include "channels/channel_csv.hpp"
#include "channels/channel_table.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/text_files.hpp"

namespace kestra::cli {

int RunExport(const Context& ctx) {
    const auto line = ParseCommand(ctx, "export", {.output = true, .files = 1});
    if (!line) {
        return kExitUsage;
    }
    MemoryImage image;
    SectionLimits limits;
    ChannelTable table;
    if (!OpenDocument(ctx, line->files[0], image, limits, table)) {
        return kExitFailure;
    }
    if (const auto failed = WriteTextFile(line->output, ExportChannelsCsv(image, limits))) {
        return Fail(ctx, *failed);
    }
    return kExitOk;
}

}  // namespace kestra::cli
