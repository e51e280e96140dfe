// kestra-cli new -o FILE: writes the image of a new document, built from Default.dat in the
// program directory or from the built-in defaults, exactly as the desktop program starts one.

#include "model/program_directory.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/document_file.hpp"

namespace kestra::cli {

int RunNew(const Context& ctx) {
    const auto line = ParseCommand(ctx, "new", {.output = true});
    if (!line) {
        return kExitUsage;
    }
    const MemoryImage image = NewDocumentImage(ProgramDirectory(ctx.argv0));
    if (const FileResult saved = SaveDocumentFile(line->output, image); !saved) {
        return Fail(ctx, saved.error);
    }
    return kExitOk;
}

}  // namespace kestra::cli
