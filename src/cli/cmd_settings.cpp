// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli settings FILE [-o OUT [--apply SETTINGS.ini]]: the radio settings of a document as
// a text file. Without -o it prints every field of the "Optional Features", "DTMF" and "Radio"
// dialogs as they show it right after opening, one "Caption=value" line per field in INI
// sections. With -o it opens every dialog on the document, sets the fields SETTINGS.ini lists
// as a user typing them would, closes every dialog and writes OUT as Save As does; a line that
// cannot be applied is reported with its number and nothing is written.

#include <optional>
#include <string>

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/text_files.hpp"
#include "model/app_state.hpp"
#include "settings/settings_text.hpp"

namespace kestra::cli {

namespace {

// A settings file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kSettingsFileLimit = 1u << 20;

}  // namespace

int RunSettings(const Context& ctx) {
    const auto line = ParseCommand(
        ctx, "settings", {.output = true, .outputOptional = true, .apply = true, .files = 1});
    if (!line) {
        return kExitUsage;
    }
    if (line->apply && line->output.empty()) {
        return Fail(ctx, "--apply needs -o OUT (" + Usage("settings") + ")", kExitUsage);
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    MemoryImage& image = document.image();
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    std::optional<std::string> settings;
    if (line->apply) {
        std::string problem;
        if (!(settings = ReadTextFile(*line->apply, kSettingsFileLimit, problem))) {
            return Fail(ctx, problem + " Nothing was written.");
        }
    }

    // The Call ID lives in memory only, "100" for the run, as in the desktop program.
    std::string callId = "100";
    SettingsForms forms(callId);
    forms.LoadFromImage(image);
    if (line->output.empty()) {
        ctx.out << PrintSettings(forms);
        ctx.out.flush();
        return ctx.out ? kExitOk : Fail(ctx, "cannot write to standard output");
    }
    if (settings) {
        if (const auto error = ApplySettingsText(*settings, forms)) {
            return Fail(ctx,
                        *line->apply + " line " + std::to_string(error->line) + ": " +
                            error->message + "; nothing was written",
                        kExitUsage);
        }
    }
    forms.StoreToImage(image);
    return SaveDocument(ctx, document, line->output);
}

}  // namespace kestra::cli
