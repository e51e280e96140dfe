// SPDX-License-Identifier: GPL-3.0-or-later
// kestra-cli insert FILE -o OUT AT [--count N]: inserts N (default 1) empty channels at AT; the
// channels from AT on shift down. Refused, naming them, when channels would be pushed past the
// end of the section. The document is saved as OUT as Save As does.

#include <algorithm>
#include <array>
#include <string_view>

#include "cli/channel_list_support.hpp"
#include "model/ascii.hpp"

namespace kestra::cli {

namespace {

constexpr std::array<std::string_view, 1> kValueOptions{"--count"};
constexpr std::size_t kMaxCountDigits = 3;

// 1 to a section's size, written in decimal digits; nothing for anything else.
std::optional<int> CountOf(std::string_view text) {
    if (text.empty() || text.size() > kMaxCountDigits ||
        !std::all_of(text.begin(), text.end(), IsAsciiDigit)) {
        return std::nullopt;
    }
    int count = 0;
    for (const char c : text) {
        count = count * 10 + (c - '0');
    }
    return count >= 1 && count <= kListSectionSize ? std::optional<int>(count) : std::nullopt;
}

}  // namespace

int RunInsert(const Context& ctx) {
    const auto line =
        ParseCommand(ctx, "insert", {.output = true, .files = 2, .valueOptions = kValueOptions});
    if (!line) {
        return kExitUsage;
    }
    const auto countText = line->Value("--count");
    const auto count = countText ? CountOf(*countText) : std::optional<int>(1);
    if (!count) {
        return Fail(ctx,
                    "--count must be a number from 1 to 128, not " + *countText + " (" +
                        Usage("insert") + ")",
                    kExitUsage);
    }
    const auto at = ChannelArgument(ctx, line->files[1]);
    if (!at) {
        return kExitRefused;
    }
    return EditChannelList(ctx, *line, [&](MemoryImage& image, const SectionLimits& limits) {
        return InsertEmptyChannels(image, limits, *at, *count);
    });
}

}  // namespace kestra::cli
