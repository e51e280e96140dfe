// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/channel_list_support.hpp"

#include <string>

#include "channels/channel_document.hpp"
#include "model/app_state.hpp"

namespace kestra::cli {

std::optional<int> ChannelArgument(const Context& ctx, std::string_view text) {
    std::string problem;
    const auto record = ParseListChannel(text, problem);
    if (!record) {
        Fail(ctx, problem + " Nothing was written.", kExitRefused);
    }
    return record;
}

std::optional<ChannelRange> RangeArgument(const Context& ctx, std::string_view text) {
    std::string problem;
    const auto range = ParseListRange(text, problem);
    if (!range) {
        Fail(ctx, problem + " Nothing was written.", kExitRefused);
    }
    return range;
}

int EditChannelList(const Context& ctx, const CommandLine& line, const ListEdit& edit) {
    AppState state;
    ChannelDocument document(state.image, state.limits);
    if (!OpenDocument(ctx, line.files[0], document)) {
        return kExitFailure;
    }
    // As every edit of the desktop program: the grid goes into the records first, so the
    // operation sees the channels the grid shows and the bitmaps that say so.
    document.StoreGridToImage();
    if (const auto refused = edit(document.image(), document.limits())) {
        return Fail(ctx, refused->message + " Nothing was written.", kExitRefused);
    }
    document.FillGridFromImage();
    return SaveDocument(ctx, document, line.output);
}

}  // namespace kestra::cli
