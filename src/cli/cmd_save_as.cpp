// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli save-as [--model NAME] IN OUT: opens a document and saves it the way the desktop
// program does (ChannelDocument): the grid is encoded back with the model block of the
// document's model (the one its block names, else "6120E"; --model picks another) and every
// summary area, then the 16384 bytes are written atomically. Saving the result again gives the
// same bytes.

#include "channels/channel_document.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"

namespace kestra::cli {

int RunSaveAs(const Context& ctx) {
    const auto line = ParseCommand(ctx, "save-as", {.model = true, .files = 2});
    if (!line) {
        return kExitUsage;
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    ApplyModelOption(line->model, document);
    return SaveDocument(ctx, document, line->files[1]);
}

}  // namespace kestra::cli
