// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli import FILE IN.csv -o OUT [--append]: puts the channels of a comma-separated list
// (from this or another programming tool) into the document's channels and saves the result as
// Save As does. Rows go to their Location, or with --append to the first empty channels. The
// report of what was done to each row goes to stderr. Exit status 0 when every row was taken
// whole, 3 when some were changed or skipped or carried text the radio cannot store (a Comment),
// 2 when the list cannot be read (nothing written).

#include "channels/channel_csv.hpp"
#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/text_files.hpp"
#include "model/app_state.hpp"

namespace kestra::cli {

namespace {

constexpr int kExitRowsChanged = 3;
constexpr int kExitUnreadableList = 2;
// A list of 256 channels is some tens of kilobytes.
constexpr std::size_t kMaxListSize = 16u << 20;

}  // namespace

int RunImport(const Context& ctx) {
    const auto line = ParseCommand(ctx, "import", {.output = true, .append = true, .files = 2});
    if (!line) {
        return kExitUsage;
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    const std::string& listPath = line->files[1];
    std::string problem;
    const auto text = ReadTextFile(listPath, kMaxListSize, problem);
    if (!text) {
        return Fail(ctx, problem + " Nothing was written.", kExitUnreadableList);
    }
    const CsvImportOptions options{
        line->append ? CsvPlacement::FirstEmpty : CsvPlacement::ByLocation, 0,
        "--append (into the first empty slots)"};
    const CsvImportResult imported =
        ImportChannelsCsv(*text, document.image(), document.limits(), options);
    if (!imported.ok()) {
        std::string hint;
        if (!line->append && imported.error.find("Location") != std::string::npos) {
            hint = " (--append puts the channels into the first empty slots)";
        }
        return Fail(ctx,
                    "cannot import \"" + listPath + "\": " + imported.error + hint +
                        ". Nothing was written.",
                    kExitUnreadableList);
    }
    // The grid shows what the import wrote; saving encodes it as the desktop program does.
    document.FillGridFromImage();
    if (const int saved = SaveDocument(ctx, document, line->output); saved != kExitOk) {
        return saved;
    }
    ctx.err << FormatCsvImportReport(imported.report);
    ctx.err.flush();
    return imported.report.Complete() ? kExitOk : kExitRowsChanged;
}

}  // namespace kestra::cli
