// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli find FILE TEXT: prints the rows of the channels whose name contains TEXT (ASCII
// case ignored) or whose Rx or Tx frequency starts with it, exactly as kestra-cli channels
// prints them. Exit status 1 when no channel matches.

#include "channels/channel_document.hpp"
#include "channels/channel_list.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "model/app_state.hpp"

namespace kestra::cli {

int RunFind(const Context& ctx) {
    const auto line = ParseCommand(ctx, "find", {.files = 2});
    if (!line) {
        return kExitUsage;
    }
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line->files[0], document)) {
        return kExitFailure;
    }
    const auto found = FindChannels(document.image(), document.limits(), line->files[1]);
    std::string text;
    for (const int record : found) {
        text += ChannelRowLine(document.table(), record);
    }
    ctx.out << text;
    ctx.out.flush();
    if (!ctx.out) {
        return Fail(ctx, "cannot write to standard output");
    }
    if (found.empty()) {
        return Fail(ctx, "no channel's name contains \"" + line->files[1] +
                             "\" and no channel's frequency starts with it");
    }
    return kExitOk;
}

}  // namespace kestra::cli
