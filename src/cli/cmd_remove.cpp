// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli remove FILE -o OUT FROM[-TO]: deletes channels FROM to TO; the following channels
// of the section shift up and the freed slots at its end are cleared. The document is saved as
// OUT as Save As does. (kestra-cli channel and the grid's Delete clear a channel in place.)

#include "cli/channel_list_support.hpp"

namespace kestra::cli {

int RunRemove(const Context& ctx) {
    const auto line = ParseCommand(ctx, "remove", {.output = true, .files = 2});
    if (!line) {
        return kExitUsage;
    }
    const auto range = RangeArgument(ctx, line->files[1]);
    if (!range) {
        return kExitRefused;
    }
    return EditChannelList(ctx, *line, [&](MemoryImage& image, const SectionLimits& limits) {
        return RemoveChannels(image, limits, *range);
    });
}

}  // namespace kestra::cli
