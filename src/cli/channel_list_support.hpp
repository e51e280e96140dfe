// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the channel-list commands (sort, move, insert, remove) share: reading channel labels
// and ranges from the command line, and running one operation on a document the way the
// desktop program runs an edit of its image, then saving the result as Save As does.

#include <functional>
#include <optional>
#include <string_view>

#include "channels/channel_list.hpp"
#include "cli/arguments.hpp"
#include "cli/commands.hpp"

namespace kestra::cli {

// The exit status of a label outside the sections, a range across sections or a refused
// operation: nothing is written.
inline constexpr int kExitRefused = 2;

// A channel or range argument; nothing after printing one line (exit with kExitRefused).
std::optional<int> ChannelArgument(const Context& ctx, std::string_view text);
std::optional<ChannelRange> RangeArgument(const Context& ctx, std::string_view text);

using ListEdit = std::function<std::optional<ListRefusal>(MemoryImage&, const SectionLimits&)>;

// Opens line.files[0], stores its grid into the records, runs edit on the image, decodes the
// grid again and saves to line.output (which may be the same file). The exit status: kExitOk,
// kExitFailure when the file cannot be opened or saved, kExitRefused when edit refused (its
// message printed, nothing written).
int EditChannelList(const Context& ctx, const CommandLine& line, const ListEdit& edit);

}  // namespace kestra::cli
