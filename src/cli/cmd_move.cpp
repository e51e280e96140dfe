// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli move FILE -o OUT FROM[-TO] AT: moves channels FROM to TO so that they start at AT
// in the same section (the channels in between shift to make room, as rows in a list do) and
// saves the document as OUT as Save As does.

#include "cli/channel_list_support.hpp"

namespace kestra::cli {

int RunMove(const Context& ctx) {
    const auto line = ParseCommand(ctx, "move", {.output = true, .files = 3});
    if (!line) {
        return kExitUsage;
    }
    const auto range = RangeArgument(ctx, line->files[1]);
    if (!range) {
        return kExitRefused;
    }
    const auto at = ChannelArgument(ctx, line->files[2]);
    if (!at) {
        return kExitRefused;
    }
    return EditChannelList(ctx, *line, [&](MemoryImage& image, const SectionLimits& limits) {
        return MoveChannels(image, limits, *range, *at);
    });
}

}  // namespace kestra::cli
