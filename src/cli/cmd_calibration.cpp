// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli calibration FILE [-o OUT [--apply CAL.ini]]: a radio's calibration as a readable,
// diffable file. Without -o it prints the values the three service editors show for FILE
// (Parameter Adjust, DTMF Initialization, Sql Adjust) in INI form. With -o it opens FILE, sets
// the values CAL.ini lists as typing them would, commits every editor as closing them does and
// saves the result to OUT as Save As does. A bad section, key or value in CAL.ini is named with
// its line; nothing is written then.

#include <string>
#include <utility>

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/text_files.hpp"
#include "model/app_state.hpp"
#include "service/calibration_file.hpp"

namespace kestra::cli {

namespace {

// A calibration file is some tens of kilobytes; anything far larger is not one.
constexpr std::size_t kMaxCalibrationFileSize = 4u << 20;

}  // namespace

int RunCalibration(const Context& ctx) {
    const auto line = ParseCommand(
        ctx, "calibration", {.output = true, .outputOptional = true, .apply = true, .files = 1});
    if (!line) {
        return kExitUsage;
    }
    if (line->apply && line->output.empty()) {
        return Fail(ctx, "--apply needs -o OUT (" + Usage("calibration") + ")", kExitUsage);
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    MemoryImage& image = document.image();
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    if (line->output.empty()) {
        ctx.out << FormatCalibrationFile(image);
        ctx.out.flush();
        return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
    }

    std::string text;  // without --apply: every editor committed as it stands
    if (line->apply) {
        std::string problem;
        auto read = ReadTextFile(*line->apply, kMaxCalibrationFileSize, problem);
        if (!read) {
            return Fail(ctx, problem + " Nothing was written.");
        }
        text = std::move(*read);
    }
    if (const auto problem = ApplyCalibrationFile(text, image)) {
        return Fail(ctx,
                    (line->apply ? *line->apply : std::string()) + ": " + *problem +
                        "; nothing was written",
                    kExitUsage);
    }
    return SaveDocument(ctx, document, line->output);
}

}  // namespace kestra::cli
